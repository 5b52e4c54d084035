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

// A damaged count must not make the list read millions of empty rows.
constexpr int maxRows = 100'000;

// The named fields of section "pozycje", in field order.
QList<Column> readColumns(const ProfileFile &itemFile);

// Items 0 .. count - 1, each the values of `columns`.
QList<QStringList> readRows(const ProfileFile &itemFile, const QList<Column> &columns, int count);

// The item count as the main window reads it, as text; throws AppError when it is no number.
int countFromText(const QString &text);

} // namespace ItemTable
