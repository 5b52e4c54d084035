// Speed of the missing-photo scan and of the relink over a catalogue of 100,000 photo paths: 10
// subcategories of 5,000 items with two photos each, in 50,000 photo list files.
#include "items/PhotoRelink.h"
#include "store/CatalogueFiles.h"
#include "store/Codepage.h"
#include "viewer/MissingPhotos.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <functional>
#include <unistd.h>

namespace {

constexpr int subcategories = 10;
constexpr int itemsPerSubcategory = 5000;

void writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("Cannot write the benchmark catalogue");
}

QByteArray photoName(int sub, int item, char which)
{
    return "s" + QByteArray::number(sub) + "-" + QByteArray::number(item) + which + ".jpg";
}

// `folderOf(sub, item)` names the folder of an item's photos.
struct PhotoCatalogue
{
    QTemporaryDir folder;
    QString dir = folder.path() + QStringLiteral("/dane/");
    QString pictures = folder.path() + QStringLiteral("/zdjęcia/");

    explicit PhotoCatalogue(const std::function<QByteArray(int, int)> &folderOf)
    {
        QDir().mkpath(dir);
        QDir().mkpath(pictures);
        QByteArray subList = "[podkategorie]\r\n";
        for (int s = 0; s < subcategories; ++s)
            subList += QByteArray::number(s) + "=Dzial " + QByteArray::number(s) + "\r\n";
        writeFile(CatalogueFiles::categoryList(dir), "[kategorie]\r\n0=Monety\r\n[config]\r\nliczba_kategorii=1\r\n");
        writeFile(CatalogueFiles::subcategoryList(dir, QStringLiteral("Monety")),
                  subList + "[config]\r\nliczba_podkategorii=" + QByteArray::number(subcategories) + "\r\n");
        const QByteArray base = Codepage::encode(pictures); // as the photo lists store paths
        for (int s = 0; s < subcategories; ++s) {
            const QString sub = QStringLiteral("Dzial %1").arg(s);
            QByteArray items = "[pozycje]\r\n1=Nazwa\r\n";
            for (int i = 0; i < itemsPerSubcategory; ++i) {
                items += "[" + QByteArray::number(i) + "]\r\npozycja1=Moneta " + QByteArray::number(i) + "\r\n";
                const QByteArray path = base + folderOf(s, i) + "/";
                writeFile(CatalogueFiles::photoList(dir, QStringLiteral("Monety"), sub, i),
                          "[zdjecia]\r\n0=" + path + photoName(s, i, 'a') + "\r\n1=" + path + photoName(s, i, 'b') +
                              "\r\n[config]\r\nliczba_zdjec=2\r\n");
            }
            writeFile(CatalogueFiles::itemFile(dir, QStringLiteral("Monety"), sub),
                      items + "[config]\r\nliczba_pozycji=" + QByteArray::number(itemsPerSubcategory) + "\r\n");
        }
    }

    void makePhoto(const QByteArray &folder, const QByteArray &name) const
    {
        const QString path = pictures + QFile::decodeName(folder);
        QDir().mkpath(path);
        writeFile(path + QLatin1Char('/') + QFile::decodeName(name), {});
    }
};

// A hundred folders of 1,000 photos; half of them moved away, and a tenth of the files of the others.
PhotoCatalogue &scanCatalogue()
{
    static PhotoCatalogue catalogue(
        [](int s, int i) { return "F" + QByteArray::number((s * itemsPerSubcategory + i) % 100); });
    static const bool made = [] {
        for (int s = 0; s < subcategories; ++s) {
            for (int i = 0; i < itemsPerSubcategory; ++i) {
                const int folder = (s * itemsPerSubcategory + i) % 100;
                if (folder < 50 && i % 10 != 0)
                    for (char which : {'a', 'b'})
                        catalogue.makePhoto("F" + QByteArray::number(folder), photoName(s, i, which));
            }
        }
        ::sync();
        return true;
    }();
    Q_UNUSED(made);
    return catalogue;
}

// Goal: under 2 s.
void ScanMissingPhotos(benchmark::State &state)
{
    PhotoCatalogue &catalogue = scanCatalogue();
    qsizetype missing = 0;
    for (auto _ : state) {
        const MissingPhotoScan scan = MissingPhotos::scan(catalogue.dir);
        missing = scan.missingCount();
        if (scan.paths != 2 * subcategories * itemsPerSubcategory)
            state.SkipWithError("the scan did not reach every photo path");
    }
    state.counters["paths"] = 2.0 * subcategories * itemsPerSubcategory;
    state.counters["missing"] = double(missing);
}
BENCHMARK(ScanMissingPhotos)->Iterations(3)->Unit(benchmark::kMillisecond);

// Every photo in one moved folder, found again in the new one; the runs after the first move them
// between two names of that folder.
void RelinkAllPhotos(benchmark::State &state)
{
    PhotoCatalogue catalogue([](int, int) { return QByteArray("Stare"); });
    for (int s = 0; s < subcategories; ++s)
        for (int i = 0; i < itemsPerSubcategory; ++i)
            for (char which : {'a', 'b'})
                catalogue.makePhoto("Nowe A", photoName(s, i, which));
    QFile::link(catalogue.pictures + QStringLiteral("Nowe A"), catalogue.pictures + QStringLiteral("Nowe B"));
    ::sync();
    QStringList folders{QStringLiteral("Stare"), QStringLiteral("Nowe A"), QStringLiteral("Nowe B")};
    int run = 0;
    for (auto _ : state) {
        const QString from = catalogue.pictures + folders[run == 0 ? 0 : 1 + (run + 1) % 2];
        const QString to = catalogue.pictures + folders[1 + run % 2];
        const PhotoRelink::Result result = PhotoRelink::run(catalogue.dir, from, to);
        if (result.relinked != 2 * subcategories * itemsPerSubcategory) {
            state.SkipWithError("the relink did not find every photo");
            break;
        }
        ++run;
        state.PauseTiming();
        ::sync();
        state.ResumeTiming();
    }
    state.counters["paths"] = 2.0 * subcategories * itemsPerSubcategory;
}
BENCHMARK(RelinkAllPhotos)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
