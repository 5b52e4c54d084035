// Speed of a PDF report of a large subcategory: 1,000 items of ten fields and a description,
// without thumbnails and with one for each item, made from its own photo.
#include "exchange/Report.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct LargeReport
{
    QTemporaryDir folder;
    Report::Content content;

    explicit LargeReport(int items)
    {
        content.title = QStringLiteral("Monety — Polska Ludowa");
        content.summary = QStringLiteral("Pozycji: %1").arg(items);
        for (int k = 1; k <= 10; ++k)
            content.headers.append(QStringLiteral("Pole %1").arg(k));
        content.headers << QStringLiteral("Opis") << QStringLiteral("Komentarz");
        QImage photo(1024, 768, QImage::Format_RGB32);
        for (int i = 0; i < items; ++i) {
            Report::Row row;
            for (int k = 1; k <= 10; ++k)
                row.values.append(QStringLiteral("wartość %1 żółć").arg(i * 10 + k));
            row.values << QStringLiteral("Moneta srebrna.\nKupiona na giełdzie.") << QStringLiteral("Do wymiany");
            // Each its own picture, so no thumbnail is made once for many rows.
            photo.fill(QColor::fromHsv(i % 360, 160, 200));
            QPainter(&photo).fillRect(i % 900, i % 700, 120, 60, Qt::black);
            row.photo = folder.filePath(QStringLiteral("zdjecie%1.jpg").arg(i));
            photo.save(row.photo, "JPG", 85);
            content.rows.append(row);
        }
    }
};

LargeReport &largeReport()
{
    static LargeReport instance(1'000);
    return instance;
}

// Goal: 1,000 items without thumbnails under 5 s. With thumbnails the disk cache is emptied
// before each run, so every thumbnail is made from its photo.
void PdfReport(benchmark::State &state)
{
    LargeReport &report = largeReport();
    const Report::Options options{state.range(0) != 0, QDate(2026, 12, 10)};
    const QTemporaryDir out;
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (options.thumbnails)
            QDir(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/thumbnails"))
                .removeRecursively();
        const QString file = out.filePath(QStringLiteral("raport%1.pdf").arg(++run));
        state.ResumeTiming();
        Report::savePdf(report.content, options, file);
        state.PauseTiming();
        if (QFileInfo(file).size() == 0)
            state.SkipWithError("no PDF was written");
        state.ResumeTiming();
    }
    state.counters["items"] = double(report.content.rows.size());
}
BENCHMARK(PdfReport)->ArgName("miniatury")->Arg(0)->Arg(1)->Iterations(2)->Unit(benchmark::kMillisecond);

} // namespace
