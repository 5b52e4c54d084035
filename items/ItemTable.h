#pragma once

#include "store/ProfileFile.h"

#include <QList>
#include <QStringList>

// What the item list of the main window shows of one subcategory: a column for every field that
// has a name, and a row for every item, row p showing item number p.
struct ItemTable
{
    struct Column
    {
        int field = 0; // 1 .. 10
        QString name;
    };
    QList<Column> columns;
    QList<QStringList> rows; // the values of each row, one per column

    // A damaged count must not make the list read millions of empty rows.
    static constexpr int maxRows = 100'000;

    // Columns from section "pozycje" of the item file, rows 0 .. count - 1. Each value stands under
    // its own field's name, also where an unnamed field leaves a gap between named ones.
    static ItemTable read(const ProfileFile &itemFile, int count);

    // The item count as the main window reads it, as text; throws AppError when it is no number.
    static int countFromText(const QString &text);
};
