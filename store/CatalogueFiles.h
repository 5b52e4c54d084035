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

// The longest file name, in bytes of UTF-8, that the file systems the program runs on take (ext4
// and most others; Windows counts 255 UTF-16 units, which are never more than the UTF-8 bytes).
constexpr qsizetype fileNameLimit = 255;

// One category with its subcategories, as the lists hold them.
struct CategoryNames
{
    QString name;
    QStringList subcategories;
};

// A name about to enter the catalogue: category `category` itself when `subcategory` is -1, else
// its subcategory `subcategory`; an index one past the end of its list is a new entry.
struct NewName
{
    int category = 0;
    int subcategory = -1;
    QString name;
};

// Why the new name cannot enter `catalogue`, or the empty text when it can: a name that
// nameProblem() refuses, a name equal to another of the same list without regard to letter case,
// catalogue files that would be another entry's files, or a file name too long for the file system.
QString clashProblem(const QList<CategoryNames> &catalogue, const NewName &change);

// The same rules over a whole catalogue at once, as an import brings it; the first fault found.
QString catalogueProblem(const QList<CategoryNames> &catalogue);

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
