#include "app/Glowny.h"
#include "items/ItemStore.h"
#include "store/ProfileStore.h"
#include "support/ScriptedDialogs.h"
#include "support/TestCatalogue.h"
#include "support/WindowDriver.h"
#include "viewer/Brakujace_zdjecia.h"
#include "viewer/MissingPhotoModel.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

namespace {

void touch(const QString &file)
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("Cannot make a picture file");
}

// The rows of the window's tree: each folder with its count, then its files with their items.
QStringList rows(const MissingPhotoModel &model)
{
    QStringList texts;
    for (int f = 0; f < model.rowCount(); ++f) {
        const QModelIndex folder = model.index(f, 0);
        texts << folder.data().toString() + " (" + model.index(f, MissingPhotoModel::CountColumn).data().toString() +
                     ")";
        for (int p = 0; p < model.rowCount(folder); ++p)
            texts << "  " + model.index(p, 0, folder).data().toString() + ": " +
                         model.index(p, MissingPhotoModel::ItemsColumn, folder).data().toString();
    }
    return texts;
}

} // namespace

class TestBrakujaceZdjecia : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void relinkFromTheMenu();
    void nothingMissingSaysSo();

private:
    void openWindow(const std::function<void()> &action);

    ScriptedDialogs m_dialogs;
    TestDir m_dir;
    TestDir m_pictures;
    QString m_old = m_pictures.path() + QStringLiteral("Zdjęcia Łódź");
    QString m_new = m_pictures.path() + QStringLiteral("Przeniesione Żagań");
};

void TestBrakujaceZdjecia::initTestCase()
{
    writeCatalogue(m_dir, {{"Monety", "Polska", {"Nazwa"}, {{"Złotówka"}, {"Grosz"}}},
                           {"Znaczki", "Łódź", {"Tytuł"}, {{"Orzeł"}}}});
    const ItemStore::Place coins{m_dir.path(), "Monety", "Polska"};
    ItemStore::setPhotos(coins, 0, {m_old + "/a.jpg", m_old + "/b.jpg"});
    ItemStore::setPhotos(coins, 1, {m_old + "/c.jpg"});
    ItemStore::setPhotos({m_dir.path(), "Znaczki", QStringLiteral("Łódź")}, 0, {m_new + "/k.jpg"});
    for (const char *name : {"/a.jpg", "/c.jpg", "/k.jpg"})
        touch(m_new + name);
    QVERIFY(showMainWindow(m_dir.path()));
}

// From the main window's menu, as the user opens it; `action` runs once the first scan has ended.
void TestBrakujaceZdjecia::openWindow(const std::function<void()> &action)
{
    whenShown(frmBrakujace_zdjecia, [action] {
        QTRY_VERIFY(!frmBrakujace_zdjecia->isScanning());
        action();
        frmBrakujace_zdjecia->btnZamknij->click();
    });
    frmGlowny->findChild<QAction *>(QStringLiteral("Brakujcezdjcia1"))->trigger();
    QVERIFY(frmBrakujace_zdjecia->isHidden());
}

void TestBrakujaceZdjecia::relinkFromTheMenu()
{
    openWindow([this] {
        QCOMPARE(rows(frmBrakujace_zdjecia->model()),
                 QStringList({m_old + " (3)", "  a.jpg: Monety / Polska / Złotówka",
                              "  b.jpg: Monety / Polska / Złotówka", "  c.jpg: Monety / Polska / Grosz"}));
        QVERIFY(frmBrakujace_zdjecia->btnWskaz->isEnabled()); // the first folder is chosen
        m_dialogs.folderNameNext(m_new);
        QTest::mouseClick(frmBrakujace_zdjecia->btnWskaz, Qt::LeftButton);
        // The old folder is gone: the dialog starts in the nearest folder above it that is still there.
        QCOMPARE(m_dialogs.folderRequests.last().proposed, m_pictures.path().chopped(1));
        QCOMPARE(m_dialogs.shown.last().text,
                 QStringLiteral("Przypisano ponownie 2 zdjęcia.\nPozostało brakujących zdjęć z tego folderu: 1 (nie "
                                "ma ich w nowym folderze)."));
        QTRY_VERIFY(!frmBrakujace_zdjecia->isScanning());
        QCOMPARE(rows(frmBrakujace_zdjecia->model()),
                 QStringList({m_old + " (1)", "  b.jpg: Monety / Polska / Złotówka"}));
    });
    // What the viewer reads, through the store's copies of the files.
    const ItemStore::Place coins{m_dir.path(), "Monety", "Polska"};
    QCOMPARE(ItemStore::photos(coins, 0), QStringList({m_new + "/a.jpg", m_old + "/b.jpg"}));
    QCOMPARE(ItemStore::photos(coins, 1), QStringList({m_new + "/c.jpg"}));
}

void TestBrakujaceZdjecia::nothingMissingSaysSo()
{
    touch(m_old + "/b.jpg");
    openWindow([] {
        QCOMPARE(frmBrakujace_zdjecia->model().rowCount(), 0);
        QCOMPARE(frmBrakujace_zdjecia->lblStan->text(), QStringLiteral("Wszystkie zdjęcia są na swoim miejscu."));
        QVERIFY(!frmBrakujace_zdjecia->btnWskaz->isEnabled());
    });
}

QTEST_MAIN(TestBrakujaceZdjecia)
#include "tst_brakujace_zdjecia.moc"
