#include "ProfileBatch.h"

#include "Error.h"
#include "FileAccess.h"
#include "Journal.h"
#include "ProfileStore.h"

#include <QDir>
#include <QFileInfo>

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

ProfileBatch::ProfileBatch(Mode mode) : m_mode(mode), m_writer(std::make_unique<BatchWriter>())
{
}

ProfileBatch::~ProfileBatch() = default;

bool ProfileBatch::mayExist(const QString &key)
{
    const QString folder = folderOf(key);
    auto listed = m_listed.find(folder);
    if (listed == m_listed.end()) {
        QSet<QString> names;
        // Folders too: a staging batch must not find one in a file's place only when it moves it there.
        for (const QString &name :
             QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
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
        if (const auto staged = m_staged.constFind(key); staged != m_staged.constEnd()) {
            bool stagedExisted = false; // written before by this batch: read back from there
            pending->document = ProfileStore::checkOut(Journal::stagedName(fileName), stagedExisted);
            pending->existed = *staged;
        } else if (mayExist(key)) {
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
    const QString folder = folderOf(key);
    QString written = pending->fileName;
    bool existed = pending->existed;
    if (m_mode == Mode::Staged) {
        // What moving it into place would meet there is found now, while nothing is changed yet.
        if (m_listed[folder].contains(nameOf(key))) {
            const QFileInfo info(pending->fileName);
            if (info.exists() && (!info.isFile() || FileAccess::isReadOnly(pending->fileName)))
                throw AppError::unableToWrite(pending->fileName);
        }
        written = Journal::stagedName(pending->fileName);
        existed = m_staged.contains(key);
        if (!existed)
            m_stagedNames.append(pending->fileName);
        m_staged.insert(key, pending->existed);
        ProfileStore::forget(written);
    } else {
        m_listed[folder].insert(nameOf(key));
    }
    ProfileStore::writing(pending->fileName);
    m_writer->write(written, key, pending->document, existed);
    if (!m_folders.contains(folder))
        m_folders.append(folder);
    if (m_written.size() <= syncOneByOne)
        m_written.append(written);
}

QByteArray ProfileBatch::contents(const QString &fileName)
{
    return pending(fileName).document->bytes();
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
