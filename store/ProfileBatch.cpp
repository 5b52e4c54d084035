#include "ProfileBatch.h"

#include "ProfileStore.h"

#include <QFileInfo>

ProfileBatch::Pending &ProfileBatch::pending(const QString &fileName)
{
    const QString key = ProfileStore::keyOf(fileName);
    auto found = m_files.find(key);
    if (found == m_files.end()) {
        auto pending = std::make_shared<Pending>();
        pending->fileName = fileName;
        pending->document = ProfileStore::checkOut(fileName, pending->existed);
        found = m_files.insert(key, std::move(pending));
        m_order.append(key);
    }
    return **found;
}

void ProfileBatch::commit(const QString &fileName)
{
    const QString key = ProfileStore::keyOf(fileName);
    const auto found = m_files.constFind(key);
    if (found == m_files.constEnd())
        return;
    const std::shared_ptr<Pending> pending = *found;
    m_files.erase(found);
    ++m_generation;
    if (!pending->changed)
        return;
    ProfileStore::commit(pending->fileName, *pending->document, pending->existed);
    const QString folder = QFileInfo(key).path();
    if (!m_folders.contains(folder))
        m_folders.append(folder);
}

void ProfileBatch::commitAll()
{
    const QStringList order = std::exchange(m_order, {});
    for (const QString &key : order) {
        const auto found = m_files.constFind(key);
        if (found != m_files.constEnd())
            commit((*found)->fileName);
    }
    for (const QString &folder : std::exchange(m_folders, {}))
        ProfileStore::syncFolder(folder);
}
