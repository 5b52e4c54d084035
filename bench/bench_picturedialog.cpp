// The picture dialog's preview of a 24-megapixel camera photo: from the selection to the picture in the pane.
#include "viewer/PictureDialog.h"
#include "viewer/PictureLoader.h"

#include <QEventLoop>
#include <QLabel>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// 6000 x 4000, with detail everywhere, so that it compresses no better than a photo; made once.
QString largePhoto()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("duze.jpg"));
        QImage image(6000, 4000, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] = qRgb(x * 255 / 6000, y * 255 / 4000, (x * 7 + y * 13) & 0xFF);
        }
        image.save(file, "JPEG", 90);
        return file;
    }();
    return path;
}

// Goal: under 200 ms (the file's every byte still passes the decoder at an eighth of the size), so that
// stepping through a folder of camera photos keeps up with the keys.
void BM_PreviewOfLargeJpeg(benchmark::State &state)
{
    const QString photo = largePhoto();
    PictureDialog dialog(nullptr, QStringLiteral("Wybierz zdjęcie"));
    bool shown = true;
    for (auto _ : state) {
        QEventLoop loop;
        QObject::connect(&dialog, &PictureDialog::previewShown, &loop, &QEventLoop::quit);
        dialog.showPreview(photo);
        loop.exec();
        state.PauseTiming();
        shown = shown && !dialog.imgPodglad->pixmap().isNull() && !dialog.lblRozmiar->text().isEmpty();
        dialog.showPreview(QString());
        state.ResumeTiming();
    }
    if (!shown)
        state.SkipWithError("no preview shown");
}
BENCHMARK(BM_PreviewOfLargeJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the preview saves: the same photo decoded whole.
void BM_FullDecodeOfLargeJpeg(benchmark::State &state)
{
    const QString photo = largePhoto();
    for (auto _ : state)
        benchmark::DoNotOptimize(PictureLoader::load(photo));
}
BENCHMARK(BM_FullDecodeOfLargeJpeg)->Unit(benchmark::kMillisecond);

} // namespace
