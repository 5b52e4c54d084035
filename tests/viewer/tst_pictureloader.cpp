#include "store/Error.h"
#include "support/TestFiles.h"
#include "support/TestPictures.h"
#include "viewer/PictureLoader.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <sys/stat.h>

namespace {

bool near(QColor actual, QColor expected)
{
    return qAbs(actual.red() - expected.red()) < 32 && qAbs(actual.green() - expected.green()) < 32 &&
           qAbs(actual.blue() - expected.blue()) < 32;
}

QString failure(const QString &path)
{
    try {
        PictureLoader::load(path);
    } catch (const AppError &error) {
        return error.message();
    }
    return QStringLiteral("(loaded)");
}

} // namespace

class TestPictureLoader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void loadsEveryKind_data();
    void loadsEveryKind();
    void jpegIsDecodedForTheSizeShown();
    void fewColoursAreScaledInColour_data();
    void fewColoursAreScaledInColour();
    void drawingsAreDrawnAtTheSizeShown_data();
    void drawingsAreDrawnAtTheSizeShown();
    void failures_data();
    void failures();
    void hostileFiles_data();
    void hostileFiles();

private:
    TestDir m_dir;
};

void TestPictureLoader::initTestCase()
{
    writeJpeg(m_dir.file("zdjecie.jpg"), quarters(80, 60));
    writeJpeg(m_dir.file("DUZE.JPEG"), quarters(80, 60));
    QVERIFY(quarters(80, 60).save(m_dir.file("obraz.bmp"), "BMP"));
    QVERIFY(quarters(32, 32).save(m_dir.file("ikona.ICO"), "ICO"));
    QVERIFY(quarters(80, 60).save(m_dir.file("obraz.png"), "PNG"));
    QImage black(80, 60, QImage::Format_RGB32);
    black.fill(Qt::black);
    m_dir.write("ANIMACJA.GIF", gifBytes({quarters(80, 60), black}));
    QVERIFY(quarters(80, 60).save(m_dir.file("zdjecie.webp"), "WEBP", 100));
    QVERIFY(quarters(80, 60).save(m_dir.file("skan.tif"), "TIFF"));
    QVERIFY(quarters(80, 60).save(m_dir.file("skan.Tiff"), "TIFF"));
    m_dir.write("rysunek.wmf", wmfBytes(200, 100, Qt::blue));
    m_dir.write("rysunek.EMF", emfBytes(200, 100, Qt::blue));
}

void TestPictureLoader::loadsEveryKind_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("jpg") << "zdjecie.jpg" << QSize(80, 60) << QPoint(10, 10) << QColor(Qt::red);
    QTest::newRow("JPEG in capitals") << "DUZE.JPEG" << QSize(80, 60) << QPoint(70, 50) << QColor(Qt::white);
    QTest::newRow("bmp") << "obraz.bmp" << QSize(80, 60) << QPoint(70, 10) << QColor(Qt::green);
    QTest::newRow("ico in capitals") << "ikona.ICO" << QSize(32, 32) << QPoint(4, 28) << QColor(Qt::blue);
    QTest::newRow("png") << "obraz.png" << QSize(80, 60) << QPoint(70, 10) << QColor(Qt::green);
    QTest::newRow("gif in capitals") << "ANIMACJA.GIF" << QSize(80, 60) << QPoint(10, 50) << QColor(Qt::blue);
    QTest::newRow("webp") << "zdjecie.webp" << QSize(80, 60) << QPoint(70, 50) << QColor(Qt::white);
    QTest::newRow("tif") << "skan.tif" << QSize(80, 60) << QPoint(10, 10) << QColor(Qt::red);
    QTest::newRow("tiff in mixed case") << "skan.Tiff" << QSize(80, 60) << QPoint(70, 10) << QColor(Qt::green);
    QTest::newRow("wmf") << "rysunek.wmf" << QSize() << QPoint() << QColor(Qt::blue);
    QTest::newRow("emf in capitals") << "rysunek.EMF" << QSize() << QPoint() << QColor(Qt::blue);
}

void TestPictureLoader::loadsEveryKind()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(QPoint, at);
    QFETCH(QColor, colour);
    const QImage image = PictureLoader::load(m_dir.file(name));
    QVERIFY(!image.isNull());
    if (size.isValid()) {
        QCOMPARE(image.size(), size);
        QVERIFY(near(image.pixelColor(at), colour));
    } else {
        // A drawing: the left half carries the rectangle's colour, the right half the white page.
        QVERIFY2(image.width() > 20 && image.height() > 10, qPrintable(QString::number(image.width())));
        QVERIFY(near(image.pixelColor(image.width() / 4, image.height() / 2), colour));
        QVERIFY(near(image.pixelColor(image.width() * 3 / 4, image.height() / 2), Qt::white));
    }
}

void TestPictureLoader::fewColoursAreScaledInColour_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QImage::Format>("stored");
    QTest::newRow("one-bit png") << "jedna.png" << "PNG" << QImage::Format_Mono;
    QTest::newRow("palette png") << "paleta.png" << "PNG" << QImage::Format_Indexed8;
    QTest::newRow("palette tiff") << "paleta.tif" << "TIFF" << QImage::Format_Indexed8;
}

// Made smaller, a picture of one colour stays that colour, not a dithered pattern of its palette.
void TestPictureLoader::fewColoursAreScaledInColour()
{
    QFETCH(QString, name);
    QFETCH(QString, format);
    QFETCH(QImage::Format, stored);
    QImage picture(300, 400, stored);
    picture.setColorTable({qRgb(0, 0, 0), qRgb(0, 255, 0)});
    picture.fill(1);
    QVERIFY(picture.save(m_dir.file(name), qPrintable(format)));
    const QImage image = PictureLoader::load(m_dir.file(name), QSize(128, 128));
    QCOMPARE(image.size(), QSize(96, 128));
    for (const QPoint at : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(48, 64), QPoint(95, 127)})
        QVERIFY2(near(image.pixelColor(at), Qt::green), qPrintable(image.pixelColor(at).name()));
}

void TestPictureLoader::jpegIsDecodedForTheSizeShown()
{
    writeJpeg(m_dir.file("aparat.jpg"), quarters(1600, 1200));
    QCOMPARE(PictureLoader::load(m_dir.file("aparat.jpg")).size(), QSize(1600, 1200));
    // 345 x 249 needs a quarter of the width (400 >= 345, 300 >= 249): libjpeg gives 2/8.
    const QImage small = PictureLoader::load(m_dir.file("aparat.jpg"), QSize(345, 249));
    QCOMPARE(small.size(), QSize(400, 300));
    QVERIFY(near(small.pixelColor(390, 290), Qt::white));
    // Never smaller than the area asks for, never larger than the photo.
    QCOMPARE(PictureLoader::load(m_dir.file("aparat.jpg"), QSize(1500, 1200)).size(), QSize(1600, 1200));
    QCOMPARE(PictureLoader::load(m_dir.file("aparat.jpg"), QSize(10, 10)).size(), QSize(200, 150));
    // Qt's readers decode (WebP) or scale (PNG) to fit the area exactly, and never enlarge.
    for (const char *format : {"png", "webp"}) {
        const QString name = m_dir.file(QStringLiteral("aparat.") + format);
        QVERIFY(quarters(1600, 1200).save(name, format));
        const QImage fitted = PictureLoader::load(name, QSize(345, 249));
        QCOMPARE(fitted.size(), QSize(332, 249));
        QVERIFY(near(fitted.pixelColor(320, 240), Qt::white));
        QCOMPARE(PictureLoader::load(name, QSize(2000, 2000)).size(), QSize(1600, 1200));
    }
}

void TestPictureLoader::drawingsAreDrawnAtTheSizeShown_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QSize>("fitInto");
    QTest::addColumn<QSize>("size");
    const QByteArray wmf = wmfBytes(500, 250, Qt::blue);
    const QByteArray emf = emfBytes(500, 250, Qt::blue);
    // A drawing comes at its own frame, made smaller to fit the area, never larger.
    QTest::newRow("wmf, own size") << wmf << "wmf" << QSize() << QSize(500, 250);
    QTest::newRow("wmf, screen") << wmf << "wmf" << QSize(1280, 1024) << QSize(500, 250);
    QTest::newRow("wmf, small area") << wmf << "wmf" << QSize(100, 100) << QSize(100, 50);
    QTest::newRow("wmf in twips") << wmfBytes(500, 250, Qt::blue, 1440) << "wmf" << QSize(1280, 1024)
                                  << QSize(500, 250);
    QTest::newRow("wmf at 1000 units an inch")
        << wmfBytes(480, 240, Qt::blue, 1000) << "wmf" << QSize() << QSize(480, 240);
    QTest::newRow("emf, own size") << emf << "emf" << QSize() << QSize(500, 250);
    QTest::newRow("emf, screen") << emf << "emf" << QSize(1280, 1024) << QSize(500, 250);
    QTest::newRow("emf, small area") << emf << "emf" << QSize(100, 100) << QSize(100, 50);
    QTest::newRow("emf from a 300 dpi device")
        << emfBytes(480, 240, Qt::blue, 300) << "emf" << QSize() << QSize(480, 240);
    QTest::newRow("emf from a 300 dpi device, screen")
        << emfBytes(480, 240, Qt::blue, 300) << "emf" << QSize(1280, 1024) << QSize(480, 240);
}

void TestPictureLoader::drawingsAreDrawnAtTheSizeShown()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, extension);
    QFETCH(QSize, fitInto);
    QFETCH(QSize, size);
    m_dir.write("rama." + extension, bytes);
    const QImage image = PictureLoader::load(m_dir.file("rama." + extension), fitInto);
    QVERIFY2(qAbs(image.width() - size.width()) <= 1 && qAbs(image.height() - size.height()) <= 1,
             qPrintable(QStringLiteral("%1 x %2").arg(image.width()).arg(image.height())));
    QVERIFY(near(image.pixelColor(image.width() / 4, image.height() / 2), Qt::blue));
    QVERIFY(near(image.pixelColor(image.width() * 3 / 4, image.height() / 2), Qt::white));
}

void TestPictureLoader::failures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("psd") << "warstwy.psd" << QByteArray("8BPS") << "Unknown picture file extension (.psd)";
    QTest::newRow("no extension") << "zdjecie" << QByteArray("x") << "Unknown picture file extension (.)";
    QTest::newRow("dot in a folder name") << "katalog.jpg/plik" << QByteArray() << "Unknown picture file extension (.)";
    QTest::newRow("missing jpg") << "brak.jpg" << QByteArray() << "Cannot open file %1";
    QTest::newRow("missing bmp") << "brak.BMP" << QByteArray() << "Cannot open file %1";
    QTest::newRow("missing wmf") << "brak.wmf" << QByteArray() << "Cannot open file %1";
    QTest::newRow("damaged jpg") << "zepsute.jpg" << QByteArray("\xFF\xD8\xFF\xE0garbage", 11) << "JPEG error #";
    QTest::newRow("text as bmp") << "tekst.bmp" << QByteArray("[config]\r\n") << "Bitmap image is not valid";
    QTest::newRow("text as ico") << "tekst.ico" << QByteArray("[config]\r\n") << "Icon image is not valid";
    QTest::newRow("text as emf") << "tekst.emf" << QByteArray("[config]\r\n") << "Metafile is not valid";
    QTest::newRow("text as wmf") << "tekst.wmf" << QByteArray("[config]\r\n") << "Metafile is not valid";
    const QString damaged = QStringLiteral("Plik %1 jest uszkodzony albo nie jest obrazem ");
    QTest::newRow("text as png") << "tekst.png" << QByteArray("[config]\r\n") << damaged + "PNG.";
    QTest::newRow("cut gif") << "tekst.gif" << QByteArray("GIF89a") << damaged + "GIF.";
    QTest::newRow("text as webp") << "tekst.WEBP" << QByteArray("[config]\r\n") << damaged + "WebP.";
    QTest::newRow("text as tiff") << "tekst.tiff" << QByteArray("[config]\r\n") << damaged + "TIFF.";
    QTest::newRow("missing png") << "brak.png" << QByteArray() << "Cannot open file %1";
    QTest::newRow("empty wmf") << "pusty.wmf" << QByteArray("") << "Metafile is not valid";
}

void TestPictureLoader::failures()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    if (!content.isEmpty() || name.startsWith("pusty"))
        m_dir.write(name, content);
    const QString path = m_dir.file(name);
    const QString expected = message.contains("%1") ? message.arg(path) : message;
    QVERIFY2(failure(path).startsWith(expected), qPrintable(failure(path)));
}

// A photo path may lead anywhere: a pipe would block the open for ever, a device never ends, a
// file of gigabytes would be read whole. Each is refused at once, for every picture kind.
void TestPictureLoader::hostileFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("message");
    const QString notAFile = QStringLiteral("nie jest zwykłym plikiem");
    for (const char *extension : {"jpg", "JPEG", "bmp", "ico", "emf", "wmf", "png", "tiff"}) {
        QTest::addRow("pipe .%s", extension) << "pipe" << extension << notAFile;
        QTest::addRow("/dev/zero .%s", extension) << "zero" << extension << notAFile;
        QTest::addRow("folder .%s", extension) << "folder" << extension << notAFile;
        QTest::addRow("sparse 2 GB .%s", extension)
            << "sparse" << extension << "ma 2048 MB, a zdjęcie może mieć najwyżej 256 MB";
    }
}

void TestPictureLoader::hostileFiles()
{
    QFETCH(QString, kind);
    QFETCH(QString, extension);
    QFETCH(QString, message);
    const QString path = m_dir.file(kind + QLatin1Char('.') + extension);
    QFile::remove(path);
    if (kind == "pipe")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (kind == "zero")
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    else if (kind == "folder")
        QVERIFY(QDir().mkpath(path));
    else
        QVERIFY(QFile(path).open(QIODevice::WriteOnly) && QFile::resize(path, 2048LL * 1024 * 1024));
    QElapsedTimer timer;
    timer.start();
    const QString got = failure(path);
    QVERIFY2(got.contains(path) && got.contains(message), qPrintable(got));
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    if (kind == "folder")
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}

QTEST_GUILESS_MAIN(TestPictureLoader)
#include "tst_pictureloader.moc"
