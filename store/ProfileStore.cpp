#include "ProfileStore.h"

#include "Error.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>

#ifdef Q_OS_WIN
#include <QDateTime>
#include <QFileInfo>
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
    return Stamp{info.size(), info.lastModified().toMSecsSinceEpoch(),
                 info.metadataChangeTime().toMSecsSinceEpoch(), 0};
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
};

// Bounded so that an export over thousands of photo lists does not keep them all.
constexpr qsizetype maxFiles = 4096;
constexpr qint64 maxBytes = 256LL * 1024 * 1024;

struct Cache
{
    QHash<QString, Cached> files;
    qint64 bytes = 0;
    ProfileStore::Statistics statistics;

    void forget(const QString &fileName)
    {
        const auto found = files.constFind(fileName);
        if (found != files.constEnd()) {
            bytes -= found->document->bytes().size();
            files.erase(found);
        }
    }

    void remember(const QString &fileName, Cached entry)
    {
        forget(fileName);
        const qint64 size = entry.document->bytes().size();
        if (files.size() >= maxFiles || bytes + size > maxBytes) {
            files.clear();
            bytes = 0;
        }
        bytes += size;
        files.insert(fileName, std::move(entry));
    }
};

Cache &cache()
{
    static Cache instance;
    return instance;
}

// The fresh parsed copy of the file, kept in the cache; nullptr when the file cannot be read.
Cached *fresh(const QString &fileName)
{
    Cache &c = cache();
    auto found = c.files.find(fileName);
    const QByteArray nativeName = found != c.files.end() ? found->nativeName : QFile::encodeName(fileName);
    const std::optional<Stamp> stamp = stampOf(nativeName);
    if (!stamp) {
        c.forget(fileName);
        return nullptr;
    }
    if (found != c.files.end() && found->stamp == *stamp)
        return &*found;

    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        c.forget(fileName);
        return nullptr;
    }
    auto document = std::make_shared<ProfileDocument>(file.readAll());
    ++c.statistics.parses;
    // The file may have changed while it was read; then the next read parses it again.
    const Stamp after = stampOf(nativeName).value_or(Stamp{});
    c.remember(fileName, Cached{nativeName, after == *stamp ? *stamp : Stamp{}, std::move(document)});
    return &c.files[fileName];
}

bool isReadOnly(const QString &fileName)
{
    return QFile::exists(fileName) && !(QFile::permissions(fileName) & QFileDevice::WriteOwner);
}

void writeAtomically(const QString &fileName, const QByteArray &bytes)
{
    QSaveFile file(fileName);
    if (isReadOnly(fileName) || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
        !file.commit())
        throw AppError::unableToWrite(fileName);
}

} // namespace

namespace ProfileStore {

std::shared_ptr<const ProfileDocument> load(const QString &fileName)
{
    Cached *entry = fresh(fileName);
    return entry ? entry->document : nullptr;
}

void modify(const QString &fileName, const std::function<bool(ProfileDocument &)> &edit)
{
    Cached *entry = fresh(fileName);
    // A reader may still hold the shared copy; edit a private one then.
    std::shared_ptr<ProfileDocument> document;
    if (!entry)
        document = std::make_shared<ProfileDocument>();
    else if (entry->document.use_count() == 1)
        document = entry->document;
    else
        document = std::make_shared<ProfileDocument>(entry->document->bytes());

    const QByteArray nativeName = entry ? entry->nativeName : QFile::encodeName(fileName);
    if (!edit(*document))
        return;
    try {
        writeAtomically(fileName, document->bytes());
    } catch (...) {
        cache().forget(fileName); // the copy holds the edit that did not reach the disk
        throw;
    }
    ++cache().statistics.writes;
    const std::optional<Stamp> stamp = stampOf(nativeName);
    if (stamp)
        cache().remember(fileName, Cached{nativeName, *stamp, std::move(document)});
    else
        cache().forget(fileName);
}

Statistics statistics()
{
    return cache().statistics;
}

void clear()
{
    cache().files.clear();
    cache().bytes = 0;
}

} // namespace ProfileStore
