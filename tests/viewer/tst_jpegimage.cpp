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
