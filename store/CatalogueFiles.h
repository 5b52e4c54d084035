#pragma once

#include "ProfileFile.h"

#include <QString>
#include <QStringList>

// The catalogue is a tree of files whose links are their names: every name is the data
// directory followed directly by the parts below, with no separator added.
namespace CatalogueFiles {

QString categoryList(const QString &dir);
QString subcategoryList(const QString &dir, const QString &category);
QString itemFile(const QString &dir, const QString &category, const QString &subcategory);
QString photoList(const QString &dir, const QString &category, const QString &subcategory, int item);

// Why a category or subcategory name cannot be used, or the empty text when it can. A name
// becomes part of file names, so it must not lead out of the data directory or be refused by
// Windows; and it must read back as typed, so it cannot start or end with blanks.
QString nameProblem(const QString &name);

constexpr qsizetype maxNameLength = 100;

// Throws AppError when a list of `what` (a plural genitive: "kategorii", "pozycji") whose count in
// `fileName` is `count` cannot take one more entry: the count is negative or at its largest.
void checkCanGrow(int count, const QString &what, const QString &fileName);

// What to tell the user when a count claims more entries than the file holds (`present`, what a
// reader can reach), or is negative; the empty text when they agree.
QString countProblem(int count, int present, const QString &what, const QString &fileName);

} // namespace CatalogueFiles

// A list kept as a counter in section "config" and entries "0" .. counter - 1 in its own section.
struct KeyedList
{
    QString section;
    QString counterKey;
    QString what; // the entries' name in messages

    static const KeyedList categories;
    static const KeyedList subcategories;
    static const KeyedList photos;

    int count(const ProfileFile &file) const;
    // The `count` entries, a missing one as the empty text, but none past what the file holds: a
    // damaged count must neither hang the reader nor make up a long list of empty entries.
    QStringList read(const ProfileFile &file) const;
    // Why what read() gives is not what the count says, or the empty text.
    QString problem(const ProfileFile &file) const;
    // The entry and the counter in one atomic write: a failed write leaves the list as it was.
    // Throws AppError, writing nothing, when the count cannot take one more.
    void append(ProfileFile &file, const QString &entry) const;
};
