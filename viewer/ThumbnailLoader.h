#pragma once

#include <QImage>
#include <QObject>
#include <QString>

#include <memory>

// Thumbnails of the collector's photos, made on a thread pool and kept on disk where file managers
// keep theirs (the freedesktop thumbnail cache), so that neither the program nor they make one twice.
// The user-interface thread only asks and is told: no picture is ever decoded on it.
class ThumbnailLoader : public QObject
{
    Q_OBJECT
public:
    // 128 for the cache's "normal" size, 256 for its "large" one.
    explicit ThumbnailLoader(int size = 128, QObject *parent = nullptr);
    ~ThumbnailLoader() override;

    int size() const;

    // The thumbnail when it is at hand in memory; otherwise a null image, and the picture is queued,
    // the latest asked first (the tiles just scrolled into sight), and ready() follows.
    QImage thumbnail(const QString &pictureFile);
    // The picture was tried and cannot be shown: missing, damaged or of an unknown kind.
    bool failed(const QString &pictureFile) const;
    // Requests not yet started are dropped: what was asked for is out of sight.
    void forgetQueued();
    // The thumbnails and failures held in memory are dropped; the disk cache keeps them, and a
    // picture asked for again is looked up there, or made again if it has changed.
    void clearMemory();

signals:
    // thumbnail() or failed() now answers for it.
    void ready(const QString &pictureFile);

private:
    struct Jobs;
    void work();

    const std::unique_ptr<Jobs> m_jobs;
};
