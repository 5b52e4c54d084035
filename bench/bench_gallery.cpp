// Speed of the main window's gallery: a subcategory of 1,000 items, each with a photo of its own,
// whose thumbnails the disk cache holds already.
#include "BenchCatalogue.h"
#include "app/Glowny.h"
#include "app/ItemGallery.h"
#include "app/Windows.h"
#include "items/ItemStore.h"
#include "store/CatalogueFiles.h"
#include "store/DataDirectory.h"
#include "store/ProfileStore.h"
#include "viewer/ThumbnailLoader.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <benchmark/benchmark.h>

namespace {

constexpr int galleryItems = 1000;

struct GalleryCatalogue
{
    QTemporaryDir folder;
    QString dir = folder.path() + QLatin1Char('/');

    GalleryCatalogue()
    {
        QByteArray bytes = "[pozycje]\r\n1=Nazwa\r\n";
        for (int i = 0; i < galleryItems; ++i)
            bytes += "[" + QByteArray::number(i) + "]\r\npozycja1=Moneta " + QByteArray::number(i) + "\r\n";
        bytes += "[config]\r\nliczba_pozycji=" + QByteArray::number(galleryItems) + "\r\n";
        QFile file(CatalogueFiles::itemFile(dir, QStringLiteral("Monety"), QStringLiteral("Polska")));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("Cannot write the benchmark catalogue");
        QDir().mkpath(dir + QStringLiteral("zdjecia"));
        QImage photo(1600, 1200, QImage::Format_RGB32);
        for (int i = 0; i < galleryItems; ++i) {
            photo.fill(QColor::fromHsv(i * 37 % 360, 200, 200));
            QPainter(&photo).drawText(photo.rect(), Qt::AlignCenter, QString::number(i));
            const QString path = dir + QStringLiteral("zdjecia/%1.jpg").arg(i);
            photo.save(path, "JPEG", 85);
            ItemStore::setPhotos({dir, QStringLiteral("Monety"), QStringLiteral("Polska")}, i, {path});
        }
    }
};

// The tiles in sight, each with its thumbnail, painted.
bool firstScreenShown(ItemGallery *gallery)
{
    const QRect seen = gallery->viewport()->rect();
    for (int row = 0; row < gallery->model()->rowCount(); ++row) {
        const QModelIndex index = gallery->model()->index(row, 0);
        if (!gallery->visualRect(index).intersects(seen))
            break;
        const QString photo = gallery->photoOf(index);
        if (gallery->thumbnails()->thumbnail(photo).isNull() && !gallery->thumbnails()->failed(photo))
            return false;
    }
    return true;
}

void showGallery(const QString &dir)
{
    DataDirectory::setPath(dir);
    if (!frmGlowny)
        createWindows();
    frmGlowny->resize(1000, 700);
    frmGlowny->show();
    frmGlowny->setPanelText(0, QStringLiteral("Monety"));
    frmGlowny->ListPodkategorie->clear();
    frmGlowny->ListPodkategorie->addTopLevelItem(new QTreeWidgetItem(QStringList{QStringLiteral("Polska")}));
    frmGlowny->Galeria1->setChecked(true);
}

// From the click on the subcategory to the first screen of tiles painted with their thumbnails,
// which the disk cache holds. Goal: under 300 ms.
void Gallery_FirstScreenOf1000Items(benchmark::State &state)
{
    static GalleryCatalogue catalogue;
    showGallery(catalogue.dir);
    ItemGallery *gallery = frmGlowny->GaleriaPrzedmiotow;
    QTreeWidget *subcategories = frmGlowny->ListPodkategorie;
    // Every thumbnail made once, into the disk cache.
    subcategories->setCurrentItem(subcategories->topLevelItem(0));
    const auto allMade = [gallery] {
        bool made = true;
        for (int row = 0; row < gallery->model()->rowCount(); ++row) {
            const QString photo = gallery->photoOf(gallery->model()->index(row, 0));
            made = !gallery->thumbnails()->thumbnail(photo).isNull() && made;
        }
        return made;
    };
    QElapsedTimer making;
    making.start();
    while (!allMade() && making.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    for (auto _ : state) {
        state.PauseTiming();
        subcategories->clearSelection();
        ProfileStore::clear();
        gallery->thumbnails()->clearMemory();
        state.ResumeTiming();
        subcategories->setCurrentItem(subcategories->topLevelItem(0));
        QElapsedTimer waited;
        waited.start();
        gallery->grab();
        while (!firstScreenShown(gallery) && waited.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        gallery->grab();
    }
    if (!firstScreenShown(gallery))
        state.SkipWithError("the thumbnails never came");
}
BENCHMARK(Gallery_FirstScreenOf1000Items)->Unit(benchmark::kMillisecond)->UseRealTime();

// The gallery switched on over a subcategory of 100,000 items (without photos): laid out and its
// first screen painted.
void Gallery_SwitchOnOver100000Items(benchmark::State &state)
{
    Bench::Catalogue &catalogue = Bench::largeCatalogue();
    showGallery(catalogue.dir);
    frmGlowny->Galeria1->setChecked(false);
    QTreeWidget *subcategories = frmGlowny->ListPodkategorie;
    subcategories->setCurrentItem(subcategories->topLevelItem(0));
    for (auto _ : state) {
        frmGlowny->Galeria1->setChecked(true);
        frmGlowny->GaleriaPrzedmiotow->grab();
        state.PauseTiming();
        frmGlowny->Galeria1->setChecked(false);
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    if (frmGlowny->GaleriaPrzedmiotow->model()->rowCount() != Bench::largeItemCount)
        state.SkipWithError("the items were not listed");
}
BENCHMARK(Gallery_SwitchOnOver100000Items)->Unit(benchmark::kMillisecond);

} // namespace
