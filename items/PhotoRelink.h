#pragma once

#include <QString>

// Photos whose folder the collector moved: every photo list of the catalogue that names a file of
// the old folder is pointed at the new one, for the files that are there now.
namespace PhotoRelink {

struct Result
{
    int relinked = 0; // distinct paths now naming the file in the new folder
    int left = 0;     // paths under the old folder whose file the new one does not hold: unchanged
    int files = 0;    // photo lists written
};

// Where `path` would be if `oldFolder` were `newFolder`: the rest of the path after the old folder
// kept, its separators the new folder's. The empty text when the path is not under the old folder
// (compared as stored; without regard to letter case only on Windows).
QString moved(const QString &path, const QString &oldFolder, const QString &newFolder);

// One command over the whole catalogue, through the journal: a crash leaves every photo list as it
// was or every one relinked. Throws AppError, changing nothing, when a new path cannot be stored
// (a character outside Windows-1250, a path too long) or a photo list cannot be written.
Result run(const QString &dir, const QString &oldFolder, const QString &newFolder);

} // namespace PhotoRelink
