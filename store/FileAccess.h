#pragma once

#include <QByteArray>
#include <QString>
#include <limits>
#include <optional>

// The file system as the profile store meets it: what tells two versions of a file apart, reading
// a whole file, and the two atomic ways of replacing one.
namespace FileAccess {

// What tells two versions of a file apart without reading it.
struct Stamp
{
    qint64 size = -1;
    qint64 modified = 0;
    qint64 changed = 0;
    quint64 identity = 0;
    bool operator==(const Stamp &) const = default;
};

// Nothing when there is no regular file of that name.
std::optional<Stamp> stampOf(const QByteArray &nativeName);

struct Contents
{
    QByteArray bytes;
    Stamp stamp; // of the version read, or an empty one when the file changed while it was read
    bool tooLarge = false; // over the size asked for: nothing read, `stamp` tells the version
};

// Nothing when the file is missing or cannot be read.
std::optional<Contents> readWhole(const QByteArray &nativeName, qint64 maxSize = std::numeric_limits<qint64>::max());

bool isReadOnly(const QString &fileName);

// Replaces the file atomically and waits until it has reached the disk. Throws AppError "Unable
// to write to <fileName>" unless every byte was taken; the file then keeps what it held, and no
// temporary file is left.
void writeAtomically(const QString &fileName, const QByteArray &bytes);

// As atomic, without waiting for the disk; `existed` tells whether the file was there when read.
void writeWithoutSync(const QString &fileName, const QByteArray &bytes, bool existed);

// Wait until the file, or everything written on the folder's disk, has reached it. Throw AppError
// "Unable to write to <name>" when the system reports that it could not be written.
void syncFile(const QString &fileName);
void syncFolder(const QString &folder);

} // namespace FileAccess
