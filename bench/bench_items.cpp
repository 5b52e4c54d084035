// Speed of the item commands on a subcategory of 10,000 items with 3 photos each, and of showing
// a 24-megapixel photo in the item viewer.
#include "BenchCatalogue.h"
#include "app/Glowny.h"
#include "app/Windows.h"
#include "items/ItemStore.h"
#include "store/DataDirectory.h"
#include "store/ProfileFile.h"
#include "store/Trash.h"
#include "viewer/JpegImage.h"
#include "viewer/PictureArea.h"
#include "viewer/Pokaz.h"

#include <QLabel>

#include <QLinearGradient>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

// The catalogue of BenchCatalogue, with three photo paths for every item, made once.
const ItemStore::Place &placeWithPhotos()
{
    static const ItemStore::Place place = [] {
        const ItemStore::Place result{Bench::catalogue().dir, QStringLiteral("Monety"), QStringLiteral("Polska")};
        for (int i = 0; i < Bench::itemCount; ++i) {
            QFile file(result.photoList(i));
            file.open(QIODevice::WriteOnly);
            file.write("[zdjecia]\r\n0=/zdjecia/" + QByteArray::number(i) + "a.jpg\r\n1=/zdjecia/" +
                       QByteArray::number(i) + "b.jpg\r\n2=/zdjecia/" + QByteArray::number(i) +
                       "c.jpg\r\n[config]\r\nliczba_zdjec=3\r\n");
        }
        return result;
    }();
    return place;
}

ItemValues sampleItem()
{
    ItemValues values;
    for (int k = 0; k < 10; ++k)
        values.fields[k] = QStringLiteral("wartość %1").arg(k + 1);
    values.description = QStringLiteral("Moneta srebrna.\nKupiona na giełdzie.");
    values.comment = QStringLiteral("Do wymiany");
    return values;
}

void AddItem(benchmark::State &state)
{
    const ItemStore::Place &place = placeWithPhotos();
    for (auto _ : state) {
        const int added = ItemStore::add(place, sampleItem());
        state.PauseTiming();
        ItemStore::remove(place, added, false);
        state.ResumeTiming();
    }
}
BENCHMARK(AddItem)->Unit(benchmark::kMillisecond);

void SaveEditedItem(benchmark::State &state)
{
    const ItemStore::Place &place = placeWithPhotos();
    ItemValues values = sampleItem();
    int round = 0;
    for (auto _ : state) {
        values.fields[0] = QString::number(++round);
        ItemStore::save(place, 5000, values);
    }
}
BENCHMARK(SaveEditedItem)->Unit(benchmark::kMillisecond);

// Argument 1: the deleted item goes into the trash, as the program's delete does; 0: it is gone.
void DeleteItem0MovingTheLast(benchmark::State &state)
{
    const ItemStore::Place &place = placeWithPhotos();
    const bool intoTrash = state.range(0) != 0;
    for (auto _ : state) {
        ItemStore::remove(place, 0, intoTrash);
        state.PauseTiming();
        const int added = ItemStore::add(place, sampleItem());
        for (const char *photo : {"/zdjecia/x.jpg", "/zdjecia/y.jpg", "/zdjecia/z.jpg"})
            ItemStore::addPhoto(place, added, QString::fromLatin1(photo));
        Trash::empty(place.dir);
        state.ResumeTiming();
    }
}
BENCHMARK(DeleteItem0MovingTheLast)->ArgName("kosz")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Two 6000 x 4000 photos, such as a modern camera takes.
struct CameraPhotos
{
    QTemporaryDir folder;
    QString dir = folder.path() + QLatin1Char('/');
    QStringList paths;

    CameraPhotos()
    {
        for (const char *name : {"a.jpg", "b.jpg"}) {
            QImage image(6000, 4000, QImage::Format_RGB32);
            QPainter painter(&image);
            QLinearGradient gradient(0, 0, 6000, 4000);
            gradient.setColorAt(0, QColor(180, 140, 60));
            gradient.setColorAt(1, QColor(40, 60, 120));
            painter.fillRect(image.rect(), gradient);
            for (int i = 0; i < 400; ++i)
                painter.fillRect((i * 7919) % 5900, (i * 104729) % 3900, 100, 100, QColor::fromHsv(i % 360, 200, 200));
            painter.end();
            paths.append(dir + QString::fromLatin1(name));
            image.save(paths.last(), "JPG", 90);
        }
        ProfileFile list(CatalogueFiles::photoList(dir, QStringLiteral("Aparat"), QStringLiteral("Zdjecia"), 0));
        for (const QString &path : std::as_const(paths))
            KeyedList::photos.append(list, path);
    }
};

CameraPhotos &cameraPhotos()
{
    static CameraPhotos instance;
    return instance;
}

void Baseline_FullSizeDecodeOf24Megapixels(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(loadJpeg(cameraPhotos().paths[0]));
}
BENCHMARK(Baseline_FullSizeDecodeOf24Megapixels)->Unit(benchmark::kMillisecond);

void openViewerOnCameraPhotos()
{
    DataDirectory::setPath(cameraPhotos().dir);
    if (!frmGlowny)
        createWindows();
    frmGlowny->setPanelText(0, QStringLiteral("Aparat"));
    frmGlowny->setPanelText(1, QStringLiteral("Zdjecia"));
    frmGlowny->lblpozycja->setText(QStringLiteral("0"));
}

// Goal: under 60 ms from the start of the load to the photo painted, and 5 times the full decode.
void Viewer_Opens24MegapixelPhoto(benchmark::State &state)
{
    openViewerOnCameraPhotos();
    for (auto _ : state) {
        frmPokaz->FormShow();
        frmPokaz->Image1->repaint();
    }
}
BENCHMARK(Viewer_Opens24MegapixelPhoto)->Unit(benchmark::kMillisecond);

void Viewer_Steps24MegapixelPhotos(benchmark::State &state)
{
    openViewerOnCameraPhotos();
    frmPokaz->FormShow();
    bool forward = true;
    for (auto _ : state) {
        forward ? frmPokaz->btnNastepneClick() : frmPokaz->btnPoprzednieClick();
        frmPokaz->Image1->repaint();
        forward = !forward;
    }
}
BENCHMARK(Viewer_Steps24MegapixelPhotos)->Unit(benchmark::kMillisecond);

} // namespace
