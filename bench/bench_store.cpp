// Speed of the catalogue store on a subcategory of 10,000 items (ten fields, a description and a
// comment each). Compare each figure with its baseline: the goals are ratios, not absolute times.
#include "BenchCatalogue.h"
#include "store/ProfileFile.h"
#include "store/ProfileStore.h"

#include <QFile>
#include <benchmark/benchmark.h>
#include <cstring>
#include <vector>

namespace {

using Bench::catalogue;
using Bench::itemCount;

void ReadTextCached(benchmark::State &state)
{
    const ProfileFile file(catalogue().itemFile);
    (void)file.ReadText(QStringLiteral("5000"), QStringLiteral("pozycja7"), QString());
    for (auto _ : state)
        benchmark::DoNotOptimize(file.ReadText(QStringLiteral("5000"), QStringLiteral("pozycja7"), QString()));
}
BENCHMARK(ReadTextCached);

void Baseline_ReadBytesAndSplitLines(benchmark::State &state)
{
    for (auto _ : state) {
        QFile file(catalogue().itemFile);
        file.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(file.readAll().split('\n'));
    }
}
BENCHMARK(Baseline_ReadBytesAndSplitLines)->Unit(benchmark::kMillisecond);

// The leanest split there is: where each line starts, found with memchr, nothing copied.
void Baseline_ReadBytesAndFindLineStarts(benchmark::State &state)
{
    for (auto _ : state) {
        QFile file(catalogue().itemFile);
        file.open(QIODevice::ReadOnly);
        const QByteArray bytes = file.readAll();
        std::vector<qsizetype> starts;
        for (const char *p = bytes.constData(), *end = p + bytes.size(); p < end;) {
            starts.push_back(p - bytes.constData());
            const void *newline = std::memchr(p, '\n', size_t(end - p));
            p = newline ? static_cast<const char *>(newline) + 1 : end;
        }
        benchmark::DoNotOptimize(starts);
    }
}
BENCHMARK(Baseline_ReadBytesAndFindLineStarts)->Unit(benchmark::kMillisecond);

void FirstReadParse(benchmark::State &state)
{
    const ProfileFile file(catalogue().itemFile);
    for (auto _ : state) {
        ProfileStore::clear();
        benchmark::DoNotOptimize(file.ReadText(QStringLiteral("5000"), QStringLiteral("pozycja7"), QString()));
    }
}
BENCHMARK(FirstReadParse)->Unit(benchmark::kMillisecond);

void Baseline_CopyFile(benchmark::State &state)
{
    const QString copy = catalogue().itemFile + QStringLiteral(".kopia");
    for (auto _ : state) {
        QFile::remove(copy);
        benchmark::DoNotOptimize(QFile::copy(catalogue().itemFile, copy));
    }
    QFile::remove(copy);
}
BENCHMARK(Baseline_CopyFile)->Unit(benchmark::kMillisecond);

void WriteTextOneKey(benchmark::State &state)
{
    ProfileFile file(catalogue().itemFile);
    int round = 0;
    for (auto _ : state)
        file.WriteText(QStringLiteral("5000"), QStringLiteral("pozycja7"), QString::number(++round));
}
BENCHMARK(WriteTextOneKey)->Unit(benchmark::kMillisecond);

void ReadAllItemsTwelveValues(benchmark::State &state)
{
    const ProfileFile file(catalogue().itemFile);
    const QStringList keys = [] {
        QStringList k;
        for (int i = 1; i <= 10; ++i)
            k << QStringLiteral("pozycja%1").arg(i);
        return k;
    }();
    for (auto _ : state) {
        qsizetype characters = 0;
        for (int i = 0; i < itemCount; ++i) {
            const QString section = QString::number(i);
            for (const QString &key : keys)
                characters += file.ReadText(section, key, QString()).size();
            characters += file.ReadMultiline(section, QStringLiteral("opis")).size();
            characters += file.ReadMultiline(section, QStringLiteral("komentarz")).size();
        }
        benchmark::DoNotOptimize(characters);
    }
}
BENCHMARK(ReadAllItemsTwelveValues)->Unit(benchmark::kMillisecond);

} // namespace
