// Speed of the export and the import over a collector's large catalogue: 20 categories of 10
// subcategories, with 50 or 500 items each (10,000 or 100,000 items, two photos per item), to show
// that the time grows with the catalogue and not with its square.
#include "app/Backups.h"
#include "exchange/Export.h"
#include "exchange/Import.h"
#include "exchange/SpreadsheetExport.h"
#include "store/Backup.h"
#include "store/DataDirectory.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

void writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("Cannot write the benchmark catalogue");
}

QByteArray keyedList(const char *section, const char *counter, const QStringList &entries)
{
    QByteArray bytes = "[" + QByteArray(section) + "]\r\n";
    for (int i = 0; i < entries.size(); ++i)
        bytes += QByteArray::number(i) + "=" + entries[i].toLatin1() + "\r\n";
    return bytes + "[config]\r\n" + counter + "=" + QByteArray::number(entries.size()) + "\r\n";
}

// A run waits for its own writes to reach the disk; the next one should not also wait for the
// disk to take the files that it has since been writing back in the background.
void settle()
{
    ::sync();
}

struct LargeCatalogue
{
    QTemporaryDir folder;
    QString dir = folder.path() + QLatin1Char('/');
    QString exportFile = dir + QStringLiteral("eksport.txt");

    explicit LargeCatalogue(int itemsPerSubcategory)
    {
        QStringList categories;
        QStringList subcategories;
        for (int c = 0; c < 20; ++c)
            categories.append(QStringLiteral("Kategoria %1").arg(c));
        for (int s = 0; s < 10; ++s)
            subcategories.append(QStringLiteral("Dzial %1").arg(s));
        writeFile(CatalogueFiles::categoryList(dir), keyedList("kategorie", "liczba_kategorii", categories));
        for (const QString &category : std::as_const(categories)) {
            writeFile(CatalogueFiles::subcategoryList(dir, category),
                      keyedList("podkategorie", "liczba_podkategorii", subcategories));
            for (const QString &sub : std::as_const(subcategories))
                writeSubcategory(category, sub, itemsPerSubcategory);
        }
        Export::run(dir, exportFile);
        settle();
    }

    void writeSubcategory(const QString &category, const QString &sub, int items)
    {
        QByteArray bytes = "[pozycje]\r\n";
        for (int k = 1; k <= 10; ++k)
            bytes += QByteArray::number(k) + "=Pole " + QByteArray::number(k) + "\r\n";
        for (int i = 0; i < items; ++i) {
            bytes += "[" + QByteArray::number(i) + "]\r\n";
            for (int k = 1; k <= 10; ++k)
                bytes +=
                    "pozycja" + QByteArray::number(k) + "=warto\x9c\xe6 " + QByteArray::number(i * 10 + k) + "\r\n";
            bytes += "opis=\"Moneta srebrna.\\r\\nKupiona na gie\xb3"
                     "dzie.\"\r\nkomentarz=Do wymiany\r\n";
            writeFile(CatalogueFiles::photoList(dir, category, sub, i),
                      "[zdjecia]\r\n0=C:\\Zdjecia\\" + QByteArray::number(i) + "a.jpg\r\n1=C:\\Zdjecia\\" +
                          QByteArray::number(i) + "b.jpg\r\n[config]\r\nliczba_zdjec=2\r\n");
        }
        bytes += "[config]\r\nliczba_pozycji=" + QByteArray::number(items) + "\r\naktualne_zdjecie=0\r\n";
        writeFile(CatalogueFiles::itemFile(dir, category, sub), bytes);
    }
};

LargeCatalogue &catalogue(int items)
{
    static std::map<int, std::unique_ptr<LargeCatalogue>> made;
    auto &entry = made[items];
    if (!entry)
        entry = std::make_unique<LargeCatalogue>(items / 200);
    return *entry;
}

// Goal: 100,000 items under 3 s.
void ExportCatalogue(benchmark::State &state)
{
    LargeCatalogue &source = catalogue(int(state.range(0)));
    const QTemporaryDir out; // deleted once the runs are timed
    int run = 0;
    for (auto _ : state) {
        Export::run(source.dir, out.filePath(QStringLiteral("e%1.txt").arg(++run)));
        state.PauseTiming();
        settle();
        state.ResumeTiming();
    }
    state.counters["items"] = double(state.range(0));
}
BENCHMARK(ExportCatalogue)->Arg(10'000)->Arg(100'000)->Iterations(2)->Unit(benchmark::kMillisecond);

// Goals: 100,000 items under 2 s as CSV, under 10 s as an XLSX workbook.
void ExportSpreadsheet(benchmark::State &state)
{
    LargeCatalogue &source = catalogue(int(state.range(0)));
    const bool xlsx = state.range(1) != 0;
    const QTemporaryDir out;
    const SpreadsheetExport::Selection selection{source.dir, SpreadsheetExport::Scope::Catalogue, {}, {}};
    int run = 0;
    for (auto _ : state) {
        const QString file = out.filePath(QStringLiteral("k%1.%2").arg(++run).arg(xlsx ? "xlsx" : "csv"));
        const qsizetype written = xlsx ? SpreadsheetExport::writeXlsx(selection, file)
                                       : SpreadsheetExport::writeCsv(selection, file, CsvWriter::Encoding::Utf8WithBom,
                                                                     QLatin1Char(';'));
        state.PauseTiming();
        if (written != state.range(0))
            state.SkipWithError("not every item was written");
        settle();
        state.ResumeTiming();
    }
    state.counters["items"] = double(state.range(0));
}
BENCHMARK(ExportSpreadsheet)->Args({100'000, 0})->Args({100'000, 1})->Iterations(2)->Unit(benchmark::kMillisecond);

// Goal: 100,000 items into an empty folder under 10 s.
void ImportCatalogueIntoEmptyFolder(benchmark::State &state)
{
    LargeCatalogue &source = catalogue(int(state.range(0)));
    // Kept until the end: ext4 takes long to find free inodes right after deleting many files,
    // which would charge the deletion of one run's folder to the next run.
    std::vector<std::unique_ptr<QTemporaryDir>> targets;
    for (auto _ : state) {
        state.PauseTiming();
        targets.push_back(std::make_unique<QTemporaryDir>());
        const QString dir = targets.back()->path() + QLatin1Char('/');
        state.ResumeTiming();
        Import::run(dir, source.exportFile);
        state.PauseTiming();
        settle();
        if (!QFile::exists(CatalogueFiles::photoList(dir, QStringLiteral("Kategoria 19"), QStringLiteral("Dzial 9"),
                                                     int(state.range(0)) / 200 - 1)))
            state.SkipWithError("the import did not reach the last item");
        state.ResumeTiming();
    }
    state.counters["items"] = double(state.range(0));
}
BENCHMARK(ImportCatalogueIntoEmptyFolder)->Arg(10'000)->Arg(100'000)->Iterations(2)->Unit(benchmark::kMillisecond);

// An export of one item with many photos, imported where that item's photo list already holds one:
// every photo is a key added inside an existing section, ahead of the file's "config".
struct LongPhotoList
{
    QTemporaryDir folder;
    QString exportFile = folder.filePath(QStringLiteral("eksport.txt"));

    explicit LongPhotoList(int photos)
    {
        QByteArray bytes =
            "[kategorie.gmd_config]\r\nliczba_kategorii=1\r\nsposob=0\r\nsprawdz_wersje=0\r\n"
            "przezroczystosc=0\r\n[kategorie.gmd_kategorie]\r\n0=Monety\r\n"
            "[Monety_podkategorie.gmd_config]\r\nliczba_podkategorii=1\r\n"
            "[Monety_podkategorie.gmd_podkategorie]\r\n0=Polska\r\n"
            "[Monety_Polska_dane.gmd_config]\r\nliczba_pozycji=1\r\n[Monety_Polska_dane.gmd_pozycje]\r\n";
        for (int k = 1; k <= 10; ++k)
            bytes += QByteArray::number(k) + "=Pole " + QByteArray::number(k) + "\r\n";
        bytes += "[Monety_Polska_dane.gmd_0]\r\n";
        for (int k = 1; k <= 10; ++k)
            bytes += "pozycja" + QByteArray::number(k) + "=" + QByteArray::number(k) + "\r\n";
        bytes += "opis=\r\nkomentarz=\r\n[Monety_Polska_0.gmd_config]\r\nliczba_zdjec=" + QByteArray::number(photos) +
                 "\r\n[Monety_Polska_0.gmd_zdjecia]\r\n";
        for (int p = 0; p < photos; ++p)
            bytes += QByteArray::number(p) + "=C:\\Zdjecia\\" + QByteArray::number(p) + ".jpg\r\n";
        writeFile(exportFile, bytes);
    }
};

// Goal: 100,000 photos over an existing photo list under 1 s.
void ImportPhotoListOverExistingFile(benchmark::State &state)
{
    const LongPhotoList source(int(state.range(0)));
    const QTemporaryDir target;
    const QString dir = target.path() + QLatin1Char('/');
    const QString photoList = CatalogueFiles::photoList(dir, QStringLiteral("Monety"), QStringLiteral("Polska"), 0);
    for (auto _ : state) {
        state.PauseTiming();
        writeFile(photoList, "[zdjecia]\r\n0=C:\\stare.jpg\r\n[config]\r\nliczba_zdjec=1\r\n");
        state.ResumeTiming();
        Import::run(dir, source.exportFile);
        state.PauseTiming();
        if (ProfileFile(photoList).ReadNumber(QStringLiteral("config"), QStringLiteral("liczba_zdjec"), 0) !=
            state.range(0))
            state.SkipWithError("the import did not reach the last photo");
        settle();
        state.ResumeTiming();
    }
    state.counters["photos"] = double(state.range(0));
}
BENCHMARK(ImportPhotoListOverExistingFile)->Arg(10'000)->Arg(100'000)->Iterations(3)->Unit(benchmark::kMillisecond);

// Goal: a backup of 100,000 items with their photo lists (100,211 files) under 5 s, made on its own
// thread as the program makes it, while a timer of the window thread every 10 ms is never more than
// 50 ms late.
void BackupCatalogue(benchmark::State &state)
{
    LargeCatalogue &source = catalogue(int(state.range(0)));
    const QTemporaryDir out;
    DataDirectory::setPath(source.dir);
    Backup::setFolder(out.path());
    qint64 worstLateness = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0;
        QTimer ticks;
        ticks.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticks, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            worstLateness = std::max(worstLateness, now - last - 10);
            last = now;
        });
        ticks.start(10);
        Backups::makeNow();
        ticks.stop();
        state.PauseTiming();
        settle();
        state.ResumeTiming();
    }
    const QList<Backup::Archive> made = Backup::list(out.path());
    if (made.isEmpty() || made.first().items != state.range(0))
        state.SkipWithError("the archive does not hold every item");
    state.counters["items"] = double(state.range(0));
    state.counters["worst_ui_lateness_ms"] = double(worstLateness);
    state.counters["archive_MB"] = made.isEmpty() ? 0.0 : double(made.first().size) / 1e6;
}
BENCHMARK(BackupCatalogue)->Arg(100'000)->Iterations(2)->Unit(benchmark::kMillisecond);

// Goal: that archive restored under 10 s: over the catalogue after one subcategory's item file
// changed (the restore replaces it, leaving the files that hold the archive's bytes already), and
// into an empty folder (every one of its 100,211 files written).
void RestoreCatalogue(benchmark::State &state)
{
    LargeCatalogue &source = catalogue(int(state.range(0)));
    const QTemporaryDir out;
    const QString archive = Backup::create(source.dir, out.path());
    std::vector<std::unique_ptr<QTemporaryDir>> targets; // kept, as for the import
    settle();
    for (auto _ : state) {
        state.PauseTiming();
        QString dir = source.dir;
        if (state.range(1) == 0) {
            source.writeSubcategory(QStringLiteral("Kategoria 3"), QStringLiteral("Dzial 4"), 10);
        } else {
            targets.push_back(std::make_unique<QTemporaryDir>());
            dir = targets.back()->path() + QLatin1Char('/');
        }
        settle();
        state.ResumeTiming();
        Backup::restore(dir, archive);
        state.PauseTiming();
        settle();
        state.ResumeTiming();
    }
    state.counters["items"] = double(state.range(0));
}
BENCHMARK(RestoreCatalogue)->Args({100'000, 0})->Args({100'000, 1})->Iterations(2)->Unit(benchmark::kMillisecond);

} // namespace
