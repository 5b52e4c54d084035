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
    // While nothing in the cache has changed since, the copy it was given is still the one.
    quint64 seenGeneration = 0;
    const ProfileDocument *seen = nullptr;
};

// The parsed file, or nullptr when it is missing or cannot be read; valid until the next call here.
const ProfileDocument *load(const QString &fileName, Reader &reader);

// A category or subcategory list file far too large to be one reads as missing, and writing to it
// throws AppError. The message telling the user so, once for each version of the file refused;
// the empty text when that version was told before or the file was not refused.
QString takeRefusal(const QString &fileName);

// Applies `edit` to the file (an empty document when it is missing) and, when the edit changed
// anything, replaces the file atomically. Throws AppError "Unable to write to <fileName>".
void modify(const QString &fileName, const std::function<bool(ProfileDocument &)> &edit);

// Replaces the whole file with `bytes`, atomically. Throws AppError "Unable to write to <fileName>".
void replace(const QString &fileName, const QByteArray &bytes);

// The name under which every spelling of the file's name is known here.
QString keyOf(const QString &fileName);

// For a batch of edits: the file's parsed copy (an empty one when it is missing, as `existed`
// tells), taken out of the cache so that the caller owns it until commit().
std::shared_ptr<ProfileDocument> checkOut(const QString &fileName, bool &existed);

// A batch is about to write the file (see FileAccess::writeWithoutSync): its parsed copy here is
// out of date.
void writing(const QString &fileName);

// Throws AppError "Unable to write to <fileName>" when the file is read-only or its folder is
// missing, as the first write of a value would.
void checkWritable(const QString &fileName, bool existed);

// Waits until the file, or every file written into `folder` (and whatever else waits to be
// written on that disk), has reached the disk. Throws AppError "Unable to write to <name>" when
// the system reports that it could not be written.
void syncFile(const QString &fileName);
void syncFolder(const QString &folder);

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
