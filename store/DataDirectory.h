#pragma once

#include <QString>
#include <memory>

class QSettings;

// The folder that holds the catalogue files. Its path is the one value kept in the per-user
// settings: on Windows HKEY_CURRENT_USER\Software\Gromadnik, value "path"; elsewhere Qt's per-user
// settings file of the organisation "Gromadnik". Every command reads it afresh.
namespace DataDirectory {

// The stored path exactly as saved, or the empty text while none is. Throws AppError
// "Invalid data type for 'path'" when the stored value is not text.
QString path();

// The error that path() would raise now, or the empty text while the stored value can be read.
QString problem();

// Throws AppError "Failed to set data for 'path'" when the value cannot be stored.
void setPath(const QString &path);

// The per-user settings store that holds the path; other groups of it keep how the windows looked.
std::unique_ptr<QSettings> userSettings();

// The path the settings window offers before the user types one.
QString defaultPath();

} // namespace DataDirectory
