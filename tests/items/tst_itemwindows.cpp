#include "app/Glowny.h"
#include "app/Pozycje.h"
#include "items/ItemStore.h"
#include "items/Pozycje_dodaj.h"
#include "items/Pozycje_edytuj.h"
#include "store/ProfileFile.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"
#include "support/TestPictures.h"
#include "support/WindowDriver.h"
#include "viewer/Dodaj_zdjecie.h"
#include "viewer/Image.h"
#include "viewer/PictureArea.h"
#include "viewer/Pokaz.h"
#include "viewer/Usun_zdjecie.h"
#include "viewer/ZoomArea.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {

QAction *action(const char *name)
{
    return frmGlowny->findChild<QAction *>(QLatin1String(name));
}

// "Powieksz", "Poprzednie", "Nastepne": 1 enabled, 0 disabled; then the index and whether a picture shows.
QString photoButtons()
{
    return QStringLiteral("%1%2%3 %4 %5")
        .arg(int(frmPokaz->btnPowieksz->isEnabled()))
        .arg(int(frmPokaz->btnPoprzednie->isEnabled()))
        .arg(int(frmPokaz->btnNastepne->isEnabled()))
        .arg(frmPokaz->photoIndex())
        .arg(frmPokaz->Image1->isHidden() ? QStringLiteral("hidden") : QStringLiteral("shown"));
}

} // namespace

class TestItemWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void addsItemsAndTheirPhotos();
    void editsAnItemAndItsPhotos();
    void viewerStepsThroughPhotos();
    void viewerStepsPastAFailedPhoto_data();
    void viewerStepsPastAFailedPhoto();
    void viewerShowsItsItemWholeWhenTheCatalogueIsReadOnly_data();
    void viewerShowsItsItemWholeWhenTheCatalogueIsReadOnly();
    void enlargedPhotoFitsTheScreen();
    void enlargedWindowShowsTheViewersPicture_data();
    void enlargedWindowShowsTheViewersPicture();
    void enlargedWindowStepsTheViewer_data();
    void enlargedWindowStepsTheViewer();
    void enlargedWindowLeavesFullScreen();
    void enterPressesTheFocusedButton_data();
    void enterPressesTheFocusedButton();
    void editWindowFromTheViewerKeepsItsItem();
    void editWindowBesideTheMainWindowNeverWritesAnotherItem_data();
    void editWindowBesideTheMainWindowNeverWritesAnotherItem();
    void deletesTheSelectedItem();
    void tooLongFieldIsRefusedByItsName_data();
    void tooLongFieldIsRefusedByItsName();

private:
    void selectRow(int row);
    void openViewer(int row);

    ScriptedDialogs m_dialogs;
    TestDir m_dir;
    TestDir m_pictures;
    ItemStore::Place m_place;
};

void TestItemWindows::initTestCase()
{
    makeWindows(m_dir.path());
    m_place = {m_dir.path(), QStringLiteral("Monety"), QStringLiteral("Polska")};
    writeJpeg(m_pictures.file("awers.jpg"), quarters(400, 300));
    QVERIFY(quarters(60, 40).save(m_pictures.file("rewers.BMP"), "BMP"));
    m_pictures.write("medal.WMF", wmfBytes(200, 100, Qt::blue));
    m_pictures.write("order.emf", emfBytes(120, 160, Qt::red));
    QVERIFY(quarters(32, 32).save(m_pictures.file("ikona.ico"), "ICO"));
    m_pictures.write("zepsute.jpg", QByteArray("\xFF\xD8\xFF\xE0 to nie jest zdjecie", 24));
}

void TestItemWindows::init()
{
    for (QWidget *window :
         std::initializer_list<QWidget *>{frmPokaz, frmEdytuj_pozycje, frmImage, frmDodaj_pozycje, frmPozycje})
        window->hide(); // left open by a test that failed
    m_dialogs.shown.clear();
    for (const QString &name : QDir(m_dir.path()).entryList(QDir::Files))
        QFile::remove(m_dir.file(name));
    m_dir.write("Monety_Polska_dane.gmd", crlfCp1250({"[pozycje]", "1=Nominał", "2=Rok", "3=", "4=Stan"}));
    frmGlowny->setPanelText(0, "Monety");
    frmGlowny->setPanelText(1, "Polska");
}

void TestItemWindows::selectRow(int row)
{
    frmGlowny->refreshAfterItemCommand();
    QTreeView *list = frmGlowny->ListPrzedmioty;
    list->setCurrentIndex(list->model()->index(row, 0));
}

void TestItemWindows::addsItemsAndTheirPhotos()
{
    whenShown(frmDodaj_pozycje, [this] {
        QVERIFY(frmDodaj_pozycje->Edits[0]->isVisibleTo(frmDodaj_pozycje));
        QVERIFY(!frmDodaj_pozycje->Edits[2]->isVisibleTo(frmDodaj_pozycje));
        QCOMPARE(frmDodaj_pozycje->Labels[3]->text(), QStringLiteral("Stan"));
        QCOMPARE(frmDodaj_pozycje->Memo1->toPlainText(), QStringLiteral("Opis..."));
        frmDodaj_pozycje->Edits[0]->setText("5 złotych");
        frmDodaj_pozycje->Edits[3]->setText("dobry");
        frmDodaj_pozycje->Memo1->setPlainText("Moneta srebrna\nz 1934 roku");
        // Yes: the photo window opens over the add window, for the item just saved.
        m_dialogs.answerNext(QMessageBox::Yes);
        whenShown(frmDodaj_zdjecie, [this] {
            for (const char *name : {"awers.jpg", "rewers.BMP"}) {
                m_dialogs.fileNameNext(m_pictures.file(QString::fromLatin1(name)));
                frmDodaj_zdjecie->btnPrzegladaj->click();
                frmDodaj_zdjecie->Button1->click();
                QVERIFY(frmDodaj_zdjecie->txtImage->text().isEmpty());
            }
            frmDodaj_zdjecie->Button1->click(); // nothing chosen: nothing happens
            frmDodaj_zdjecie->btnZamknij->click();
        });
        frmDodaj_pozycje->btnZapisz->click();
        QCOMPARE(frmDodaj_pozycje->Edits[0]->text(), QString());
        // No: a second item without photos.
        m_dialogs.answerNext(QMessageBox::No);
        frmDodaj_pozycje->btnZapisz->click();
        frmDodaj_pozycje->btnZamknij->click();
    });
    action("Dodajnowpozycje1")->trigger();

    QCOMPARE(m_dialogs.shown.size(), 4);
    QCOMPARE(m_dialogs.shown[0].caption, QStringLiteral("Pytanie"));
    QCOMPARE(m_dialogs.shown[0].text,
             QStringLiteral("Wprowadzone dane zostały zapisane pomyślnie.\nCzy chcesz dodać teraz zdjęcia ?"));
    QCOMPARE(m_dialogs.shown[0].buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(m_dialogs.shown[1].text, QStringLiteral("Zdjęcie zostało dodane"));
    QCOMPARE(m_dialogs.fileRequests.size(), 2);
    for (const Dialogs::FileRequest &request : m_dialogs.fileRequests)
        QVERIFY2(request.preview, "a picture is chosen without its preview");

    const ItemValues first = ItemStore::read(m_place, 0);
    QCOMPARE(first.fields[0], QStringLiteral("5 złotych"));
    QCOMPARE(first.fields[3], QStringLiteral("dobry"));
    QCOMPARE(first.description, QStringLiteral("Moneta srebrna\nz 1934 roku"));
    QCOMPARE(ItemStore::photos(m_place, 0), QStringList({m_pictures.file("awers.jpg"), m_pictures.file("rewers.BMP")}));
    const ItemValues second = ItemStore::read(m_place, 1);
    QCOMPARE(second.description, QStringLiteral("Opis..."));
    QCOMPARE(second.comment, QStringLiteral("Komentarz..."));
    QVERIFY(!QFile::exists(m_place.photoList(1)));
    QCOMPARE(frmGlowny->ListPrzedmioty->model()->rowCount(), 2);
    QVERIFY(!frmGlowny->ListPrzedmioty->selectionModel()->hasSelection());
}

void TestItemWindows::editsAnItemAndItsPhotos()
{
    for (const char *name : {"a", "b", "c"}) {
        ItemValues values;
        values.fields[0] = QString::fromLatin1(name);
        values.fields[2] = QStringLiteral("ukryte ") + QString::fromLatin1(name);
        ItemStore::add(m_place, values);
    }
    for (const char *name : {"awers.jpg", "rewers.BMP", "medal.WMF"})
        ItemStore::addPhoto(m_place, 1, m_pictures.file(QString::fromLatin1(name)));
    selectRow(1);
    whenShown(frmEdytuj_pozycje, [this] {
        QCOMPARE(frmEdytuj_pozycje->Edits[0]->text(), QStringLiteral("b"));
        QVERIFY(!frmEdytuj_pozycje->Edits[2]->isVisibleTo(frmEdytuj_pozycje));
        frmEdytuj_pozycje->Edits[0]->setText("B");
        frmEdytuj_pozycje->Memo2->setPlainText("Uwaga:\r\n  rysa na rewersie");
        frmEdytuj_pozycje->btnZapisz->click();
        frmEdytuj_pozycje->btnDodaj->click(); // no path yet: nothing
        m_dialogs.fileNameNext(m_pictures.file("order.emf"));
        frmEdytuj_pozycje->btnPrzegladaj->click();
        frmEdytuj_pozycje->btnDodaj->click();
        whenShown(frmLista_zdjec, [this] {
            QCOMPARE(frmLista_zdjec->listZdjecia->count(), 4);
            frmLista_zdjec->listZdjecia->setCurrentRow(1);
            m_dialogs.answerNext(QMessageBox::Cancel);
            frmLista_zdjec->btnUsun->click();
            QCOMPARE(frmLista_zdjec->listZdjecia->count(), 4);
            m_dialogs.answerNext(QMessageBox::Ok);
            frmLista_zdjec->btnUsun->click();
            QCOMPARE(frmLista_zdjec->listZdjecia->count(), 3);
            frmLista_zdjec->btnZamknij->click();
        });
        frmEdytuj_pozycje->btnUsun->click();
        frmEdytuj_pozycje->btnZamknij->click();
    });
    action("Edytujpozycje1")->trigger();

    const ItemValues edited = ItemStore::read(m_place, 1);
    QCOMPARE(edited.fields[0], QStringLiteral("B"));
    QCOMPARE(edited.fields[2], QStringLiteral("ukryte b")); // the hidden field survives the save
    QCOMPARE(edited.comment, QStringLiteral("Uwaga:\n  rysa na rewersie"));
    QCOMPARE(ItemStore::photos(m_place, 1),
             QStringList({m_pictures.file("awers.jpg"), m_pictures.file("medal.WMF"), m_pictures.file("order.emf")}));
    QCOMPARE(m_dialogs.shown[0].text, QStringLiteral("Dane zostały pomyślnie zmienione."));
    QVERIFY(!m_dialogs.fileRequests.isEmpty());
    QVERIFY2(m_dialogs.fileRequests.back().preview, "a picture is chosen without its preview");
    QCOMPARE(frmGlowny->ListPrzedmioty->model()->index(1, 0).data().toString(), QStringLiteral("B"));
    QCOMPARE(ItemStore::read(m_place, 0).fields[0], QStringLiteral("a"));
}

void TestItemWindows::openViewer(int row)
{
    selectRow(row);
    frmGlowny->lblpozycja->setText(QString::number(row));
    frmPokaz->show();
    QCoreApplication::processEvents();
}

void TestItemWindows::viewerStepsThroughPhotos()
{
    ItemValues values;
    values.fields = QStringList{"5 zł", "1934", "ukryte", "dobry", "", "", "", "", "", ""};
    values.description = QStringLiteral("linia 1\nlinia 2");
    ItemStore::add(m_place, values);
    ItemStore::add(m_place, values);
    ItemStore::add(m_place, values);
    for (const char *name : {"awers.jpg", "rewers.BMP", "ikona.ico"})
        ItemStore::addPhoto(m_place, 0, m_pictures.file(QString::fromLatin1(name)));
    ItemStore::addPhoto(m_place, 1, m_pictures.file("order.emf"));

    openViewer(0);
    QCOMPARE(frmPokaz->windowTitle(), QStringLiteral("Gromadnik - Pokaż pozycje"));
    QCOMPARE(frmPokaz->Edits[0]->text(), QStringLiteral("5 zł"));
    QVERIFY(!frmPokaz->Edits[2]->isVisibleTo(frmPokaz));
    QCOMPARE(frmPokaz->Memo1->toPlainText(), QStringLiteral("linia 1\nlinia 2"));
    QCOMPARE(ProfileFile(m_place.itemFile()).ReadText("config", "aktualne_zdjecie", ""), QStringLiteral("0"));
    QCOMPARE(photoButtons(), QStringLiteral("101 0 shown"));
    QCOMPARE(frmPokaz->Image1->picture().size(), QSize(400, 300)); // decoded for the enlarged window too
    frmPokaz->btnNastepne->click();
    QCOMPARE(photoButtons(), QStringLiteral("111 1 shown"));
    QCOMPARE(frmPokaz->Image1->picture().size(), QSize(60, 40));
    frmPokaz->btnNastepne->click();
    QCOMPARE(photoButtons(), QStringLiteral("110 2 shown"));
    frmPokaz->btnPoprzednie->click();
    QCOMPARE(photoButtons(), QStringLiteral("111 1 shown"));
    frmPokaz->close();

    openViewer(1);
    QCOMPARE(photoButtons(), QStringLiteral("100 0 shown"));
    frmPokaz->close();
    openViewer(2);
    QCOMPARE(photoButtons(), QStringLiteral("000 0 hidden"));
    frmPokaz->close();
    QVERIFY(m_dialogs.shown.isEmpty());
}

void TestItemWindows::viewerStepsPastAFailedPhoto_data()
{
    QTest::addColumn<QStringList>("photos");
    QTest::addColumn<QString>("steps"); // N: "Nastepne", P: "Poprzednie"
    // After opening and after each step: the buttons and index as photoButtons() gives them, then
    // the start of the error shown, "-" for none.
    QTest::addColumn<QStringList>("states");
    QTest::newRow("damaged first") << QStringList{"zepsute.jpg", "awers.jpg"} << "NP"
                                   << QStringList{"001 0 shown JPEG error #", "110 1 shown -",
                                                  "001 0 shown JPEG error #"};
    QTest::newRow("missing in the middle")
        << QStringList{"awers.jpg", "brak.jpg", "rewers.BMP"} << "NNPP"
        << QStringList{"101 0 shown -", "011 1 shown Cannot open file", "110 2 shown -",
                       "011 1 shown Cannot open file", "101 0 shown -"};
    QTest::newRow("unknown kind last") << QStringList{"awers.jpg", "warstwy.psd"} << "NP"
                                       << QStringList{"101 0 shown -", "010 1 shown Unknown picture file",
                                                      "101 0 shown -"};
    QTest::newRow("two failed in a row")
        << QStringList{"awers.jpg", "brak.jpg", "zepsute.jpg", "ikona.ico"} << "NNN"
        << QStringList{"101 0 shown -", "011 1 shown Cannot open file", "011 2 shown JPEG error #",
                       "110 3 shown -"};
}

// A photo that fails to load is still a step: reported, its place empty, and both ways lead on.
void TestItemWindows::viewerStepsPastAFailedPhoto()
{
    QFETCH(QStringList, photos);
    QFETCH(QString, steps);
    QFETCH(QStringList, states);
    ItemStore::add(m_place, ItemValues());
    for (const QString &name : photos)
        ItemStore::addPhoto(m_place, 0, m_pictures.file(name));
    openViewer(0);
    for (int k = 0; k < states.size(); ++k) {
        if (k > 0) {
            m_dialogs.shown.clear();
            (steps[k - 1] == QLatin1Char('N') ? frmPokaz->btnNastepne : frmPokaz->btnPoprzednie)->click();
        }
        const QString error = states[k].section(QLatin1Char(' '), 3);
        QCOMPARE(photoButtons(), states[k].section(QLatin1Char(' '), 0, 2));
        if (error == QLatin1String("-")) {
            QVERIFY(m_dialogs.shown.isEmpty());
            QVERIFY(!frmPokaz->Image1->picture().isNull());
        } else {
            QCOMPARE(m_dialogs.shown.size(), 1);
            QVERIFY2(m_dialogs.shown[0].text.startsWith(error), qPrintable(m_dialogs.shown[0].text));
            QVERIFY(frmPokaz->Image1->picture().isNull());
        }
    }
    frmPokaz->close();
}

void TestItemWindows::viewerShowsItsItemWholeWhenTheCatalogueIsReadOnly_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("buttons");
    QTest::newRow("item with photos") << 1 << "101 0 shown";
    QTest::newRow("item without photos") << 2 << "000 0 hidden";
}

// The viewer shows its item whole, then reports that the catalogue could not be written.
void TestItemWindows::viewerShowsItsItemWholeWhenTheCatalogueIsReadOnly()
{
    QFETCH(int, item);
    QFETCH(QString, buttons);
    for (const char *name : {"a", "b", "c"}) {
        ItemValues values;
        values.fields[0] = QString::fromLatin1(name);
        values.description = QStringLiteral("opis ") + QString::fromLatin1(name);
        ItemStore::add(m_place, values);
    }
    for (const char *name : {"awers.jpg", "rewers.BMP", "ikona.ico"})
        ItemStore::addPhoto(m_place, 0, m_pictures.file(QString::fromLatin1(name)));
    for (const char *name : {"rewers.BMP", "awers.jpg"})
        ItemStore::addPhoto(m_place, 1, m_pictures.file(QString::fromLatin1(name)));
    openViewer(0);
    frmPokaz->btnNastepne->click();
    frmPokaz->btnNastepne->click();
    frmPokaz->close();

    ProfileFile(m_place.itemFile()).WriteNumber("config", "aktualne_zdjecie", 2); // as another program left it
    const QByteArray before = m_dir.read("Monety_Polska_dane.gmd");
    QFile::setPermissions(m_place.itemFile(), QFileDevice::ReadOwner);
    openViewer(item);
    QFile::setPermissions(m_place.itemFile(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(m_dialogs.shown.size(), 1);
    QVERIFY(m_dialogs.shown[0].text.startsWith("Unable to write to " + m_place.itemFile()));
    QCOMPARE(frmPokaz->Edits[0]->text(), QString::fromLatin1("abc").mid(item, 1));
    QCOMPARE(frmPokaz->Memo1->toPlainText(), "opis " + QString::fromLatin1("abc").mid(item, 1));
    QCOMPARE(photoButtons(), buttons);
    if (item == 1)
        QCOMPARE(frmPokaz->Image1->picture().size(), QSize(60, 40)); // rewers.BMP, not item 0's photo
    else
        QVERIFY(frmPokaz->Image1->picture().isNull());
    QCOMPARE(m_dir.read("Monety_Polska_dane.gmd"), before);
    frmPokaz->close();
}

void TestItemWindows::enlargedPhotoFitsTheScreen()
{
    QCOMPARE(TfrmImage::windowSizeFor(QSize(400, 300), QSize(1024, 768)), QSize(400, 300));
    QCOMPARE(TfrmImage::windowSizeFor(QSize(6000, 4000), QSize(1024, 740)), QSize(1024, 682));
    QCOMPARE(TfrmImage::windowSizeFor(QSize(1000, 3000), QSize(1024, 740)), QSize(246, 740));

    ItemStore::add(m_place, ItemValues());
    ItemStore::addPhoto(m_place, 0, m_pictures.file("awers.jpg"));
    openViewer(0);
    QSize shown;
    whenShown(frmImage, [&] {
        shown = frmImage->frameGeometry().size();
        QCOMPARE(frmImage->Image1->picture().size(), QSize(400, 300));
        frmImage->close();
    });
    frmPokaz->btnPowieksz->click();
    QCOMPARE(shown, QSize(400, 300));
    frmPokaz->close();
}

void TestItemWindows::enlargedWindowShowsTheViewersPicture_data()
{
    QTest::addColumn<QString>("photo");
    QTest::addColumn<QString>("since"); // what happens to the file between showing and enlarging
    QTest::addColumn<QSize>("window");  // invalid: the window does not open
    QTest::newRow("jpeg") << "awers.jpg" << "" << QSize(400, 300);
    QTest::newRow("wmf at its frame") << "ramka.wmf" << "" << QSize(500, 250);
    QTest::newRow("emf at its frame") << "ramka.emf" << "" << QSize(500, 250);
    QTest::newRow("file gone") << "awers.jpg" << "gone" << QSize(400, 300);
    QTest::newRow("file replaced") << "awers.jpg" << "replaced" << QSize(400, 300);
    QTest::newRow("nothing shown") << "zepsute.jpg" << "" << QSize();
}

void TestItemWindows::enlargedWindowShowsTheViewersPicture()
{
    QFETCH(QString, photo);
    QFETCH(QString, since);
    QFETCH(QSize, window);
    TestDir pictures;
    QFile::copy(m_pictures.file(photo), pictures.file(photo));
    pictures.write("ramka.wmf", wmfBytes(500, 250, Qt::blue));
    pictures.write("ramka.emf", emfBytes(500, 250, Qt::blue));
    ItemStore::add(m_place, ItemValues());
    ItemStore::add(m_place, ItemValues());
    ItemStore::addPhoto(m_place, 0, m_pictures.file("rewers.BMP"));
    ItemStore::addPhoto(m_place, 1, pictures.file(photo));

    // Another item's photo enlarged first, so that a window left over from it would show.
    openViewer(0);
    whenShown(frmImage, [] { frmImage->close(); });
    frmPokaz->btnPowieksz->click();
    frmPokaz->close();

    openViewer(1);
    m_dialogs.shown.clear();
    const QImage held = frmPokaz->Image1->picture();
    if (since == "gone")
        QFile::remove(pictures.file(photo));
    else if (since == "replaced")
        writeJpeg(pictures.file(photo), quarters(40, 30));
    // Queued before the modal window would open; run at once when it does not.
    auto shown = std::make_shared<std::pair<QSize, QImage>>();
    QTimer::singleShot(0, frmImage, [shown] {
        if (!frmImage->isVisible())
            return;
        *shown = {frmImage->frameGeometry().size(), frmImage->Image1->picture()};
        frmImage->close();
    });
    frmPokaz->btnPowiekszClick();
    QCoreApplication::processEvents();
    frmPokaz->close();
    if (!window.isValid()) {
        QVERIFY(!shown->first.isValid());
        QCOMPARE(m_dialogs.shown.size(), 1);
        QVERIFY(m_dialogs.shown[0].text.startsWith("Nie ma zdjęcia do powiększenia"));
        return;
    }
    QVERIFY(m_dialogs.shown.isEmpty());
    QCOMPARE(shown->first, window);
    QCOMPARE(shown->second, held);
}

void TestItemWindows::enlargedWindowStepsTheViewer_data()
{
    QTest::addColumn<QStringList>("photos");
    QTest::addColumn<QList<int>>("keys");
    // On opening and after each key: the viewer's index, whether "Poprzednie" and "Następne" can be
    // chosen, then the picture area's description: its zoom, or the note of a photo not loaded.
    QTest::addColumn<QStringList>("states");
    const QString failed = QStringLiteral("Nie udało się wczytać tego zdjęcia.");
    // The window is the first photo's size less its frame: 400x300 fitted at 99 %, 60x40 at 660 %.
    QTest::newRow("arrows, off at both ends")
        << QStringList{"awers.jpg", "rewers.BMP"}
        << QList<int>{Qt::Key_Right, Qt::Key_1, Qt::Key_0, Qt::Key_Right, Qt::Key_Left, Qt::Key_Left}
        << QStringList{"0 01 99 %", "1 10 660 %", "1 10 100 %", "1 10 660 %", "1 10 660 %", "0 01 99 %", "0 01 99 %"};
    QTest::newRow("pages past a missing photo")
        << QStringList{"awers.jpg", "brak.jpg", "rewers.BMP"}
        << QList<int>{Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_PageUp}
        << QStringList{"0 01 99 %", "1 11 " + failed, "2 10 660 %", "1 11 " + failed, "0 01 99 %"};
    QTest::newRow("zoom keys, then a step fits the next photo")
        << QStringList{"awers.jpg", "zepsute.jpg", "awers.jpg"}
        << QList<int>{Qt::Key_Plus, Qt::Key_Plus, Qt::Key_Minus, Qt::Key_Right, Qt::Key_Right, Qt::Key_Plus, Qt::Key_F}
        << QStringList{"0 01 99 %",      "0 01 100 %", "0 01 125 %", "0 01 100 %",
                       "1 11 " + failed, "2 10 99 %",  "2 10 100 %", "2 10 99 %"};
}

// The enlarged window steps the viewer itself: the viewer's index, ends and failed photos are its.
void TestItemWindows::enlargedWindowStepsTheViewer()
{
    QFETCH(QStringList, photos);
    QFETCH(QList<int>, keys);
    QFETCH(QStringList, states);
    ItemStore::add(m_place, ItemValues());
    for (const QString &name : photos)
        ItemStore::addPhoto(m_place, 0, m_pictures.file(name));
    openViewer(0);
    QStringList seen;
    const auto state = [&] {
        if (frmImage->Image1->picture() != frmPokaz->picture())
            seen << QStringLiteral("not the viewer's picture");
        seen << QStringLiteral("%1 %2%3 %4")
                    .arg(frmPokaz->photoIndex())
                    .arg(int(frmImage->actPoprzednie->isEnabled()))
                    .arg(int(frmImage->actNastepne->isEnabled()))
                    .arg(frmImage->Image1->accessibleDescription());
    };
    whenShown(frmImage, [&] {
        frmImage->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frmImage));
        state();
        for (int key : keys) {
            QTest::keyClick(frmImage, Qt::Key(key));
            state();
        }
        frmImage->close();
    });
    frmPokaz->btnPowieksz->click();
    frmPokaz->close();
    QCOMPARE(seen, states);
    // Each failed step reported once, by the viewer.
    QCOMPARE(m_dialogs.shown.size(), states.filter(QStringLiteral("wczytać")).size());
}

// Esc leaves full screen before it closes; a window closed at full screen opens again at the photo's size.
void TestItemWindows::enlargedWindowLeavesFullScreen()
{
    ItemStore::add(m_place, ItemValues());
    ItemStore::addPhoto(m_place, 0, m_pictures.file("awers.jpg"));
    openViewer(0);
    QStringList seen;
    const auto press = [&](Qt::Key key) {
        QTest::keyClick(frmImage, key);
        seen << QStringLiteral("%1 %2").arg(frmImage->isVisible()).arg(frmImage->isFullScreen());
    };
    whenShown(frmImage, [&] {
        QVERIFY(QTest::qWaitForWindowActive(frmImage));
        for (Qt::Key key : {Qt::Key_F11, Qt::Key_Escape, Qt::Key_F11})
            press(key);
        frmImage->close();
    });
    frmPokaz->btnPowieksz->click();
    QSize reopened;
    whenShown(frmImage, [&] {
        reopened = frmImage->isFullScreen() ? QSize() : frmImage->frameGeometry().size();
        press(Qt::Key_Escape);
        frmImage->close(); // when Esc did not
    });
    frmPokaz->btnPowieksz->click();
    frmPokaz->close();
    QCOMPARE(seen, QStringList({"1 1", "1 0", "1 1", "0 0"}));
    QCOMPARE(reopened, QSize(400, 300));
}

void TestItemWindows::enterPressesTheFocusedButton_data()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("field names") << "frmPozycje";
    QTest::newRow("add window") << "frmDodaj_pozycje";
    QTest::newRow("edit window") << "frmEdytuj_pozycje";
}

// Enter walks the one-line boxes without typing, starts a new line in a memo, and presses the
// focused button; the keys go where a user's keys go, to the widget with the focus.
void TestItemWindows::enterPressesTheFocusedButton()
{
    QFETCH(QString, window);
    ItemStore::add(m_place, ItemValues());
    frmGlowny->lblpozycja->setText("0");
    auto *form = frmGlowny->findChild<QDialog *>(window);
    QVERIFY(form);
    form->show();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    const auto press = [form](int key) { QTest::keyClick(form->focusWidget(), Qt::Key(key)); };
    auto *first = form->findChild<QLineEdit *>("Edit1");
    first->setFocus();
    first->selectAll();
    QTest::keyClicks(first, "Nowe");
    for (int k = 0; k < 12 && qobject_cast<QLineEdit *>(form->focusWidget()); ++k) {
        press(k % 2 ? Qt::Key_Enter : Qt::Key_Return);
    }
    QCOMPARE(first->text(), QStringLiteral("Nowe"));
    if (auto *memo = form->findChild<QPlainTextEdit *>("Memo1")) {
        QCOMPARE(form->focusWidget(), memo);
        memo->setPlainText("opis");
        memo->moveCursor(QTextCursor::End);
        press(Qt::Key_Return);
        QTest::keyClicks(memo, "dalej");
        QCOMPARE(memo->toPlainText(), QStringLiteral("opis\ndalej"));
        for (int k = 0; k < 6 && form->focusWidget() != form->findChild<QPushButton *>("btnZapisz"); ++k)
            press(Qt::Key_Tab);
    }
    QCOMPARE(form->focusWidget(), form->findChild<QPushButton *>("btnZapisz"));
    m_dialogs.answerNext(QMessageBox::No); // the add window asks about photos
    press(Qt::Key_Return);
    form->hide();

    QCOMPARE(m_dialogs.shown.size(), 1);
    if (window == "frmPozycje") {
        QCOMPARE(ProfileFile(m_place.itemFile()).ReadText("pozycje", "1", ""), QStringLiteral("Nowe"));
        return;
    }
    const ItemValues saved = ItemStore::read(m_place, window == "frmDodaj_pozycje" ? 1 : 0);
    QCOMPARE(saved.fields[0], QStringLiteral("Nowe"));
    QCOMPARE(saved.description, QStringLiteral("opis\ndalej"));
}

// The edit window opened from the viewer stays beside the main window and keeps its item.
void TestItemWindows::editWindowFromTheViewerKeepsItsItem()
{
    for (const char *name : {"a", "b", "c"}) {
        ItemValues values;
        values.fields[0] = QString::fromLatin1(name);
        ItemStore::add(m_place, values);
    }
    openViewer(2);
    frmPokaz->btnEdytuj->click();
    QVERIFY(!frmPokaz->isVisible());
    QVERIFY(frmEdytuj_pozycje->isVisible());
    QCOMPARE(frmEdytuj_pozycje->Edits[0]->text(), QStringLiteral("c"));

    // The user chooses another row and asks to edit it: the open window only comes forward.
    selectRow(0);
    frmGlowny->lblpozycja->setText("0");
    action("Edytujpozycje1")->trigger();
    QCOMPARE(frmEdytuj_pozycje->Edits[0]->text(), QStringLiteral("c"));
    frmEdytuj_pozycje->Edits[0]->setText("C");
    frmEdytuj_pozycje->btnZapisz->click();

    // The viewer of another item does not hand the user the window of item 2 as if it were its own.
    openViewer(0);
    m_dialogs.shown.clear();
    frmPokaz->btnEdytuj->click();
    QCOMPARE(m_dialogs.shown.size(), 1);
    QVERIFY(m_dialogs.shown[0].text.contains("już otwarte dla innej pozycji"));
    QVERIFY(frmPokaz->isVisible());
    QCOMPARE(frmEdytuj_pozycje->Edits[0]->text(), QStringLiteral("C"));
    frmPokaz->close();
    frmEdytuj_pozycje->close();
    QCOMPARE(ItemStore::read(m_place, 2).fields[0], QStringLiteral("C"));
    QCOMPARE(ItemStore::read(m_place, 0).fields[0], QStringLiteral("a"));
}

void TestItemWindows::editWindowBesideTheMainWindowNeverWritesAnotherItem_data()
{
    QTest::addColumn<int>("edited");
    QTest::addColumn<int>("deleted"); // in the main window while the edit window is open
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("refusal"); // empty: the command goes ahead
    QTest::newRow("save, the last item moved into its number") << 0 << 0 << "save"
                                                               << "Dane nie zostały zapisane";
    QTest::newRow("save, the last item deleted") << 2 << 2 << "save"
                                                 << "Dane nie zostały zapisane";
    QTest::newRow("save, it moved to another number") << 2 << 0 << "save"
                                                      << "Dane nie zostały zapisane";
    QTest::newRow("save, another item deleted") << 0 << 1 << "save"
                                                << "";
    QTest::newRow("add photo, the last item moved in") << 0 << 0 << "photo"
                                                       << "Zdjęcie nie zostało dodane";
    QTest::newRow("add photo, the last item deleted") << 2 << 2 << "photo"
                                                      << "Zdjęcie nie zostało dodane";
    QTest::newRow("photo list, the last item moved in") << 0 << 0 << "list"
                                                        << "nie została otwarta";
    QTest::newRow("photo list, another item deleted") << 0 << 1 << "list"
                                                      << "";
}

// Opened from the viewer, the edit window stays beside a usable main window; whatever is deleted
// there meanwhile, its commands write into the item it was filled from or into nothing.
void TestItemWindows::editWindowBesideTheMainWindowNeverWritesAnotherItem()
{
    QFETCH(int, edited);
    QFETCH(int, deleted);
    QFETCH(QString, command);
    QFETCH(QString, refusal);
    for (const char *name : {"a", "b", "c"}) {
        ItemValues values;
        values.fields[0] = QString::fromLatin1(name);
        values.comment = QStringLiteral("komentarz ") + QString::fromLatin1(name);
        ItemStore::add(m_place, values);
    }
    ItemStore::addPhoto(m_place, 0, m_pictures.file("awers.jpg"));
    ItemStore::addPhoto(m_place, 2, m_pictures.file("rewers.BMP"));
    openViewer(edited);
    frmPokaz->btnEdytuj->click();
    QVERIFY(frmEdytuj_pozycje->isVisible());
    frmEdytuj_pozycje->Edits[0]->setText("zmienione");
    frmEdytuj_pozycje->Memo2->setPlainText("nowy komentarz");

    selectRow(deleted);
    m_dialogs.answerNext(QMessageBox::Ok);
    action("Usuzaznaczonpozycje1")->trigger();
    m_dialogs.shown.clear();
    const ItemValues kept = ItemStore::read(m_place, edited);
    QMap<QString, QByteArray> before;
    for (const QString &name : QDir(m_dir.path()).entryList(QDir::Files))
        before.insert(name, m_dir.read(name));

    bool listShown = false;
    whenShown(frmLista_zdjec, [&] {
        listShown = true;
        frmLista_zdjec->close();
    });
    if (command == "save") {
        frmEdytuj_pozycje->btnZapisz->click();
    } else if (command == "photo") {
        m_dialogs.fileNameNext(m_pictures.file("order.emf"));
        frmEdytuj_pozycje->btnPrzegladaj->click();
        frmEdytuj_pozycje->btnDodaj->click();
    } else {
        frmEdytuj_pozycje->btnUsun->click();
    }
    frmEdytuj_pozycje->close();

    QMap<QString, QByteArray> after;
    for (const QString &name : QDir(m_dir.path()).entryList(QDir::Files))
        after.insert(name, m_dir.read(name));
    if (refusal.isEmpty()) {
        QVERIFY(m_dialogs.shown.size() <= 1);
        if (command == "save")
            QCOMPARE(ItemStore::read(m_place, edited).fields[0], QStringLiteral("zmienione"));
        QCOMPARE(listShown, command == "list");
        return;
    }
    QCOMPARE(m_dialogs.shown.size(), 1);
    QVERIFY2(m_dialogs.shown[0].text.contains(refusal), qPrintable(m_dialogs.shown[0].text));
    QVERIFY(m_dialogs.shown[0].text.contains("zmieniona lub usunięta"));
    QVERIFY(!listShown);
    QCOMPARE(after, before);
    QCOMPARE(ItemStore::read(m_place, edited).comment, kept.comment);
}

void TestItemWindows::deletesTheSelectedItem()
{
    for (const char *name : {"a", "b", "c"}) {
        ItemValues values;
        values.fields[0] = QString::fromLatin1(name);
        ItemStore::add(m_place, values);
    }
    ItemStore::addPhoto(m_place, 2, m_pictures.file("awers.jpg"));
    frmGlowny->ListPrzedmioty->clearSelection();
    action("Usuzaznaczonpozycje1")->trigger(); // no row: no question
    QVERIFY(m_dialogs.shown.isEmpty());

    selectRow(0);
    m_dialogs.answerNext(QMessageBox::Cancel);
    action("Usuzaznaczonpozycje1")->trigger();
    QCOMPARE(ProfileFile(m_place.itemFile()).ReadNumber("config", "liczba_pozycji", 0), 3);

    selectRow(0);
    m_dialogs.answerNext(QMessageBox::Ok);
    action("Usuzaznaczonpozycje1")->trigger();
    QCOMPARE(m_dialogs.shown.last().text, QStringLiteral("Czy chcesz usunąć wybraną pozycje ?"));
    QCOMPARE(m_dialogs.shown.last().caption, QStringLiteral("Pytanie"));
    QCOMPARE(frmGlowny->ListPrzedmioty->model()->rowCount(), 2);
    QCOMPARE(frmGlowny->ListPrzedmioty->model()->index(0, 0).data().toString(), QStringLiteral("c"));
    QCOMPARE(frmGlowny->ListPrzedmioty->model()->index(1, 0).data().toString(), QStringLiteral("b"));
    QCOMPARE(ItemStore::photos(m_place, 0), QStringList{m_pictures.file("awers.jpg")});
    QVERIFY(QFile::exists(m_pictures.file("awers.jpg")));
}

void TestItemWindows::tooLongFieldIsRefusedByItsName_data()
{
    QTest::addColumn<bool>("editing");
    QTest::newRow("add window") << false;
    QTest::newRow("edit window") << true;
}

void TestItemWindows::tooLongFieldIsRefusedByItsName()
{
    QFETCH(bool, editing);
    ItemStore::add(m_place, ItemValues());
    const QByteArray before = m_dir.read("Monety_Polska_dane.gmd");
    frmGlowny->lblpozycja->setText("0");
    ItemForm *form = editing ? static_cast<ItemForm *>(frmEdytuj_pozycje) : frmDodaj_pozycje;
    if (editing)
        frmEdytuj_pozycje->FormShow();
    else
        frmDodaj_pozycje->FormShow();
    form->Edits[3]->setText(QLatin1Char(' ') + QString(2046, QLatin1Char('x'))); // "Stan"
    form->btnZapisz->click();
    QCOMPARE(m_dialogs.shown.size(), 1);
    QVERIFY2(m_dialogs.shown[0].text.startsWith(QStringLiteral("Pole \"Stan\" jest za długie")),
             qPrintable(m_dialogs.shown[0].text));
    QCOMPARE(m_dir.read("Monety_Polska_dane.gmd"), before);
    form->Edits[3]->clear();
}

QTEST_MAIN(TestItemWindows)
#include "tst_itemwindows.moc"
