#include "store/Error.h"
#include "support/TestFiles.h"
#include "support/TestPictures.h"
#include "viewer/JpegImage.h"

#include <QTest>

namespace {

bool near(QColor actual, QColor expected)
{
    return qAbs(actual.red() - expected.red()) < 24 && qAbs(actual.green() - expected.green()) < 24 &&
           qAbs(actual.blue() - expected.blue()) < 24;
}

QString failure(const QString &fileName)
{
    try {
        loadJpeg(fileName);
    } catch (const AppError &error) {
        return error.message();
    }
    return QString();
}

} // namespace

class TestJpegImage : public QObject
{
    Q_OBJECT

private slots:
    void decodesColourPhotos();
    void decodesGreyPhotos();
    void turnsPhotosUpright_data();
    void turnsPhotosUpright();
    void failures();
    void splashPictureIsBuiltIn();

private:
    TestDir m_dir;
};

void TestJpegImage::decodesColourPhotos()
{
    writeJpeg(m_dir.file("awers.jpg"), quarters(64, 48));
    const QImage image = loadJpeg(m_dir.file("awers.jpg"));
    QCOMPARE(image.size(), QSize(64, 48));
    QVERIFY(near(image.pixelColor(8, 8), Qt::red));
    QVERIFY(near(image.pixelColor(56, 8), Qt::green));
    QVERIFY(near(image.pixelColor(8, 40), Qt::blue));
    QVERIFY(near(image.pixelColor(56, 40), Qt::white));
}

void TestJpegImage::decodesGreyPhotos()
{
    QImage grey(30, 20, QImage::Format_Grayscale8);
    grey.fill(100);
    writeJpeg(m_dir.file("szary.jpeg"), grey);
    const QImage image = loadJpeg(m_dir.file("szary.jpeg"));
    QCOMPARE(image.size(), QSize(30, 20));
    QVERIFY(near(image.pixelColor(15, 10), QColor(100, 100, 100)));
}

// The stored picture has red, green, blue and white quarters; upright, its top corners show these colours.
void TestJpegImage::turnsPhotosUpright_data()
{
    QTest::addColumn<int>("orientation");
    QTest::addColumn<QSize>("stored");
    QTest::addColumn<QSize>("fitInto");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QColor>("topLeft");
    QTest::addColumn<QColor>("topRight");
    const QSize wide(80, 60);
    const QSize tall(60, 80);
    QTest::newRow("1 upright") << 1 << wide << QSize() << wide << QColor(Qt::red) << QColor(Qt::green);
    QTest::newRow("2 mirrored") << 2 << wide << QSize() << wide << QColor(Qt::green) << QColor(Qt::red);
    QTest::newRow("3 upside down") << 3 << wide << QSize() << wide << QColor(Qt::white) << QColor(Qt::blue);
    QTest::newRow("4 flipped") << 4 << wide << QSize() << wide << QColor(Qt::blue) << QColor(Qt::white);
    QTest::newRow("5 transposed") << 5 << wide << QSize() << tall << QColor(Qt::red) << QColor(Qt::blue);
    QTest::newRow("6 turned right") << 6 << wide << QSize() << tall << QColor(Qt::blue) << QColor(Qt::red);
    QTest::newRow("7 transversed") << 7 << wide << QSize() << tall << QColor(Qt::white) << QColor(Qt::green);
    QTest::newRow("8 turned left") << 8 << wide << QSize() << tall << QColor(Qt::green) << QColor(Qt::white);
    QTest::newRow("damaged tag") << 9 << wide << QSize() << wide << QColor(Qt::red) << QColor(Qt::green);
    // Upright 1200 x 1600 into 600 x 200: an eighth (150 x 200) fills the height; without the turn
    // taken into account the decoder would choose a quarter.
    QTest::newRow("6 fitted") << 6 << QSize(1600, 1200) << QSize(600, 200) << QSize(150, 200) << QColor(Qt::blue)
                              << QColor(Qt::red);
    QTest::newRow("3 fitted") << 3 << QSize(1600, 1200) << QSize(600, 200) << QSize(400, 300) << QColor(Qt::white)
                              << QColor(Qt::blue);
}

void TestJpegImage::turnsPhotosUpright()
{
    QFETCH(int, orientation);
    QFETCH(QSize, stored);
    QFETCH(QSize, fitInto);
    QFETCH(QSize, size);
    QFETCH(QColor, topLeft);
    QFETCH(QColor, topRight);
    writeJpegWithOrientation(m_dir.file("obrocone.jpg"), quarters(stored.width(), stored.height()), orientation);
    const QImage image = loadJpeg(m_dir.file("obrocone.jpg"), fitInto);
    QCOMPARE(image.size(), size);
    QVERIFY(near(image.pixelColor(4, 4), topLeft));
    QVERIFY(near(image.pixelColor(image.width() - 5, 4), topRight));
}

void TestJpegImage::failures()
{
    QCOMPARE(failure(m_dir.file("brak.jpg")), "Cannot open file " + m_dir.file("brak.jpg"));

    m_dir.write("pusty.jpg", QByteArray());
    QVERIFY(failure(m_dir.file("pusty.jpg")).startsWith("JPEG error #"));
    m_dir.write("tekst.jpg", "[config]\r\nto nie jest zdjęcie\r\n");
    QVERIFY(failure(m_dir.file("tekst.jpg")).startsWith("JPEG error #"));

    writeJpeg(m_dir.file("caly.jpg"), quarters(64, 48));
    QByteArray header = m_dir.read("caly.jpg").left(200);
    m_dir.write("uciety.jpg", header);
    QVERIFY(failure(m_dir.file("uciety.jpg")).startsWith("JPEG error #"));
}

void TestJpegImage::splashPictureIsBuiltIn()
{
    Q_INIT_RESOURCE(gromadnik_resources);
    QCOMPARE(loadJpeg(QStringLiteral(":/resources/splash.jpg")).size(), QSize(400, 300));
}

QTEST_GUILESS_MAIN(TestJpegImage)
#include "tst_jpegimage.moc"
