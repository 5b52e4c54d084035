#include "ProfileBatch.h"

#include "ProfileStore.h"

#include <QDir>

namespace {

// Syncing a file at a time is cheaper up to here; beyond, the whole disk at once.
constexpr qsizetype syncOneByOne = 16;

QString folderOf(const QString &key)
{
    return key.left(std::max<qsizetype>(key.lastIndexOf(QLatin1Char('/')), 0));
}

QString nameOf(const QString &key)
{
    return key.mid(key.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace

ProfileBatch::ProfileBatch() : m_writer(std::make_unique<BatchWriter>())
{
}

ProfileBatch::~ProfileBatch() = default;

bool ProfileBatch::mayExist(const QString &key)
{
    const QString folder = folderOf(key);
    auto listed = m_listed.find(folder);
    if (listed == m_listed.end()) {
        QSet<QString> names;
        for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System))
#ifdef Q_OS_WIN
            names.insert(name.toLower());
#else
            names.insert(name);
#endif
        listed = m_listed.insert(folder, std::move(names));
    }
    return listed->contains(nameOf(key));
}

ProfileBatch::Pending &ProfileBatch::pending(const QString &fileName)
{
    const QString key = ProfileStore::keyOf(fileName);
    auto found = m_files.find(key);
    if (found == m_files.end()) {
        m_writer->waitFor(key); // committed before: read what was written
        auto pending = std::make_shared<Pending>();
        pending->fileName = fileName;
        if (mayExist(key)) {
            pending->document = ProfileStore::checkOut(fileName, pending->existed);
        } else {
            ProfileStore::forget(fileName);
            pending->document = std::make_shared<ProfileDocument>();
        }
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
    ProfileStore::writing(pending->fileName);
    m_writer->write(pending->fileName, key, pending->document, pending->existed);
    const QString folder = folderOf(key);
    m_listed[folder].insert(nameOf(key));
    if (!m_folders.contains(folder))
        m_folders.append(folder);
    if (m_written.size() <= syncOneByOne)
        m_written.append(pending->fileName);
}

void ProfileBatch::commitAll()
{
    // The files still open are those the whole batch wrote to (an import's category list): they
    // are written only once every file before them has been.
    m_writer->finish();
    const QStringList order = std::exchange(m_order, {});
    for (const QString &key : order) {
        const auto found = m_files.constFind(key);
        if (found != m_files.constEnd())
            commit((*found)->fileName);
    }
    m_writer->finish();
    const QStringList written = std::exchange(m_written, {});
    const QStringList folders = std::exchange(m_folders, {});
    if (written.size() <= syncOneByOne) {
        for (const QString &fileName : written)
            ProfileStore::syncFile(fileName);
    } else {
        for (const QString &folder : folders)
            ProfileStore::syncFolder(folder);
    }
}
