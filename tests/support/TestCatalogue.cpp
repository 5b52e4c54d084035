#include "TestCatalogue.h"

#include "store/CatalogueFiles.h"

#include <QMap>

namespace {

QStringList itemLines(const TestSubcategory &sub)
{
    QStringList lines{QStringLiteral("[pozycje]")};
    for (int k = 1; k <= 10; ++k)
        lines << QStringLiteral("%1=%2").arg(k).arg(sub.fields.value(k - 1));
    for (int p = 0; p < sub.items.size(); ++p) {
        lines << QStringLiteral("[%1]").arg(p);
        for (int k = 1; k <= 10; ++k)
            lines << QStringLiteral("pozycja%1=%2").arg(k).arg(sub.items[p].value(k - 1));
        lines << QStringLiteral("opis=") + sub.items[p].value(10)
              << QStringLiteral("komentarz=") + sub.items[p].value(11);
    }
    lines << QStringLiteral("[config]") << QStringLiteral("liczba_pozycji=%1").arg(sub.items.size());
    return lines;
}

QStringList listLines(const QString &section, const QString &counter, const QStringList &entries)
{
    QStringList lines{QLatin1Char('[') + section + QLatin1Char(']')};
    for (int i = 0; i < entries.size(); ++i)
        lines << QStringLiteral("%1=%2").arg(i).arg(entries[i]);
    lines << QStringLiteral("[config]") << QStringLiteral("%1=%2").arg(counter).arg(entries.size());
    return lines;
}

} // namespace

void writeCatalogue(const TestDir &dir, const QList<TestSubcategory> &subcategories)
{
    QStringList categories;
    QMap<QString, QStringList> subcategoriesOf;
    for (const TestSubcategory &sub : subcategories) {
        if (!categories.contains(sub.category))
            categories << sub.category;
        subcategoriesOf[sub.category] << sub.subcategory;
        const QString itemFile = CatalogueFiles::itemFile(QString(), sub.category, sub.subcategory);
        dir.write(itemFile, crlfCp1250(itemLines(sub)));
    }
    dir.write(CatalogueFiles::categoryList(QString()),
              crlfCp1250(listLines(QStringLiteral("kategorie"), QStringLiteral("liczba_kategorii"), categories)));
    for (const QString &category : categories)
        dir.write(CatalogueFiles::subcategoryList(QString(), category),
                  crlfCp1250(listLines(QStringLiteral("podkategorie"), QStringLiteral("liczba_podkategorii"),
                                       subcategoriesOf[category])));
}
