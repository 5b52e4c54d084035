#pragma once

#include "ProfileDocument.h"

#include <QString>
#include <functional>
#include <memory>

// Process-wide parsed copies of profile files. A copy is reused while the file on disk is
// unchanged (same size, times and file identity); every write made through here updates it.
namespace ProfileStore {

// What a reader of one file keeps between its reads: the file's key in the cache, and which copy
// of the file it was last given. While that copy is still the current one the disk is not asked
// again, so a reader sees every write of this program at once, and a change made by another
// program when it is made anew, at the next command.
struct Reader
{
    QString key;
    quint64 seenVersion = 0;
};

// The parsed file, or nullptr when it is missing or cannot be read; valid until the next call here.
const ProfileDocument *load(const QString &fileName, Reader &reader);

// Applies `edit` to the file (an empty document when it is missing) and, when the edit changed
// anything, replaces the file atomically. Throws AppError "Unable to write to <fileName>".
void modify(const QString &fileName, const std::function<bool(ProfileDocument &)> &edit);

// Replaces the whole file with `bytes`, atomically. Throws AppError "Unable to write to <fileName>".
void replace(const QString &fileName, const QByteArray &bytes);

// Drops the parsed copy of a file that is about to be renamed or changed outside the store.
void forget(const QString &fileName);

// Deletes the file; a missing file is no error. Throws AppError "Unable to delete <fileName>".
void remove(const QString &fileName);

struct Statistics
{
    qint64 parses = 0; // files read from disk and parsed
    qint64 writes = 0; // files written
};
Statistics statistics();
void clear();

} // namespace ProfileStore
