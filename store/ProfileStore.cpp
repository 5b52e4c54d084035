#include "ProfileStore.h"

#include "Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

#ifdef Q_OS_WIN
#include <QDateTime>
#else
#include <sys/stat.h>
#endif

namespace {

// What tells two versions of a file apart without reading it.
struct Stamp
{
    qint64 size = -1;
    qint64 modified = 0;
    qint64 changed = 0;
    quint64 identity = 0;
    bool operator==(const Stamp &) const = default;
};

std::optional<Stamp> stampOf(const QByteArray &nativeName)
{
#ifdef Q_OS_WIN
    const QFileInfo info(QFile::decodeName(nativeName));
    if (!info.exists() || !info.isFile())
        return std::nullopt;
    return Stamp{info.size(), info.lastModified().toMSecsSinceEpoch(), info.metadataChangeTime().toMSecsSinceEpoch(),
                 0};
#else
    struct stat st;
    if (::stat(nativeName.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return Stamp{qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                 qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec,
                 (quint64(st.st_dev) << 32) ^ quint64(st.st_ino)};
#endif
}

struct Cached
{
    QByteArray nativeName;
    Stamp stamp;
    std::shared_ptr<ProfileDocument> document;
    quint64 version = 0; // new with every parse and every write
};

// Bounded so that an export over thousands of photo lists does not keep them all.
constexpr qsizetype maxFiles = 4096;
constexpr qint64 maxBytes = 256LL * 1024 * 1024;

struct Cache
{
    QHash<QString, Cached> files; // by the file's key
    QHash<QString, QString> keys; // file name as given -> key
    qint64 bytes = 0;
    quint64 lastVersion = 0;
    ProfileStore::Statistics statistics;

    void forget(const QString &key)
    {
        const auto found = files.constFind(key);
        if (found != files.constEnd()) {
            bytes -= found->document->bytes().size();
            files.erase(found);
        }
    }

    void remember(const QString &key, Cached entry)
    {
        forget(key);
        const qint64 size = entry.document->bytes().size();
        if (files.size() >= maxFiles || bytes + size > maxBytes) {
            files.clear();
            keys.clear();
            bytes = 0;
        }
        bytes += size;
        entry.version = ++lastVersion;
        files.insert(key, std::move(entry));
    }
};

Cache &cache()
{
    static Cache instance;
    return instance;
}

// One key for every spelling of a file's name, so that a write through one spelling is seen by
// readers of another. Windows file names ignore letter case.
QString keyOf(const QString &fileName)
{
    auto &keys = cache().keys;
    const auto known = keys.constFind(fileName);
    if (known != keys.constEnd())
        return *known;
    QString key = QDir::cleanPath(QFileInfo(fileName).absoluteFilePath());
#ifdef Q_OS_WIN
    key = key.toLower();
#endif
    if (keys.size() >= 2 * maxFiles)
        keys.clear();
    keys.insert(fileName, key);
    return key;
}

// The fresh parsed copy of the file, kept in the cache; nullptr when the file cannot be read.
Cached *fresh(const QString &key)
{
    Cache &c = cache();
    auto found = c.files.find(key);
    const QByteArray nativeName = found != c.files.end() ? found->nativeName : QFile::encodeName(key);
    const std::optional<Stamp> stamp = stampOf(nativeName);
    if (!stamp) {
        c.forget(key);
        return nullptr;
    }
    if (found != c.files.end() && found->stamp == *stamp)
        return &*found;

    QFile file(key);
    if (!file.open(QIODevice::ReadOnly)) {
        c.forget(key);
        return nullptr;
    }
    auto document = std::make_shared<ProfileDocument>(file.readAll());
    ++c.statistics.parses;
    // The file may have changed while it was read; then the next read parses it again.
    const Stamp after = stampOf(nativeName).value_or(Stamp{});
    c.remember(key, Cached{nativeName, after == *stamp ? *stamp : Stamp{}, std::move(document)});
    return &c.files[key];
}

bool isReadOnly(const QString &fileName)
{
    return QFile::exists(fileName) && !(QFile::permissions(fileName) & QFileDevice::WriteOwner);
}

void writeAtomically(const QString &fileName, const QByteArray &bytes)
{
    QSaveFile file(fileName);
    if (isReadOnly(fileName) || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw AppError::unableToWrite(fileName);
}

} // namespace

namespace ProfileStore {

const ProfileDocument *load(const QString &fileName, Reader &reader)
{
    // Asking the disk costs a system call; a reader that has already seen this version of the
    // file, and so knows it unchanged since, is answered from memory.
    if (reader.key.isEmpty())
        reader.key = keyOf(fileName);
    const auto known = cache().files.constFind(reader.key);
    if (known != cache().files.constEnd() && known->version == reader.seenVersion)
        return known->document.get();
    Cached *entry = fresh(reader.key);
    reader.seenVersion = entry ? entry->version : 0;
    return entry ? entry->document.get() : nullptr;
}

void modify(const QString &fileName, const std::function<bool(ProfileDocument &)> &edit)
{
    const QString key = keyOf(fileName);
    Cached *entry = fresh(key);
    // Edited in place: no reader keeps a copy past its call. A failed write drops it below.
    std::shared_ptr<ProfileDocument> document = entry ? entry->document : std::make_shared<ProfileDocument>();

    const QByteArray nativeName = entry ? entry->nativeName : QFile::encodeName(key);
    try {
        if (!edit(*document))
            return;
        writeAtomically(fileName, document->bytes());
    } catch (...) {
        cache().forget(key); // the copy may hold edits that did not reach the disk
        throw;
    }
    ++cache().statistics.writes;
    const std::optional<Stamp> stamp = stampOf(nativeName);
    if (stamp)
        cache().remember(key, Cached{nativeName, *stamp, std::move(document)});
    else
        cache().forget(key);
}

void replace(const QString &fileName, const QByteArray &bytes)
{
    const QString key = keyOf(fileName);
    try {
        writeAtomically(fileName, bytes);
    } catch (...) {
        cache().forget(key);
        throw;
    }
    ++cache().statistics.writes;
    cache().forget(key); // parsed again at its next read
}

void forget(const QString &fileName)
{
    cache().forget(keyOf(fileName));
}

void remove(const QString &fileName)
{
    cache().forget(keyOf(fileName));
    if (QFile::exists(fileName) && !QFile::remove(fileName))
        throw AppError(QStringLiteral("Unable to delete %1").arg(fileName));
}

Statistics statistics()
{
    return cache().statistics;
}

void clear()
{
    cache().files.clear();
    cache().keys.clear();
    cache().bytes = 0;
}

} // namespace ProfileStore
