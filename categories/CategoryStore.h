#pragma once

#include "store/CatalogueFiles.h"
#include "store/Trash.h"

#include <QString>
#include <QStringList>

// Deleting, reordering and renaming categories and subcategories together with every catalogue
// file named after them: subcategory lists, item files and photo lists. Picture files are never
// touched.
namespace CategoryStore {

// Writes a list anew, densely, in the given order (the category list when `category` is empty,
// else that category's subcategory list), in one atomic write.
void writeCategories(const QString &dir, const QStringList &names);
void writeSubcategories(const QString &dir, const QString &category, const QStringList &names);

// The bytes of a list file (`list` in `fileName`) written anew with `names`, densely, for a journal.
QByteArray listBytes(const QString &fileName, const KeyedList &list, const QStringList &names);

// Writes the list without the entry (`remaining`, in their order) and removes every file named
// after it: for a category its subcategory list and the item and photo list files of its
// subcategories, for a subcategory its item file and photo lists. All of it or, after a crash,
// nothing (see Journal).
void deleteCategory(const QString &dir, const QStringList &remaining, const QString &category);
void deleteSubcategory(const QString &dir, const QString &category, const QStringList &remaining,
                       const QString &subcategory);

// Give a trash entry back under its name, at the place it had, with its files, and take it out of
// the trash; all of it or, after a crash, nothing. Throw AppError with nothing changed when the name
// is taken (or its files' names), or a subcategory's category is gone.
void restoreSubcategory(const QString &dir, const Trash::Entry &entry);
void restoreCategory(const QString &dir, const Trash::Entry &entry);

// Every category with its subcategories, as the lists in `dir` hold them.
QList<CatalogueFiles::CategoryNames> catalogueNames(const QString &dir);

// Why the entry that `change` names cannot take its new name (CatalogueFiles::clashProblem, or a
// file of the new name in the way of the entry's files), or the empty text when it can.
QString renameProblem(const QString &dir, const QList<CatalogueFiles::CategoryNames> &catalogue,
                      const CatalogueFiles::NewName &change);

// Carries every file named after the entry to its new name and writes the entry and the
// active-selection key, all of it or, after a crash, nothing (see Journal). Throws AppError with
// nothing changed when a new name is another file's.
void renameCategory(const QString &dir, int index, const QString &oldName, const QString &newName);
void renameSubcategory(const QString &dir, const QString &category, int index, const QString &oldName,
                       const QString &newName);

} // namespace CategoryStore
