#include "ItemTable.h"

#include "store/CatalogueFiles.h"
#include "store/Error.h"

namespace ItemTable {

QList<Column> readColumns(const ProfileFile &itemFile)
{
    QList<Column> columns;
    for (int field = 1; field <= 10; ++field) {
        const QString name = itemFile.ReadText(QStringLiteral("pozycje"), QString::number(field), QString());
        if (!name.isEmpty())
            columns.append({field, name});
    }
    return columns;
}

QList<QStringList> readRows(const ProfileFile &itemFile, const QList<Column> &columns, int count)
{
    QStringList keys;
    for (const Column &column : columns)
        keys.append(QStringLiteral("pozycja%1").arg(column.field));

    const int rowCount = std::clamp(count, 0, itemFile.NumberedSections());
    QList<QStringList> rows;
    rows.reserve(rowCount);
    for (int p = 0; p < rowCount; ++p) {
        const QString section = QString::number(p);
        QStringList values;
        values.reserve(keys.size());
        for (const QString &key : std::as_const(keys))
            values.append(itemFile.ReadText(section, key, QString()));
        rows.append(std::move(values));
    }
    return rows;
}

QString countProblem(const ProfileFile &itemFile, int count)
{
    return CatalogueFiles::countProblem(count, itemFile.NumberedSections(), QStringLiteral("pozycji"),
                                        itemFile.fileName());
}

int countFromText(const QString &text)
{
    if (const auto number = parseNumber(text.trimmed()))
        return *number;
    throw AppError(
        QStringLiteral("Liczba pozycji \"%1\" zapisana w pliku podkategorii nie jest liczbą całkowitą.").arg(text));
}

} // namespace ItemTable
