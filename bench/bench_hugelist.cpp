// A category list file that is plainly no list: 99 MB of 33 million short lines. Read the way the
// main window reads it, it is refused by its size; the baseline parses it as every file was parsed
// before, at some 56 bytes of memory a line. Memory is the growth of the resident set while the
// result is held. Run alone for clean memory figures: --benchmark_filter=HugeList
#include "store/CatalogueFiles.h"
#include "store/ProfileDocument.h"
#include "store/ProfileStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <unistd.h>

namespace {

struct HugeList
{
    QTemporaryDir folder;
    QString fileName = CatalogueFiles::categoryList(folder.path() + QLatin1Char('/'));

    HugeList()
    {
        QByteArray bytes = "[kategorie]\r\n0=Monety\r\n[config]\r\nliczba_kategorii=1\r\n";
        bytes.reserve(99 * 1000 * 1000);
        while (bytes.size() < 99 * 1000 * 1000 - 3)
            bytes += "x\r\n";
        QFile file(fileName);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("Cannot write the huge list");
    }
};

const HugeList &hugeList()
{
    static const HugeList list;
    return list;
}

double residentMegabytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * double(::sysconf(_SC_PAGESIZE)) / (1024 * 1024);
}

void HugeList_MainWindowRead(benchmark::State &state)
{
    const QString fileName = hugeList().fileName;
    double grown = 0;
    for (auto _ : state) {
        ProfileStore::clear();
        const double before = residentMegabytes();
        const QStringList names = KeyedList::categories.read(ProfileFile(fileName));
        grown = std::max(grown, residentMegabytes() - before);
        benchmark::DoNotOptimize(names);
        benchmark::DoNotOptimize(ProfileStore::takeRefusal(fileName));
    }
    state.counters["MB_held"] = grown;
}
BENCHMARK(HugeList_MainWindowRead)->Unit(benchmark::kMillisecond);

void Baseline_HugeList_ParseWhole(benchmark::State &state)
{
    const QString fileName = hugeList().fileName;
    double grown = 0;
    for (auto _ : state) {
        const double before = residentMegabytes();
        QFile file(fileName);
        file.open(QIODevice::ReadOnly);
        const ProfileDocument document(file.readAll());
        benchmark::DoNotOptimize(document.value("config", "liczba_kategorii"));
        grown = std::max(grown, residentMegabytes() - before);
    }
    state.counters["MB_held"] = grown;
}
BENCHMARK(Baseline_HugeList_ParseWhole)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
