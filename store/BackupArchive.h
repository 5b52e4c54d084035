#pragma once

#include "Backup.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

// The zip side of Backup: the catalogue files read into memory, written to an archive and read
// back from one, every name checked before anything is written.
namespace BackupArchive {

// Catalogue files by their names without the data directory's prefix, with their bytes.
struct Contents
{
    QStringList names;
    QList<QByteArray> bytes;
    int items = 0;
};

// Reads every catalogue file of `dir` while no journaled command runs. Throws AppError when a
// command waits to be finished or a file cannot be read.
Contents readCatalogue(const QString &dir, const QString &prefix);

// Writes the archive under `temporary`, waits for the disk and gives it the name `path`. Throws
// AppError with a Polish message, leaving neither file, when it cannot.
void write(const QString &path, const QString &temporary, const Contents &contents, const Backup::Progress &progress);

// Every file of the archive, each name checked, each byte read and its checksum compared. Throws
// AppError with a Polish message for anything but a sound copy of a catalogue.
Contents read(const QString &archive);

// What the archive's comment says about the number of items, read from its end alone; -1 when
// it says nothing.
int itemCountOf(const QString &archive);

// The number of items an item file's counter gives.
int itemsOf(const QByteArray &itemFile);

} // namespace BackupArchive
