// Speed of the CSV import: a spreadsheet of 100,000 rows (ten fields, a two-line description, a
// comment and two photos each) appended to one subcategory.
#include "exchange/CsvImport.h"
#include "store/CatalogueFiles.h"
#include "store/ProfileFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

QByteArray spreadsheet(int rows)
{
    QByteArray bytes = "Pole 1;Pole 2;Pole 3;Pole 4;Pole 5;Pole 6;Pole 7;Pole 8;Pole 9;Pole 10;Opis;Komentarz;"
                       "Zdj\xC4\x99\x63ia\r\n";
    for (int r = 0; r < rows; ++r) {
        const QByteArray n = QByteArray::number(r);
        for (int k = 1; k <= 10; ++k)
            bytes += "warto\xC5\x9B\xC4\x87 " + n + '-' + QByteArray::number(k) + ';';
        bytes += "\"Moneta srebrna; \"\"mennicza\"\".\r\nKupiona na gie\xC5\x82"
                 "dzie.\";Do wymiany;\"C:\\Zdjecia\\" +
                 n + "a.jpg\r\nC:\\Zdjecia\\" + n + "b.jpg\"\r\n";
    }
    return bytes;
}

// Goal: 100,000 rows under 10 s.
void ImportCsvIntoSubcategory(benchmark::State &state)
{
    const int rows = int(state.range(0));
    const QTemporaryDir sourceDir;
    const QString file = sourceDir.filePath(QStringLiteral("pozycje.csv"));
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(spreadsheet(rows)) < 0)
            qFatal("Cannot write the benchmark spreadsheet");
    }
    // Kept until the end, as for the import of an export file: deleting many files slows the next run.
    std::vector<std::unique_ptr<QTemporaryDir>> targets;
    for (auto _ : state) {
        state.PauseTiming();
        targets.push_back(std::make_unique<QTemporaryDir>());
        const ItemStore::Place place{targets.back()->path() + QLatin1Char('/'), QStringLiteral("Monety"),
                                     QStringLiteral("Polska")};
        ::sync();
        state.ResumeTiming();
        const CsvImport::Source source = CsvImport::load(file);
        QList<int> targetsOfColumns;
        for (int c = 0; c < 13; ++c)
            targetsOfColumns.append(c);
        CsvImport::run(place, source, {source.encoding, source.separator, true, targetsOfColumns});
        state.PauseTiming();
        ::sync();
        if (ProfileFile(place.itemFile()).ReadNumber(QStringLiteral("config"), QStringLiteral("liczba_pozycji"), 0) !=
                rows ||
            !QFile::exists(place.photoList(rows - 1)))
            state.SkipWithError("the import did not reach the last row");
        state.ResumeTiming();
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(ImportCsvIntoSubcategory)->Arg(10'000)->Arg(100'000)->Iterations(2)->Unit(benchmark::kMillisecond);

} // namespace
