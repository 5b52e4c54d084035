#include "MissingPhotos.h"

#include "items/PhotoLists.h"

#include <QHash>
#include <QMap>
#include <algorithm>

qsizetype MissingPhotoScan::missingCount() const
{
    qsizetype count = 0;
    for (const MissingFolder &folder : folders)
        count += folder.photos.size();
    return count;
}

namespace MissingPhotos {

MissingPhotoScan scan(const QString &dir, const std::function<bool()> &stop)
{
    MissingPhotoScan result;
    QStringList distinct;
    QList<QList<PhotoUse>> uses;
    QHash<QString, qsizetype> indexOf;
    result.stopped = !PhotoLists::each(dir, [&](const PhotoLists::Item &item) {
        for (const QString &path : item.paths) {
            if (path.isEmpty())
                continue;
            ++result.paths;
            auto found = indexOf.constFind(path);
            if (found == indexOf.cend()) {
                found = indexOf.insert(path, distinct.size());
                distinct.append(path);
                uses.append(QList<PhotoUse>());
            }
            uses[*found].append({item.category, item.subcategory, item.item, item.title});
        }
        return !stop || !stop();
    });
    const QList<bool> exists = PhotoLists::existing(distinct);
    QMap<QString, QList<MissingPhoto>> byFolder;
    for (qsizetype i = 0; i < distinct.size(); ++i) {
        if (!exists[i])
            byFolder[PhotoLists::folderOf(distinct[i])].append({distinct[i], uses[i]});
    }
    for (auto folder = byFolder.begin(); folder != byFolder.end(); ++folder) {
        std::sort(folder->begin(), folder->end(),
                  [](const MissingPhoto &a, const MissingPhoto &b) { return a.path < b.path; });
        result.folders.append({folder.key(), std::move(*folder)});
    }
    return result;
}

} // namespace MissingPhotos

MissingPhotoScanner::MissingPhotoScanner(QObject *parent) : QObject(parent)
{
    m_pool.setMaxThreadCount(1);
}

MissingPhotoScanner::~MissingPhotoScanner()
{
    cancel();
    m_pool.waitForDone();
}

void MissingPhotoScanner::start(const QString &dir)
{
    const quint64 generation = ++m_generation;
    m_running = true;
    m_pool.start([this, dir, generation] {
        const auto ended = [this, generation] { return m_generation.load() != generation; };
        MissingPhotoScan scan = MissingPhotos::scan(dir, ended);
        QMetaObject::invokeMethod(
            this,
            [this, generation, scan = std::move(scan)] {
                if (m_generation.load() != generation)
                    return; // a later scan, or a cancel, came after it
                m_running = false;
                emit finished(scan);
            },
            Qt::QueuedConnection);
    });
}

void MissingPhotoScanner::cancel()
{
    ++m_generation;
    m_running = false;
}
