#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// Copies of the whole catalogue, each one zip archive in a folder of its own outside the data
// folder, and the way back to one of them. An archive holds every catalogue file of the data
// directory under its name without the data directory's prefix, byte for byte, and nothing else;
// its comment records how many items the catalogue held.
namespace Backup {

// The share of the work done, 0 .. 1000.
using Progress = std::function<void(int)>;

// The folder the archives go to: the one chosen in the settings window, or else the program's
// folder of the user's data.
QString folder();
QString defaultFolder();
// The empty text goes back to the default. Kept in the per-user settings, never in the catalogue.
void setFolder(const QString &folder);

// "Gromadnik 2026-12-10 08-30-15.zip", and back; an invalid time for a name this program did not give.
QString archiveName(const QDateTime &made);
QDateTime madeAt(const QString &fileName);

// The catalogue files of the data directory `dir`: the files of its folder named as catalogue files
// (the data directory's prefix, ending in ".gmd"), as full names, sorted.
QStringList catalogueFiles(const QString &dir);

struct Archive
{
    QString path;
    QDateTime made;
    qint64 size = 0;
    int items = -1; // -1 when the archive does not say
};

// The archives of `folder` this program named, newest first.
QList<Archive> list(const QString &folder);

// Which of the archives made at `made` to delete when `now` is the time: all but the newest 20
// and the newest of each of the last 12 months (the present one included).
QList<QDateTime> expired(QList<QDateTime> made, const QDateTime &now);

// Makes an archive of the catalogue of `dir` in `folder` (created when missing), named by the
// present time, written under a temporary name and renamed when whole; then deletes the archives
// that expired(). Answers its full name, or the empty text when the data directory holds no
// catalogue file yet: there is nothing to lose, and a first import must not be stopped. Throws AppError with a Polish message, leaving no
// partial archive, when it cannot be made. Reads the catalogue files only, so it may run on a
// thread of its own; it takes Journal::commandLock() while it reads them.
QString create(const QString &dir, const QString &folder, const Progress &progress = {});

// Replaces every catalogue file of `dir` by the archive's content, as one journaled command: a
// crash leaves the catalogue as it was or as the archive holds it. Catalogue files the archive does
// not hold are removed. Throws AppError with a Polish message, having changed nothing, for an
// archive that is damaged, not a copy of a catalogue, or names a file outside the data folder.
// `beforeChange` runs once the whole archive has been read and found sound, before any file of the
// catalogue changes (the backup of the present catalogue); an error it throws stops the restore.
void restore(const QString &dir, const QString &archive, const std::function<void()> &beforeChange = {});

} // namespace Backup
