#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace Journal {
class Command;
}

// What a delete removed, kept so that it can be given back. The trash is the folder "Kosz" beside
// the catalogue files; no catalogue file lies in a folder of its own, so the export, the import,
// the name checks and the file lists of the commands (which list files, not folders) never see it.
//
// Each entry is a folder of its own, "Kosz/<UTC time of the delete>", that holds everything the
// entry needs: its description "wpis.gmd", a profile file in Windows-1250, and for a subcategory or
// a category the catalogue files it removed, under their own names, byte for byte.
//
//   [wpis]      rodzaj=pozycja | podkategoria | kategoria
//               nazwa=<the subcategory's or category's name>
//               kategoria=<category>, podkategoria=<subcategory, of an item or a subcategory>
//               miejsce=<the item's number, or the place the name had in its list>
//               usunieto=<UTC time, ISO 8601>
//   an item's description holds as well:
//   [pola]      1 .. 10: the subcategory's field names when the item was deleted
//   [pozycja]   the item's entries as its section held them ("pozycja1" .. "pozycja10", "opis",
//               "komentarz", "zdjecie"), byte for byte
//   [zdjecia]   and [config] "liczba_zdjec": its photo list, paths only
//
// Entries come and go with the commands' journals (see Journal): the description is written last
// in the journal of a delete and removed last by the journal of a restore, so a folder without one
// is no entry (a delete cut short before its journal was written) and is tidied away.
namespace Trash {

enum class Kind { Item, Subcategory, Category };

struct Entry
{
    QString folder; // full path
    Kind kind = Kind::Item;
    QString name; // an item's first field, or the subcategory's or category's name
    QString category;
    QString subcategory;
    int place = 0;
    QDateTime deleted;

    QString description() const;
    // The catalogue files the entry holds, full paths.
    QStringList files() const;
};

QString folderOf(const QString &dir);

// A new entry for a delete to fill: its folder is made at once, the rest through `command`.
Entry begin(const QString &dir, Kind kind, const QString &category, const QString &subcategory, int place);
// Adds to `command` the move of `file` into the entry, under its own name.
void keepFile(Journal::Command &command, const Entry &entry, const QString &file);
// Adds to `command` the writing of the entry's description: the [wpis] section added to `base`
// (an item's sections, already in Windows-1250).
void describe(Journal::Command &command, const Entry &entry, QByteArray base = {});

// Every entry, newest first.
QList<Entry> entries(const QString &dir);
// The entry kept in `folder`, or nothing when it is gone (restored, emptied) or was cut short.
std::optional<Entry> entryIn(const QString &folder);

// Gives the entry back to the catalogue and takes it out of the trash, all of it or, after a
// crash, nothing. Throws AppError with nothing changed when its place is gone or its name taken.
void restore(const QString &dir, const Entry &entry);
// Adds to `command` what takes a restored entry out of the trash; its folder goes after the run.
void forget(Journal::Command &command, const Entry &entry);
void removeFolder(const Entry &entry);

// Removes every entry.
void empty(const QString &dir);

// Removes what killed commands left in the trash (temporaries, folders of deletes cut short
// before their journal); answers how many files it removed.
int tidy(const QString &dir);

} // namespace Trash
