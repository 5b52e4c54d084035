#include "FileAccess.h"

#include "Error.h"
#include "LargePages.h"

#include <QFile>
#include <QSaveFile>

#ifdef Q_OS_WIN
#include <QDateTime>
#include <QFileInfo>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace FileAccess {

namespace {
#ifndef Q_OS_WIN
Stamp stampOf(const struct stat &st)
{
    return Stamp{qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                 qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec,
                 (quint64(st.st_dev) << 32) ^ quint64(st.st_ino)};
}
#endif
} // namespace


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


#ifdef Q_OS_WIN
std::optional<Contents> readWhole(const QByteArray &nativeName, qint64 maxSize)
{
    const std::optional<Stamp> before = stampOf(nativeName);
    QFile file(QFile::decodeName(nativeName));
    if (before && before->size > maxSize)
        return Contents{{}, *before, true};
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
std::optional<Contents> readWhole(const QByteArray &nativeName, qint64 maxSize)
{
    // Without waiting, should the name lead to a pipe; only a regular file is read.
    const int fd = ::open(nativeName.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat before;
    if (::fstat(fd, &before) != 0 || !S_ISREG(before.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    if (before.st_size > maxSize) {
        ::close(fd);
        return Contents{{}, stampOf(before), true};
    }
    QByteArray bytes(qsizetype(before.st_size) + 1, Qt::Uninitialized); // the byte more shows the end at once
    LargePages::prefer(bytes.data(), size_t(bytes.size()));
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

bool isReadOnly(const QString &fileName)
{
    return QFile::exists(fileName) && !(QFile::permissions(fileName) & QFileDevice::WriteOwner);
}

#ifdef Q_OS_WIN
// Unbuffered, so that a write the disk refuses fails here and not in a flush whose error
// commit() would not report.
void writeAtomically(const QString &fileName, const QByteArray &bytes)
{
    QSaveFile file(fileName);
    if (isReadOnly(fileName) || !file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        file.write(bytes) != bytes.size() || file.error() != QFileDevice::NoError || !file.commit())
        throw AppError::unableToWrite(fileName);
}

void writeWithoutSync(const QString &fileName, const QByteArray &bytes, bool)
{
    writeAtomically(fileName, bytes);
}

// Each file was written through QSaveFile, which syncs it.
void syncFile(const QString &) {}
void syncFolder(const QString &) {}
#else
namespace {

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

// A file system that cannot sync (a pipe, some network mounts) has nothing to wait for.
bool synced(int fd)
{
    return ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
}

enum class Created { Unsupported, Done, Failed };

// A new file made whole before it gets its name: an unnamed file in the folder, linked under the
// name once written. Unsupported where the system offers no such file or the name is taken meanwhile.
Created createWhole(const QByteArray &target, const QByteArray &bytes)
{
#ifdef O_TMPFILE
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : target.left(std::max<qsizetype>(slash, 1));
    const int fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? Created::Failed : Created::Unsupported;
    if (!writeAll(fd, bytes)) {
        ::close(fd);
        return Created::Failed;
    }
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    const bool linked = ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, target.constData(), AT_SYMLINK_FOLLOW) == 0;
    if (::close(fd) != 0 && linked) {
        ::unlink(target.constData()); // the file was not there before: taking it away is what it was
        return Created::Failed;
    }
    return linked ? Created::Done : Created::Unsupported;
#else
    Q_UNUSED(target);
    Q_UNUSED(bytes);
    return Created::Unsupported;
#endif
}

// The text goes to a temporary file beside the target, which takes the target's name only once
// every byte has been accepted (and, with `sync`, has reached the disk). Any failure removes the
// temporary file and leaves the target as it was.
void replaceWhole(const QString &fileName, const QByteArray &bytes, bool sync)
{
    const QByteArray target = QFile::encodeName(fileName);
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
    bool written = writeAll(fd, bytes) && (!exists || ::fchmod(fd, st.st_mode & 07777) == 0) && (!sync || synced(fd));
    written = ::close(fd) == 0 && written;
    if (!written || ::rename(temporary.constData(), target.constData()) != 0) {
        ::unlink(temporary.constData());
        throw AppError::unableToWrite(fileName);
    }
}

} // namespace

void writeAtomically(const QString &fileName, const QByteArray &bytes)
{
    replaceWhole(fileName, bytes, true);
}

// As atomic as writeAtomically (the file holds the old text or the new, never part of one), but
// without waiting for the disk after each file: a sync costs milliseconds a file, which an import
// of a hundred thousand photo lists cannot afford. The batch syncs once at its end.
void writeWithoutSync(const QString &fileName, const QByteArray &bytes, bool existed)
{
    if (!existed) {
        switch (createWhole(QFile::encodeName(fileName), bytes)) {
        case Created::Done:
            return;
        case Created::Failed:
            throw AppError::unableToWrite(fileName);
        case Created::Unsupported:
            break;
        }
    }
    replaceWhole(fileName, bytes, false);
}

void syncFile(const QString &fileName)
{
    const int fd = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw AppError::unableToWrite(fileName);
    const bool ok = synced(fd);
    if (::close(fd) != 0 || !ok)
        throw AppError::unableToWrite(fileName);
}

// A write-back that failed after the files were renamed into place is reported here: the files
// may not hold what the command wrote.
void syncFolder(const QString &folder)
{
#ifdef Q_OS_LINUX
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        throw AppError::unableToWrite(folder);
    const bool ok = ::syncfs(fd) == 0;
    if (::close(fd) != 0 || !ok)
        throw AppError::unableToWrite(folder);
#else
    Q_UNUSED(folder);
    ::sync();
#endif
}
#endif

} // namespace FileAccess
