#pragma once

#include "store/ProfileFile.h"

#include <QList>
#include <QStringList>

// What the item list of the main window shows of one subcategory: a column for every field that
// has a name, and a row for every item, row p showing item number p. Each value stands under its
// own field's name, also where an unnamed field leaves a gap between named ones.
namespace ItemTable {

struct Column
{
    int field = 0; // 1 .. 10
    QString name;
};

// The named fields of section "pozycje", in field order.
QList<Column> readColumns(const ProfileFile &itemFile);

// Why the rows are not what the count says (it is negative, or claims items the file does not
// hold), or the empty text.
QString countProblem(const ProfileFile &itemFile, int count);

// The item count as the main window reads it, as text; throws AppError when it is no number.
int countFromText(const QString &text);

} // namespace ItemTable
