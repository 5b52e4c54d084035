// Speed of renaming a large category: 50 subcategories of 1,000 items, one photo list per item
// (two photos each), so about 50,000 files follow the new name.
#include "categories/CategoryStore.h"
#include "store/CatalogueFiles.h"
#include "store/ProfileFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct LargeCategory
{
    QTemporaryDir folder;
    QString dir = folder.path() + QLatin1Char('/');

    LargeCategory()
    {
        QStringList subcategories;
        for (int s = 0; s < 50; ++s)
            subcategories.append(QStringLiteral("Dzial%1").arg(s));
        CategoryStore::writeCategories(dir, {QStringLiteral("Monety")});
        CategoryStore::writeSubcategories(dir, QStringLiteral("Monety"), subcategories);
        for (const QString &sub : std::as_const(subcategories)) {
            QFile items(CatalogueFiles::itemFile(dir, QStringLiteral("Monety"), sub));
            items.open(QIODevice::WriteOnly);
            items.write("[pozycje]\r\n1=Nazwa\r\n[config]\r\nliczba_pozycji=1000\r\n");
            for (int i = 0; i < 1000; ++i) {
                QFile photos(CatalogueFiles::photoList(dir, QStringLiteral("Monety"), sub, i));
                photos.open(QIODevice::WriteOnly);
                photos.write("[zdjecia]\r\n0=/zdjecia/a.jpg\r\n1=/zdjecia/b.jpg\r\n[config]\r\nliczba_zdjec=2\r\n");
            }
        }
    }
};

// Goal: under 3 s.
void RenameCategoryWith50000PhotoLists(benchmark::State &state)
{
    static LargeCategory category;
    const QString names[2] = {QStringLiteral("Monety"), QStringLiteral("Numizmaty")};
    int from = 0;
    for (auto _ : state) {
        CategoryStore::renameCategory(category.dir, 0, names[from], names[1 - from]);
        from = 1 - from;
    }
    if (!QFile::exists(CatalogueFiles::photoList(category.dir, names[from], QStringLiteral("Dzial49"), 999)))
        state.SkipWithError("the photo lists did not follow the name");
}
BENCHMARK(RenameCategoryWith50000PhotoLists)->Unit(benchmark::kMillisecond)->Iterations(4);

} // namespace
