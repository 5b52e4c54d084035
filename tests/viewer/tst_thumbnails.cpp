#include "support/TestFiles.h"
#include "support/TestPictures.h"
#include "viewer/ThumbnailCache.h"
#include "viewer/ThumbnailLoader.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QUrl>

#include <sys/stat.h>

namespace {

bool near(QColor actual, QColor expected)
{
    return qAbs(actual.red() - expected.red()) < 32 && qAbs(actual.green() - expected.green()) < 32 &&
           qAbs(actual.blue() - expected.blue()) < 32;
}

// The URI as the thumbnail standard spells it: file:// and the absolute path, escaped byte by byte.
QByteArray uriOf(const QString &path)
{
    return "file://" + QUrl::toPercentEncoding(QFileInfo(path).absoluteFilePath(), "/");
}

QString md5Name(const QString &path)
{
    return QString::fromLatin1(QCryptographicHash::hash(uriOf(path), QCryptographicHash::Md5).toHex()) + ".png";
}

QImage stored(const QString &path)
{
    return QImage(path, "PNG");
}

void setMtime(const QString &path, qint64 seconds)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::fromSecsSinceEpoch(seconds), QFileDevice::FileModificationTime));
}

int modeOf(const QString &path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}

qint64 mtimeOf(const QString &path)
{
    return QFileInfo(path).lastModified().toSecsSinceEpoch();
}

} // namespace

class TestThumbnails : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cacheFollowsTheStandard_data();
    void cacheFollowsTheStandard();
    void staleThumbnailIsMadeAgain_data();
    void staleThumbnailIsMadeAgain();
    void failureIsRecordedAndRetriedAfterChange_data();
    void failureIsRecordedAndRetriedAfterChange();
    void loaderDeliversThroughReady();

private:
    TestDir m_cache;
    TestDir m_pictures;
};

void TestThumbnails::initTestCase()
{
    qputenv("XDG_CACHE_HOME", QFile::encodeName(m_cache.path()));
}

void TestThumbnails::cacheFollowsTheStandard_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<QSize>("thumbnailSize");
    QTest::newRow("normal") << 128 << "normal"
                            << "awers.jpg" << 1 << QSize(128, 96);
    QTest::newRow("large") << 256 << "large"
                           << "awers.jpg" << 1 << QSize(256, 192);
    QTest::newRow("name to escape") << 128 << "normal"
                                    << "złoty dukat #1.jpg" << 1 << QSize(128, 96);
    QTest::newRow("photo turned by its EXIF") << 128 << "normal"
                                              << "rewers.jpg" << 6 << QSize(96, 128);
    QTest::newRow("smaller than the thumbnail") << 256 << "large"
                                                << "moneta.png" << 1 << QSize(80, 60);
}

void TestThumbnails::cacheFollowsTheStandard()
{
    QFETCH(int, size);
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(int, orientation);
    QFETCH(QSize, thumbnailSize);
    const QString picture = m_pictures.file(name);
    if (name.endsWith(".png"))
        QVERIFY(quarters(80, 60).save(picture, "PNG"));
    else
        writeJpegWithOrientation(picture, quarters(800, 600), orientation);

    const QImage thumbnail = ThumbnailCache(size).thumbnail(picture);
    QCOMPARE(thumbnail.size(), thumbnailSize);
    QVERIFY(near(thumbnail.pixelColor(thumbnail.width() - 3, 2), orientation == 6 ? Qt::red : Qt::green));
    const QString root = m_cache.file("thumbnails");
    const QString file = root + "/" + folder + "/" + md5Name(picture);
    const QImage onDisk = stored(file);
    QCOMPARE(onDisk.size(), thumbnailSize);
    QCOMPARE(onDisk.text("Thumb::URI").toLatin1(), uriOf(picture));
    QCOMPARE(onDisk.text("Thumb::MTime"), QString::number(mtimeOf(picture)));
    QCOMPARE(onDisk.text("Thumb::Size"), QString::number(QFileInfo(picture).size()));
    // Thumbnails tell which pictures a user has: the standard lets only the user read them.
    QCOMPARE(modeOf(file), 0600);
    QCOMPARE(modeOf(root), 0700);
    QCOMPARE(modeOf(root + "/" + folder), 0700);
}

// A thumbnail is remade when its picture has changed since, or when the PNG at its name is of
// another file (a file manager's, a hash collision): the picture itself decides.
void TestThumbnails::staleThumbnailIsMadeAgain_data()
{
    QTest::addColumn<bool>("changePicture");
    QTest::newRow("picture changed") << true;
    QTest::newRow("thumbnail of another file") << false;
}

void TestThumbnails::staleThumbnailIsMadeAgain()
{
    QFETCH(bool, changePicture);
    const QString picture = m_pictures.file("zmieniane.jpg");
    writeJpeg(picture, quarters(400, 300));
    setMtime(picture, 1700000000);
    const ThumbnailCache cache(128);
    QVERIFY(near(cache.thumbnail(picture).pixelColor(2, 2), Qt::red));
    const QString file = cache.folder() + "/" + md5Name(picture);
    QImage other(128, 96, QImage::Format_RGB32);
    other.fill(Qt::black);
    if (changePicture) {
        QImage green(400, 300, QImage::Format_RGB32);
        green.fill(Qt::green);
        writeJpeg(picture, green);
        setMtime(picture, 1700000100);
    } else {
        other.setText("Thumb::URI", "file:///elsewhere/zmieniane.jpg");
        other.setText("Thumb::MTime", "1700000000");
        QVERIFY(other.save(file, "PNG"));
    }
    const QImage again = cache.thumbnail(picture);
    QVERIFY(near(again.pixelColor(2, 2), changePicture ? Qt::green : Qt::red));
    QCOMPARE(stored(file).text("Thumb::MTime"), QString::number(mtimeOf(picture)));
    QCOMPARE(stored(file).text("Thumb::URI").toLatin1(), uriOf(picture));
}

void TestThumbnails::failureIsRecordedAndRetriedAfterChange_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("damaged jpg") << "zepsute.jpg" << QByteArray("\xFF\xD8\xFF\xE0garbage", 11);
    QTest::newRow("text as png") << "tekst.png" << QByteArray("[config]\r\n");
}

// Recorded so that a broken picture is not decoded on every look; proven by a repaired file
// with its old time still refused, then taken once its time changes.
void TestThumbnails::failureIsRecordedAndRetriedAfterChange()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    const QString picture = m_pictures.file(name);
    m_pictures.write(name, content);
    setMtime(picture, 1700000000);
    const ThumbnailCache cache(128);
    QVERIFY(cache.thumbnail(picture).isNull());
    const QString failure = m_cache.file("thumbnails/fail/gromadnik-0.2.9/") + md5Name(picture);
    QCOMPARE(stored(failure).text("Thumb::URI").toLatin1(), uriOf(picture));
    QCOMPARE(stored(failure).text("Thumb::MTime"), QStringLiteral("1700000000"));
    QVERIFY(!QFile::exists(cache.folder() + "/" + md5Name(picture)));

    QVERIFY(quarters(80, 60).save(picture, name.endsWith(".png") ? "PNG" : "JPEG"));
    setMtime(picture, 1700000000);
    QVERIFY(cache.thumbnail(picture).isNull());
    setMtime(picture, 1700000001);
    QCOMPARE(cache.thumbnail(picture).size(), QSize(80, 60));
}

// Every request answered once through ready(), on the loader's thread, and then from memory;
// what was dropped before it started is never made, and the loader ends with jobs still running.
void TestThumbnails::loaderDeliversThroughReady()
{
    QStringList good;
    for (int k = 0; k < 3; ++k) {
        good.append(m_pictures.file(QStringLiteral("seria%1.jpg").arg(k)));
        writeJpeg(good.last(), quarters(640, 480));
    }
    m_pictures.write("uszkodzone.jpg", "nie JPEG");
    const QStringList bad = {m_pictures.file("uszkodzone.jpg"), m_pictures.file("brak.jpg"),
                             m_pictures.file("nieznane.xyz")};
    ThumbnailLoader loader(128);
    QStringList delivered;
    connect(&loader, &ThumbnailLoader::ready, &loader, [&](const QString &file) {
        QCOMPARE(QThread::currentThread(), loader.thread());
        delivered.append(file);
    });
    for (const QString &file : good + bad + good)
        loader.thumbnail(file);
    QTRY_COMPARE(delivered.size(), 6);
    QCOMPARE(QSet<QString>(delivered.begin(), delivered.end()).size(), 6);
    for (const QString &file : good) {
        QCOMPARE(loader.thumbnail(file).size(), QSize(128, 96));
        QVERIFY(!loader.failed(file));
    }
    for (const QString &file : bad)
        QVERIFY(loader.thumbnail(file).isNull() && loader.failed(file));

    QStringList many;
    for (int k = 0; k < 30; ++k) {
        many.append(m_pictures.file(QStringLiteral("tlo%1.jpg").arg(k)));
        writeJpeg(many.last(), quarters(1600, 1200));
    }
    auto *busy = new ThumbnailLoader(256);
    QSignalSpy readySpy(busy, &ThumbnailLoader::ready);
    for (const QString &file : many)
        busy->thumbnail(file);
    busy->forgetQueued();
    delete busy;
    QCoreApplication::processEvents();
    QVERIFY2(readySpy.size() < many.size(), qPrintable(QString::number(readySpy.size())));
}

QTEST_GUILESS_MAIN(TestThumbnails)
#include "tst_thumbnails.moc"
