// Thumbnails of camera photos made on the loader's pool, and how late the user-interface thread
// answers meanwhile.
#include "viewer/ThumbnailLoader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace {

// Six 24-megapixel (6000 x 4000) JPEGs, made once, with a cache folder of their own.
struct LargePhotos
{
    QTemporaryDir folder;
    QStringList paths;

    LargePhotos()
    {
        for (int k = 0; k < 6; ++k) {
            QImage image(6000, 4000, QImage::Format_RGB32);
            QPainter painter(&image);
            QLinearGradient gradient(0, 0, 6000, 4000);
            gradient.setColorAt(0, QColor::fromHsv(k * 50, 160, 200));
            gradient.setColorAt(1, QColor(40, 60, 120));
            painter.fillRect(image.rect(), gradient);
            for (int i = 0; i < 400; ++i)
                painter.fillRect((i * 7919 + k) % 5900, (i * 104729) % 3900, 100, 100,
                                 QColor::fromHsv(i % 360, 200, 200));
            painter.end();
            paths.append(folder.filePath(QStringLiteral("aparat%1.jpg").arg(k)));
            image.save(paths.last(), "JPG", 90);
        }
        qputenv("XDG_CACHE_HOME", QFile::encodeName(folder.filePath(QStringLiteral("cache"))));
    }
};

LargePhotos &largePhotos()
{
    static LargePhotos instance;
    return instance;
}

// Goal: at least 30 thumbnails a second on two threads, the user-interface thread never more than
// 50 ms late. The disk cache is emptied before each round, so every thumbnail is made.
void ThumbnailsOf24MegapixelJpegs(benchmark::State &state)
{
    LargePhotos &photos = largePhotos();
    qint64 worstLateness = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QDir(photos.folder.filePath(QStringLiteral("cache"))).removeRecursively();
        state.ResumeTiming();
        ThumbnailLoader loader(128);
        QSet<QString> waiting(photos.paths.begin(), photos.paths.end());
        QEventLoop loop;
        QObject::connect(&loader, &ThumbnailLoader::ready, &loop, [&](const QString &file) {
            waiting.remove(file);
            if (waiting.isEmpty())
                loop.quit();
        });
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        QElapsedTimer since;
        QObject::connect(&tick, &QTimer::timeout, &loop,
                         [&] { worstLateness = qMax(worstLateness, since.restart() - 10); });
        for (const QString &file : std::as_const(photos.paths))
            loader.thumbnail(file);
        since.start();
        tick.start(10);
        loop.exec();
        if (loader.thumbnail(photos.paths.first()).isNull())
            state.SkipWithError("no thumbnail made");
    }
    state.counters["thumbnails_per_s"] =
        benchmark::Counter(double(state.iterations() * photos.paths.size()), benchmark::Counter::kIsRate);
    state.counters["ui_worst_late_ms"] = double(worstLateness);
    state.counters["threads"] = QThread::idealThreadCount();
}
BENCHMARK(ThumbnailsOf24MegapixelJpegs)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
