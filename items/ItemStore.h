#pragma once

#include "store/Trash.h"

#include <QString>
#include <QStringList>

class ProfileEdit;
// One item of a subcategory as the item windows show it: ten field values, the description and
// the comment. The single photo path "zdjecie" travels with it where an item is moved.
struct ItemValues
{
    QStringList fields = QStringList(10); // "pozycja1" .. "pozycja10"
    QString description;                  // "opis", may hold line breaks
    QString comment;                      // "komentarz", may hold line breaks
    QString photo;                        // "zdjecie"
};

// The item operations. Each works on the item file and photo list files named by the data
// directory, category and subcategory it is given, and writes each file once, atomically.
namespace ItemStore {

struct Place
{
    QString dir;
    QString category;
    QString subcategory;

    QString itemFile() const;
    QString photoList(int item) const;
};

// Throws AppError, before anything is written, for text the item file cannot hold: a character
// outside Windows-1250, a line break in a field, or a value too long to be read back whole. A
// field is named by `fieldNames` (its label in the window), or as "Pole N" where that is empty.
void checkStorable(const ItemValues &values, const QStringList &fieldNames = {});

ItemValues read(const Place &place, int item);

// Writes the ten fields, the description and the comment into section `item` of an item file
// being edited, in the form every reader of items expects.
void writeValues(ProfileEdit &edit, int item, const ItemValues &values);

// Appends a new item (its ten fields, description and comment) and raises the count; answers its
// number. The new item starts without photos, whatever an earlier item of that number left behind.
// Throws AppError, writing nothing, when the count is damaged or cannot take one more.
int add(const Place &place, const ItemValues &values);

// Writes the ten fields, the description and the comment of an existing item back in place.
void save(const Place &place, int item, const ItemValues &values);

// Deletes item `item`: the last item moves into its number with its photo list, and the count
// drops by one. The picture files themselves are never touched. What it removed goes into the
// trash (Trash), in the same journal, unless `keepInTrash` is false.
void remove(const Place &place, int item, bool keepInTrash = true);

// Appends the item of a trash entry, with its photo list, as a new last item of its subcategory,
// and takes the entry out of the trash. Throws AppError, changing nothing, when the subcategory is gone.
void restore(const QString &dir, const Trash::Entry &entry);

// The photo paths of an item, and appending to and removing from them.
QStringList photos(const Place &place, int item);
void addPhoto(const Place &place, int item, const QString &path);
void setPhotos(const Place &place, int item, const QStringList &paths);

} // namespace ItemStore
