// Speed of the catalogue search over 100,000 items in 200 subcategories (10 categories of 20),
// each item with ten fields, a description and a comment; one item in 50 comes from "Łódź".
// Cold: the search has read no file yet (the system's page cache may hold them). Warm: a second
// search over the same files. first_ms is when the first batch of hits arrived.
#include "BenchCatalogue.h"
#include "search/CatalogueSearch.h"
#include "store/CatalogueFiles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int categories = 10;
constexpr int subcategoriesEach = 20;
constexpr int itemsEach = 500;

void writeFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("Cannot write the benchmark catalogue");
}

QByteArray itemFile(int subcategory)
{
    QByteArray bytes = "[pozycje]\r\n";
    for (int k = 1; k <= 10; ++k)
        bytes += QByteArray::number(k) + "=Pole " + QByteArray::number(k) + "\r\n";
    for (int i = 0; i < itemsEach; ++i) {
        const int n = subcategory * itemsEach + i;
        bytes += "[" + QByteArray::number(i) + "]\r\n";
        for (int k = 1; k <= 10; ++k) {
            bytes += "pozycja" + QByteArray::number(k) + "=";
            bytes += k == 3 && n % 50 == 0 ? QByteArray("\xa3\xf3"
                                                        "d\x9f 1925") // Łódź
                                           : "warto\x9c\xe6 " + QByteArray::number(n * 10 + k) + " z opisem pola";
            bytes += "\r\n";
        }
        bytes += Bench::descriptionAndComment(n);
    }
    bytes += "[config]\r\nliczba_pozycji=" + QByteArray::number(itemsEach) + "\r\n";
    return bytes;
}

struct Catalogue
{
    QTemporaryDir folder;
    QString dir = folder.path() + QLatin1Char('/');

    Catalogue()
    {
        QByteArray list = "[kategorie]\r\n";
        for (int c = 0; c < categories; ++c) {
            const QByteArray category = "Kategoria " + QByteArray::number(c);
            list += QByteArray::number(c) + "=" + category + "\r\n";
            QByteArray subcategories = "[podkategorie]\r\n";
            for (int s = 0; s < subcategoriesEach; ++s) {
                const QByteArray subcategory = "Podkategoria " + QByteArray::number(s);
                subcategories += QByteArray::number(s) + "=" + subcategory + "\r\n";
                writeFile(
                    CatalogueFiles::itemFile(dir, QString::fromLatin1(category), QString::fromLatin1(subcategory)),
                    itemFile(c * subcategoriesEach + s));
            }
            subcategories += "[config]\r\nliczba_podkategorii=" + QByteArray::number(subcategoriesEach) + "\r\n";
            writeFile(CatalogueFiles::subcategoryList(dir, QString::fromLatin1(category)), subcategories);
        }
        list += "[config]\r\nliczba_kategorii=" + QByteArray::number(categories) + "\r\n";
        writeFile(CatalogueFiles::categoryList(dir), list);
    }
};

const Catalogue &catalogue()
{
    static const Catalogue instance;
    return instance;
}

void runSearch(benchmark::State &state, bool warm, const SearchQuery &query)
{
    const QString dir = catalogue().dir;
    CatalogueSearch search;
    search.run(dir, query, [](QList<SearchHit> &&) {});
    double firstMs = 0;
    int hits = 0;
    for (auto _ : state) {
        if (!warm) {
            state.PauseTiming();
            search.clearCache();
            state.ResumeTiming();
        }
        QElapsedTimer timer;
        timer.start();
        bool first = true;
        hits = search.run(dir, query, [&](QList<SearchHit> &&batch) {
            if (std::exchange(first, false))
                firstMs += double(timer.nsecsElapsed()) / 1e6;
            benchmark::DoNotOptimize(batch);
        });
    }
    state.counters["first_ms"] = benchmark::Counter(firstMs, benchmark::Counter::kAvgIterations);
    state.counters["hits"] = hits;
}

const SearchQuery lodz{QStringLiteral("lodz"), SearchQuery::Scope::AllFields, {}};
const SearchQuery nothing{QStringLiteral("nigdzie"), SearchQuery::Scope::AllFields, {}};

void Search_Cold(benchmark::State &state)
{
    runSearch(state, false, lodz);
}
BENCHMARK(Search_Cold)->Unit(benchmark::kMillisecond);

void Search_Warm(benchmark::State &state)
{
    runSearch(state, true, lodz);
}
BENCHMARK(Search_Warm)->Unit(benchmark::kMillisecond);

// Every value read and nothing found: the whole scan with no hit to make.
void Search_Warm_NoHit(benchmark::State &state)
{
    runSearch(state, true, nothing);
}
BENCHMARK(Search_Warm_NoHit)->Unit(benchmark::kMillisecond);

// A text in half the values: hits past the delivered ones are only counted.
void Search_Warm_Common(benchmark::State &state)
{
    runSearch(state, true, SearchQuery{QStringLiteral("opisem"), SearchQuery::Scope::AllFields, {}});
}
BENCHMARK(Search_Warm_Common)->Unit(benchmark::kMillisecond);

} // namespace
