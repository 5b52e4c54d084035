#include "ThumbnailLoader.h"

#include "ThumbnailCache.h"

#include <QCache>
#include <QHash>
#include <QMutex>
#include <QSet>
#include <QThread>
#include <QThreadPool>

#include <list>

namespace {

// Thumbnails kept in memory, in kilobytes: some thousands of the normal size.
constexpr qsizetype memoryKilobytes = 128 * 1024;

} // namespace

// Everything the pool's threads share with the asking thread, behind one lock.
struct ThumbnailLoader::Jobs
{
    explicit Jobs(int size) : cache(size), images(memoryKilobytes) {}

    const ThumbnailCache cache;
    QThreadPool pool;
    QMutex mutex;
    std::list<QString> queue; // the latest asked at the back
    QHash<QString, std::list<QString>::iterator> queued;
    QSet<QString> running;
    QSet<QString> failed;
    QCache<QString, QImage> images;
    int workers = 0;
};

ThumbnailLoader::ThumbnailLoader(int size, QObject *parent) : QObject(parent), m_jobs(std::make_unique<Jobs>(size))
{
    // Never more threads than cores, and below the user-interface thread, which stays free to answer.
    m_jobs->pool.setMaxThreadCount(qMax(1, QThread::idealThreadCount()));
    m_jobs->pool.setThreadPriority(QThread::LowPriority);
}

ThumbnailLoader::~ThumbnailLoader()
{
    forgetQueued();
    m_jobs->pool.waitForDone(); // a running job still writes into m_jobs
}

int ThumbnailLoader::size() const
{
    return m_jobs->cache.size();
}

QImage ThumbnailLoader::thumbnail(const QString &pictureFile)
{
    Jobs &jobs = *m_jobs;
    QMutexLocker lock(&jobs.mutex);
    if (const QImage *image = jobs.images.object(pictureFile))
        return *image;
    if (jobs.failed.contains(pictureFile) || jobs.running.contains(pictureFile))
        return QImage();
    // Asked again: it moves to the front of the queue, once.
    if (const auto at = jobs.queued.constFind(pictureFile); at != jobs.queued.cend())
        jobs.queue.erase(*at);
    jobs.queued.insert(pictureFile, jobs.queue.insert(jobs.queue.end(), pictureFile));
    if (jobs.workers < jobs.pool.maxThreadCount()) {
        ++jobs.workers;
        jobs.pool.start([this] { work(); });
    }
    return QImage();
}

bool ThumbnailLoader::failed(const QString &pictureFile) const
{
    QMutexLocker lock(&m_jobs->mutex);
    return m_jobs->failed.contains(pictureFile);
}

void ThumbnailLoader::forgetQueued()
{
    QMutexLocker lock(&m_jobs->mutex);
    m_jobs->queue.clear();
    m_jobs->queued.clear();
}

void ThumbnailLoader::clearMemory()
{
    QMutexLocker lock(&m_jobs->mutex);
    m_jobs->images.clear();
    m_jobs->failed.clear();
}

// Each of the pool's threads takes the latest request until none is left.
void ThumbnailLoader::work()
{
    Jobs &jobs = *m_jobs;
    for (;;) {
        QMutexLocker lock(&jobs.mutex);
        if (jobs.queue.empty()) {
            --jobs.workers;
            return;
        }
        const QString file = jobs.queue.back();
        jobs.queue.pop_back();
        jobs.queued.remove(file);
        jobs.running.insert(file);
        lock.unlock();

        const QImage image = jobs.cache.thumbnail(file);

        lock.relock();
        jobs.running.remove(file);
        if (image.isNull())
            jobs.failed.insert(file);
        else
            jobs.images.insert(file, new QImage(image), qMax<qsizetype>(1, image.sizeInBytes() / 1024));
        lock.unlock();
        QMetaObject::invokeMethod(
            this, [this, file] { emit ready(file); }, Qt::QueuedConnection);
    }
}
