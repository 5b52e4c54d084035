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
