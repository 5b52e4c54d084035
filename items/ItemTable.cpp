#include "ItemTable.h"

#include "store/Error.h"

ItemTable ItemTable::read(const ProfileFile &itemFile, int count)
{
    ItemTable table;
    for (int field = 1; field <= 10; ++field) {
        const QString name = itemFile.ReadText(QStringLiteral("pozycje"), QString::number(field), QString());
        if (!name.isEmpty())
            table.columns.append({field, name});
    }
    QStringList keys;
    for (const Column &column : std::as_const(table.columns))
        keys.append(QStringLiteral("pozycja%1").arg(column.field));

    const int rows = std::min(count, maxRows);
    table.rows.reserve(std::max(rows, 0));
    for (int p = 0; p < rows; ++p) {
        const QString section = QString::number(p);
        QStringList values;
        values.reserve(keys.size());
        for (const QString &key : std::as_const(keys))
            values.append(itemFile.ReadText(section, key, QString()));
        table.rows.append(std::move(values));
    }
    return table;
}

int ItemTable::countFromText(const QString &text)
{
    if (const auto number = parseNumber(text.trimmed()))
        return *number;
    throw AppError(QStringLiteral("Liczba pozycji \"%1\" zapisana w pliku podkategorii nie jest liczbą całkowitą.")
                       .arg(text));
}
