#include "ThumbnailCache.h"

#include "PictureLoader.h"
#include "store/Error.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

namespace {

const QString uriKey = QStringLiteral("Thumb::URI");
const QString mtimeKey = QStringLiteral("Thumb::MTime");
const QString sizeKey = QStringLiteral("Thumb::Size");

QString thumbnailsRoot()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/thumbnails");
}

// Thumbnails show which pictures a user has: only the user may read them.
bool makeFolder(const QString &path)
{
    if (!QDir().mkpath(path))
        return false;
    const QString root = thumbnailsRoot();
    for (QString folder = path; folder.startsWith(root); folder = QFileInfo(folder).path())
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return true;
}

bool describes(const QImage &stored, const QByteArray &uri, qint64 mtime)
{
    return !stored.isNull() && stored.text(uriKey) == QString::fromLatin1(uri) &&
           stored.text(mtimeKey) == QString::number(mtime);
}

QImage readStored(const QString &path)
{
    QImageReader reader(path, "png");
    reader.setDecideFormatFromContent(false);
    return reader.read();
}

// A cache that cannot be written (a full disk, a read-only home) only costs making the thumbnail again.
void store(QImage image, const QString &folder, const QString &name, const QByteArray &uri, qint64 mtime, qint64 bytes)
{
    image.setText(uriKey, QString::fromLatin1(uri));
    image.setText(mtimeKey, QString::number(mtime));
    image.setText(sizeKey, QString::number(bytes));
    image.setText(QStringLiteral("Software"), QStringLiteral("Gromadnik"));
    if (!makeFolder(folder))
        return;
    QSaveFile file(folder + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QImageWriter writer(&file, "png");
    if (writer.write(image))
        file.commit();
    else
        file.cancelWriting();
}

} // namespace

ThumbnailCache::ThumbnailCache(int size) : m_size(size) {}

QString ThumbnailCache::folder() const
{
    return thumbnailsRoot() + (m_size <= 128 ? QStringLiteral("/normal") : QStringLiteral("/large"));
}

QString ThumbnailCache::failureFolder()
{
    return thumbnailsRoot() + QStringLiteral("/fail/gromadnik-" GROMADNIK_VERSION);
}

QByteArray ThumbnailCache::uriOf(const QString &picture)
{
    return QUrl::fromLocalFile(QFileInfo(picture).absoluteFilePath()).toEncoded();
}

QString ThumbnailCache::nameFor(const QString &picture)
{
    const QByteArray md5 = QCryptographicHash::hash(uriOf(picture), QCryptographicHash::Md5).toHex();
    return QString::fromLatin1(md5) + QStringLiteral(".png");
}

QImage ThumbnailCache::thumbnail(const QString &picture) const
{
    const QFileInfo info(picture);
    if (!info.isFile())
        return QImage();
    const QByteArray uri = uriOf(picture);
    const qint64 mtime = info.lastModified().toSecsSinceEpoch();
    const QString name = nameFor(picture);
    const QImage stored = readStored(folder() + QLatin1Char('/') + name);
    if (describes(stored, uri, mtime))
        return stored;
    if (describes(readStored(failureFolder() + QLatin1Char('/') + name), uri, mtime))
        return QImage();
    return make(picture, uri, mtime);
}

QImage ThumbnailCache::make(const QString &picture, const QByteArray &uri, qint64 mtime) const
{
    const QString name = nameFor(picture);
    const qint64 bytes = QFileInfo(picture).size();
    QImage image;
    try {
        image = PictureLoader::load(picture, QSize(m_size, m_size));
    } catch (const AppError &) {
        // An empty picture is all the standard asks of a failure: its text says which file, of when.
        QImage failure(1, 1, QImage::Format_ARGB32);
        failure.fill(Qt::transparent);
        store(failure, failureFolder(), name, uri, mtime, bytes);
        return QImage();
    }
    if (image.width() > m_size || image.height() > m_size)
        image = image.scaled(m_size, m_size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    store(image, folder(), name, uri, mtime, bytes);
    return image;
}
