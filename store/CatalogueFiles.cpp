#include "CatalogueFiles.h"

#include "Codepage.h"
#include "Error.h"

#include <limits>

namespace CatalogueFiles {

QString categoryList(const QString &dir)
{
    return dir + QStringLiteral("kategorie.gmd");
}

QString subcategoryList(const QString &dir, const QString &category)
{
    return dir + category + QStringLiteral("_podkategorie.gmd");
}

QString itemFile(const QString &dir, const QString &category, const QString &subcategory)
{
    return dir + category + QLatin1Char('_') + subcategory + QStringLiteral("_dane.gmd");
}

QString photoList(const QString &dir, const QString &category, const QString &subcategory, int item)
{
    return dir + category + QLatin1Char('_') + subcategory + QLatin1Char('_') + QString::number(item) +
           QStringLiteral(".gmd");
}

QString nameProblem(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("Nazwa nie może być pusta.");
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return QStringLiteral("Nazwa nie może brzmieć \"%1\".").arg(name);
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    for (QChar c : name) {
        if (forbidden.contains(c))
            return QStringLiteral("Nazwa nie może zawierać znaku \"%1\".\nNiedozwolone są znaki: / \\ : * ? \" < > |")
                .arg(c);
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return QStringLiteral("Nazwa nie może zawierać znaków sterujących.");
    }
    const auto isBlank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    if (isBlank(name.front()) || isBlank(name.back()))
        return QStringLiteral("Nazwa nie może zaczynać się ani kończyć spacją.");
    if (name.size() >= 2 && name.front() == QLatin1Char('\'') && name.back() == QLatin1Char('\''))
        return QStringLiteral("Nazwa nie może być ujęta w apostrofy.");
    if (name.size() > maxNameLength)
        return QStringLiteral("Nazwa może mieć najwyżej %1 znaków.").arg(maxNameLength);
    return Codepage::unencodableMessage(name);
}

void checkCanGrow(int count, const QString &what, const QString &fileName)
{
    if (count < 0)
        throw AppError(QStringLiteral("Liczba %1 zapisana w pliku %2 jest ujemna (%3): plik jest uszkodzony.\n"
                                      "Nic nie zostało zapisane.")
                           .arg(what, fileName, QString::number(count)));
    if (count == std::numeric_limits<int>::max())
        throw AppError(QStringLiteral("Liczba %1 zapisana w pliku %2 wynosi %3 i nie może już wzrosnąć.\n"
                                      "Nic nie zostało zapisane.")
                           .arg(what, fileName, QString::number(count)));
}

QString countProblem(int count, int present, const QString &what, const QString &fileName)
{
    if (count < 0)
        return QStringLiteral("Liczba %1 zapisana w pliku %2 jest ujemna (%3): plik jest uszkodzony.\n"
                              "Plik nie został zmieniony.")
            .arg(what, fileName, QString::number(count));
    if (count > present)
        return QStringLiteral("Plik %1 podaje liczbę %2 %3, ale zawiera tylko %4: pokazano tyle, ile zawiera.\n"
                              "Plik nie został zmieniony.")
            .arg(fileName, what, QString::number(count), QString::number(present));
    return {};
}

} // namespace CatalogueFiles

const KeyedList KeyedList::categories{QStringLiteral("kategorie"), QStringLiteral("liczba_kategorii"),
                                      QStringLiteral("kategorii")};
const KeyedList KeyedList::subcategories{QStringLiteral("podkategorie"), QStringLiteral("liczba_podkategorii"),
                                         QStringLiteral("podkategorii")};
const KeyedList KeyedList::photos{QStringLiteral("zdjecia"), QStringLiteral("liczba_zdjec"), QStringLiteral("zdjęć")};

int KeyedList::count(const ProfileFile &file) const
{
    return file.ReadNumber(QStringLiteral("config"), counterKey, 0);
}

QStringList KeyedList::read(const ProfileFile &file) const
{
    QStringList entries;
    const int n = std::clamp(count(file), 0, file.NumberedKeys(section));
    entries.reserve(n);
    for (int p = 0; p < n; ++p)
        entries.append(file.ReadText(section, QString::number(p), QString()));
    return entries;
}

QString KeyedList::problem(const ProfileFile &file) const
{
    return CatalogueFiles::countProblem(count(file), file.NumberedKeys(section), what, file.fileName());
}

void KeyedList::append(ProfileFile &file, const QString &entry) const
{
    const int n = count(file);
    CatalogueFiles::checkCanGrow(n, what, file.fileName());
    file.Edit([&](ProfileEdit &edit) {
        edit.WriteText(section, QString::number(n), entry);
        edit.WriteNumber(QStringLiteral("config"), counterKey, n + 1);
    });
}
