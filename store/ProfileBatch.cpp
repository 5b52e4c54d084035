#include "ProfileBatch.h"

#include "ProfileStore.h"

#include <QFileInfo>

ProfileBatch::Pending &ProfileBatch::pending(const QString &fileName)
{
    const QString key = ProfileStore::keyOf(fileName);
    auto found = m_files.find(key);
    if (found == m_files.end()) {
        found = m_files.insert(key, Pending{fileName, ProfileStore::checkOut(fileName)});
        m_order.append(key);
    }
    return *found;
}

void ProfileBatch::commit(const QString &fileName)
{
    const QString key = ProfileStore::keyOf(fileName);
    const auto found = m_files.constFind(key);
    if (found == m_files.constEnd())
        return;
    const Pending pending = *found;
    m_files.erase(found);
    if (!pending.changed)
        return;
    ProfileStore::commit(pending.fileName, *pending.document);
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
            commit(found->fileName);
    }
    for (const QString &folder : std::exchange(m_folders, {}))
        ProfileStore::syncFolder(folder);
}
