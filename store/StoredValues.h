#pragma once

#include "store/FileAccess.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>

class ProfileDocument;
struct KeyedList;

// Catalogue files read straight from the disk, as ProfileFile reads them but without the profile
// store, so that a walk over the whole catalogue may run on a thread of its own.
namespace StoredValues {

// Files larger than these are no catalogue file the program wrote: passed over, as missing.
constexpr qint64 maxListBytes = 16LL * 1024 * 1024;
constexpr qint64 maxItemFileBytes = 256LL * 1024 * 1024;

// Nothing when the file is missing, unreadable or larger than `maxSize`.
std::optional<FileAccess::Contents> readFile(const QString &fileName, qint64 maxSize);

// A value as ProfileFile::ReadText reads it, and a number of section "config" as ReadNumber does.
QString text(const ProfileDocument &document, QByteArrayView section, QByteArrayView key);
int number(const ProfileDocument &document, QByteArrayView key);

// The entries of a keyed list, bounded by what the file holds, as KeyedList::read bounds them.
QStringList entries(const ProfileDocument &document, const KeyedList &list);

} // namespace StoredValues
