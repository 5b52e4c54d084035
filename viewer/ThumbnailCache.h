#pragma once

#include <QImage>
#include <QString>

// The freedesktop thumbnail cache, shared with file managers: PNG files under
// $XDG_CACHE_HOME/thumbnails/normal (128 pixels) or /large (256), each named by the MD5 of the
// picture's URI and carrying that URI and the picture's modification time, by which a thumbnail
// of a changed picture is known to be stale. A picture that cannot be shown is recorded under
// thumbnails/fail/gromadnik-<version>, so that it is tried again only once it has changed.
class ThumbnailCache
{
public:
    // 128 or 256; any size up to 128 uses the "normal" folder, a larger one the "large" folder.
    explicit ThumbnailCache(int size = 128);

    int size() const { return m_size; }
    QString folder() const;
    static QString failureFolder();
    static QByteArray uriOf(const QString &picture);
    static QString nameFor(const QString &picture); // MD5 of the URI, in hex, and ".png"

    // The thumbnail from the cache when it is fresh, otherwise made from the picture and stored.
    // A null image when the picture cannot be shown (missing, damaged or of an unknown kind).
    QImage thumbnail(const QString &picture) const;

private:
    QImage make(const QString &picture, const QByteArray &uri, qint64 mtime) const;

    int m_size;
};
