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

} // namespace CatalogueFiles

// A list kept as a counter in section "config" and entries "0" .. counter - 1 in its own section.
struct KeyedList
{
    QString section;
    QString counterKey;

    static const KeyedList categories;
    static const KeyedList subcategories;
    static const KeyedList photos;

    static constexpr int maxEntries = 100'000;

    int count(const ProfileFile &file) const;
    // Exactly `count` entries; a missing entry reads as the empty text.
    QStringList read(const ProfileFile &file) const;
    // The entry and the counter in one atomic write: a failed write leaves the list as it was.
    void append(ProfileFile &file, const QString &entry) const;
};
