#include "ProfileStore.h"

#include "Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

#include <deque>

#ifdef Q_OS_WIN
#include <QDateTime>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
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

#ifndef Q_OS_WIN
Stamp stampOf(const struct stat &st)
{
    return Stamp{qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                 qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec,
                 (quint64(st.st_dev) << 32) ^ quint64(st.st_ino)};
}
#endif

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
    return stampOf(st);
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
    // Oldest first; an entry whose version has moved on was remembered again since.
    std::deque<std::pair<QString, quint64>> order;
    qint64 bytes = 0;
    quint64 lastVersion = 0;
    ProfileStore::Statistics statistics;

    void forget(const QString &key)
    {
        const auto found = files.constFind(key);
        if (found != files.constEnd()) {
            bytes -= found->document->size();
            files.erase(found);
        }
    }

    void remember(const QString &key, Cached entry)
    {
        forget(key);
        const qint64 size = entry.document->size();
        while (!order.empty() && (files.size() >= maxFiles || bytes + size > maxBytes)) {
            const auto [oldest, version] = order.front();
            order.pop_front();
            const auto found = files.constFind(oldest);
            if (found != files.constEnd() && found->version == version)
                forget(oldest);
        }
        bytes += size;
        entry.version = ++lastVersion;
        order.emplace_back(key, entry.version);
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
QString keyOfName(const QString &fileName)
{
    auto &keys = cache().keys;
    const auto known = keys.constFind(fileName);
    if (known != keys.constEnd())
        return *known;
#ifdef Q_OS_WIN
    const QString key = QDir::cleanPath(QFileInfo(fileName).absoluteFilePath()).toLower();
#else
    // The program's own names are absolute and clean already; asking QFileInfo costs more than
    // the rest of a small file's read.
    const auto unclean = [](const QString &name) {
        return name.contains(QLatin1String("//")) || name.contains(QLatin1String("/./")) ||
               name.contains(QLatin1String("/../")) || name.endsWith(QLatin1String("/.")) ||
               name.endsWith(QLatin1String("/..")) || name.endsWith(QLatin1Char('/'));
    };
    const QString key = fileName.startsWith(QLatin1Char('/')) && !unclean(fileName)
                            ? fileName
                            : QDir::cleanPath(QFileInfo(fileName).absoluteFilePath());
#endif
    if (keys.size() >= 2 * maxFiles)
        keys.clear();
    keys.insert(fileName, key);
    return key;
}

struct Contents
{
    QByteArray bytes;
    Stamp stamp; // of the version read, or an empty one when the file changed while it was read
};

#ifdef Q_OS_WIN
std::optional<Contents> readWhole(const QByteArray &nativeName)
{
    const std::optional<Stamp> before = stampOf(nativeName);
    QFile file(QFile::decodeName(nativeName));
    if (!before || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    Contents contents{file.readAll(), *before};
    if (stampOf(nativeName) != before)
        contents.stamp = Stamp{};
    return contents;
}
#else
// Asks the open file rather than its name, with as few system calls as it can: an export reads a
// hundred thousand small files.
std::optional<Contents> readWhole(const QByteArray &nativeName)
{
    const int fd = ::open(nativeName.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat before;
    if (::fstat(fd, &before) != 0 || !S_ISREG(before.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    QByteArray bytes(qsizetype(before.st_size) + 1, Qt::Uninitialized); // the byte more shows the end at once
    qsizetype done = 0;
    ssize_t got = 0;
    do {
        if (done == bytes.size())
            bytes.resize(bytes.size() * 2);
        got = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (got > 0)
            done += got;
    } while (got > 0 || (got < 0 && errno == EINTR));
    struct stat after;
    const bool readAll = got == 0 && ::fstat(fd, &after) == 0;
    ::close(fd);
    if (!readAll)
        return std::nullopt;
    bytes.truncate(done);
    const Stamp stamp = stampOf(before);
    return Contents{std::move(bytes), stampOf(after) == stamp ? stamp : Stamp{}};
}
#endif

// The fresh parsed copy of the file, kept in the cache; nullptr when the file cannot be read.
Cached *fresh(const QString &key)
{
    Cache &c = cache();
    auto found = c.files.find(key);
    const QByteArray nativeName = found != c.files.end() ? found->nativeName : QFile::encodeName(key);
    if (found != c.files.end() && stampOf(nativeName) == found->stamp)
        return &*found;

    std::optional<Contents> contents = readWhole(nativeName);
    if (!contents) {
        c.forget(key);
        return nullptr;
    }
    auto document = std::make_shared<ProfileDocument>(std::move(contents->bytes));
    ++c.statistics.parses;
    // A file that changed while it was read keeps no stamp, so the next read parses it again.
    c.remember(key, Cached{nativeName, contents->stamp, std::move(document)});
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

#ifdef Q_OS_WIN
void writeWithoutSync(const QString &fileName, const QByteArray &bytes, bool)
{
    writeAtomically(fileName, bytes);
}
#else
bool writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

// A new file made whole before it gets its name: an unnamed file in the folder, linked under the
// name once written. False where the system offers no such file, or the name is taken meanwhile.
bool createWhole(const QByteArray &target, const QByteArray &bytes)
{
#ifdef O_TMPFILE
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : target.left(std::max<qsizetype>(slash, 1));
    const int fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    const bool linked =
        writeAll(fd, bytes) && ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, target.constData(), AT_SYMLINK_FOLLOW) == 0;
    ::close(fd);
    return linked;
#else
    Q_UNUSED(target);
    Q_UNUSED(bytes);
    return false;
#endif
}

// As atomic as writeAtomically (the file holds the old text or the new, never part of one), but
// without waiting for the disk after each file: QSaveFile's sync costs milliseconds a file, which
// an import of a hundred thousand photo lists cannot afford. The batch syncs once at its end.
void writeWithoutSync(const QString &fileName, const QByteArray &bytes, bool existed)
{
    const QByteArray target = QFile::encodeName(fileName);
    if (!existed && createWhole(target, bytes))
        return;
    const QByteArray temporary = target + ".~gromadnik";
    struct stat st;
    const bool exists = ::stat(target.constData(), &st) == 0;
    if (exists && (!S_ISREG(st.st_mode) || !(st.st_mode & S_IWUSR)))
        throw AppError::unableToWrite(fileName);
    const auto create = [&] { return ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666); };
    int fd = create();
    if (fd < 0 && errno == EEXIST && ::unlink(temporary.constData()) == 0) // left by an interrupted write
        fd = create();
    if (fd < 0)
        throw AppError::unableToWrite(fileName);
    bool written = writeAll(fd, bytes) && (!exists || ::fchmod(fd, st.st_mode & 07777) == 0);
    written = ::close(fd) == 0 && written;
    if (!written || ::rename(temporary.constData(), target.constData()) != 0) {
        ::unlink(temporary.constData());
        throw AppError::unableToWrite(fileName);
    }
}
#endif

} // namespace

namespace ProfileStore {

const ProfileDocument *load(const QString &fileName, Reader &reader)
{
    // Asking the disk costs a system call; a reader that has already seen this version of the
    // file, and so knows it unchanged since, is answered from memory.
    if (reader.key.isEmpty())
        reader.key = keyOfName(fileName);
    const auto known = cache().files.constFind(reader.key);
    if (known != cache().files.constEnd() && known->version == reader.seenVersion)
        return known->document.get();
    Cached *entry = fresh(reader.key);
    reader.seenVersion = entry ? entry->version : 0;
    return entry ? entry->document.get() : nullptr;
}

void modify(const QString &fileName, const std::function<bool(ProfileDocument &)> &edit)
{
    const QString key = keyOfName(fileName);
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
    const QString key = keyOfName(fileName);
    try {
        writeAtomically(fileName, bytes);
    } catch (...) {
        cache().forget(key);
        throw;
    }
    ++cache().statistics.writes;
    cache().forget(key); // parsed again at its next read
}

QString keyOf(const QString &fileName)
{
    return keyOfName(fileName);
}

std::shared_ptr<ProfileDocument> checkOut(const QString &fileName, bool &existed)
{
    const QString key = keyOfName(fileName);
    Cached *entry = fresh(key);
    existed = entry != nullptr;
    std::shared_ptr<ProfileDocument> document = entry ? entry->document : std::make_shared<ProfileDocument>();
    cache().forget(key);
    return document;
}

void commit(const QString &fileName, const ProfileDocument &document, bool existed)
{
    try {
        writeWithoutSync(fileName, document.bytes(), existed);
    } catch (...) {
        cache().forget(keyOfName(fileName));
        throw;
    }
    ++cache().statistics.writes;
}

void checkWritable(const QString &fileName, bool existed)
{
    // A batch writes many files into few folders.
    static QString folderSeen;
    const QFileInfo info(fileName);
    if (existed && (isReadOnly(fileName) || !info.isFile()))
        throw AppError::unableToWrite(fileName);
    const QString folder = info.path();
    if (folder == folderSeen)
        return;
    if (!QFileInfo(folder).isDir())
        throw AppError::unableToWrite(fileName);
    folderSeen = folder;
}

void syncFolder(const QString &folder)
{
#ifdef Q_OS_LINUX
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::syncfs(fd);
        ::close(fd);
    }
#elif !defined(Q_OS_WIN)
    Q_UNUSED(folder);
    ::sync();
#else
    Q_UNUSED(folder); // each file was written through QSaveFile, which syncs it
#endif
}

void forget(const QString &fileName)
{
    cache().forget(keyOfName(fileName));
}

void remove(const QString &fileName)
{
    cache().forget(keyOfName(fileName));
    if (QFile::exists(fileName) && !QFile::remove(fileName))
        throw AppError(QStringLiteral("Unable to delete %1").arg(fileName));
}

Statistics statistics()
{
    return cache().statistics;
}

void clear()
{
    cache().order.clear();
    cache().files.clear();
    cache().keys.clear();
    cache().bytes = 0;
}

} // namespace ProfileStore
