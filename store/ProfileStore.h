#pragma once

#include "ProfileDocument.h"

#include <QString>
#include <functional>
#include <memory>

// Process-wide parsed copies of profile files. A copy is reused while the file on disk is
// unchanged (same size, times and file identity); every write made through here updates it,
// and a change made by anyone else is seen at the next read.
namespace ProfileStore {

// The parsed file, or nullptr when it is missing or cannot be read.
std::shared_ptr<const ProfileDocument> load(const QString &fileName);

// Applies `edit` to the file (an empty document when it is missing) and, when the edit changed
// anything, replaces the file atomically. Throws AppError "Unable to write to <fileName>".
void modify(const QString &fileName, const std::function<bool(ProfileDocument &)> &edit);

struct Statistics
{
    qint64 parses = 0; // files read from disk and parsed
    qint64 writes = 0; // files written
};
Statistics statistics();
void clear();

} // namespace ProfileStore
