#pragma once

#include <QByteArray>
#include <QString>
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
};

std::optional<Contents> readWhole(const QByteArray &nativeName);

bool isReadOnly(const QString &fileName);

// Replaces the file through QSaveFile, which waits for the disk. Throws AppError "Unable to write to".
void writeAtomically(const QString &fileName, const QByteArray &bytes);

// As atomic, without waiting for the disk; `existed` tells whether the file was there when read.
void writeWithoutSync(const QString &fileName, const QByteArray &bytes, bool existed);

} // namespace FileAccess
