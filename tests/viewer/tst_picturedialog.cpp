#include "support/TestFiles.h"
#include "support/TestPictures.h"
#include "viewer/PictureDialog.h"
#include "viewer/PictureLoader.h"

#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QListView>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>

class TestPictureDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void previewOfTheSelection_data();
    void previewOfTheSelection();
    void staleResultIsDropped_data();
    void staleResultIsDropped();
    void remembersTheFolder();

private:
    // Every decode started has ended and its result has been taken or dropped.
    static void settle();
    static bool paneEmpty(const PictureDialog &dialog);

    TestDir m_dir;
};

void TestPictureDialog::initTestCase()
{
    writeJpeg(m_dir.file("duze.jpg"), quarters(1600, 1200));
    QVERIFY(quarters(1200, 600).save(m_dir.file("szerokie.png"), "PNG"));
    QVERIFY(quarters(80, 60).save(m_dir.file("male.bmp"), "BMP"));
    QByteArray damaged = m_dir.read("duze.jpg").left(200);
    damaged[2] = 0; // no marker where the header goes on
    m_dir.write("zepsute.jpg", damaged);
    QVERIFY(QDir(m_dir.path()).mkdir("folder.jpg"));
}

void TestPictureDialog::settle()
{
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

bool TestPictureDialog::paneEmpty(const PictureDialog &dialog)
{
    return dialog.imgPodglad->pixmap().isNull() && dialog.imgPodglad->text().isEmpty() &&
           dialog.lblRozmiar->text().isEmpty();
}

void TestPictureDialog::previewOfTheSelection_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("own"); // invalid: the file cannot be shown
    QTest::newRow("large jpeg, scaled down") << "duze.jpg" << QSize(1600, 1200);
    QTest::newRow("png, scaled down") << "szerokie.png" << QSize(1200, 600);
    QTest::newRow("small bitmap, not enlarged") << "male.bmp" << QSize(80, 60);
    QTest::newRow("damaged jpeg") << "zepsute.jpg" << QSize();
}

void TestPictureDialog::previewOfTheSelection()
{
    QFETCH(QString, name);
    QFETCH(QSize, own);
    if (name.endsWith(".png") && !PictureLoader::dialogFilter().contains("*.png"))
        QSKIP("PNG pictures are not read yet");
    PictureDialog dialog(nullptr, QStringLiteral("Wybierz zdjęcie"), m_dir.path());
    dialog.show();
    QSignalSpy shown(&dialog, &PictureDialog::previewShown);
    // As a click in the file list does: the list's current file changes.
    auto *model = dialog.findChild<QFileSystemModel *>();
    auto *list = dialog.findChild<QListView *>(QStringLiteral("listView"));
    QVERIFY(model && list);
    QTRY_VERIFY(model->index(m_dir.file(name)).isValid());
    list->setCurrentIndex(model->index(m_dir.file(name)));
    QVERIFY(shown.wait());
    QCOMPARE(shown.takeFirst().value(0).toString(), m_dir.file(name));

    const QPixmap pixmap = dialog.imgPodglad->pixmap();
    if (!own.isValid()) {
        QVERIFY(pixmap.isNull());
        QCOMPARE(dialog.imgPodglad->text(), QStringLiteral("Brak podglądu"));
        QCOMPARE(dialog.lblRozmiar->text(), QString());
        return;
    }
    const QSize pane = dialog.imgPodglad->contentsRect().size();
    const QSize fitted =
        own.width() > pane.width() || own.height() > pane.height() ? own.scaled(pane, Qt::KeepAspectRatio) : own;
    QCOMPARE(pixmap.deviceIndependentSize().toSize(), fitted);
    const QImage image = pixmap.toImage();
    QCOMPARE(QColor(image.pixel(image.width() / 4, image.height() / 4)).red() > 200, true);
    QCOMPARE(QColor(image.pixel(image.width() * 3 / 4, image.height() * 3 / 4)).blue() > 200, true);
    QCOMPARE(dialog.lblRozmiar->text(), QStringLiteral("%1 × %2").arg(own.width()).arg(own.height()));
}

void TestPictureDialog::staleResultIsDropped_data()
{
    QTest::addColumn<QString>("then");
    QTest::addColumn<QString>("shows"); // the pane's size text, or its text for a file without a preview
    QTest::newRow("another picture") << "male.bmp"
                                     << "80 × 60";
    QTest::newRow("a damaged file") << "zepsute.jpg"
                                    << "Brak podglądu";
    QTest::newRow("a folder") << "folder.jpg"
                              << "";
    QTest::newRow("nothing") << ""
                             << "";
}

// The large photo is still being decoded when the selection moves on; its result must not
// replace what the new selection shows, nor linger in the pane.
void TestPictureDialog::staleResultIsDropped()
{
    QFETCH(QString, then);
    QFETCH(QString, shows);
    PictureDialog dialog(nullptr, QStringLiteral("Wybierz zdjęcie"), m_dir.path());
    QSignalSpy shown(&dialog, &PictureDialog::previewShown);
    dialog.showPreview(m_dir.file("duze.jpg"));
    const QString next = then.isEmpty() ? QString() : m_dir.file(then);
    dialog.showPreview(next);
    QVERIFY(paneEmpty(dialog));
    settle();
    if (!shows.isEmpty())
        QTRY_COMPARE(shown.size(), 1);
    settle();
    QCOMPARE(shown.size(), shows.isEmpty() ? 0 : 1);
    if (shows.isEmpty()) {
        QVERIFY(paneEmpty(dialog));
        return;
    }
    QCOMPARE(shown.first().value(0).toString(), next);
    QCOMPARE(dialog.lblRozmiar->text().isEmpty() ? dialog.imgPodglad->text() : dialog.lblRozmiar->text(), shows);
}

void TestPictureDialog::remembersTheFolder()
{
    QTemporaryDir other;
    {
        PictureDialog dialog(nullptr, QStringLiteral("Wybierz zdjęcie"), m_dir.path());
        dialog.setDirectory(other.path());
        dialog.reject();
    }
    PictureDialog next(nullptr, QStringLiteral("Wybierz zdjęcie"));
    QCOMPARE(next.directory().absolutePath(), QDir(other.path()).absolutePath());
}

QTEST_MAIN(TestPictureDialog)
#include "tst_picturedialog.moc"
