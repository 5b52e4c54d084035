#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Comma-separated text as spreadsheets save it: fields between double quotation marks may hold the
// separator, line breaks and quotation marks written twice; records end with CR LF or LF.
namespace CsvReader {

enum class Encoding { Utf8, Windows1250 };

// UTF-8 when the bytes start with its byte-order mark or are valid UTF-8 (plain ASCII is), else
// Windows-1250, in which every byte is some character.
Encoding detectEncoding(const QByteArray &bytes);
// The text of the bytes, without a byte-order mark.
QString decode(const QByteArray &bytes, Encoding encoding);

// The one of comma, semicolon and tab that splits the first records alike, quoted parts aside;
// a semicolon when none does, as a Polish spreadsheet writes it.
QChar detectSeparator(const QString &text);

struct Table
{
    QList<QStringList> rows;
    int columns = 0; // the most fields any row holds
};

// The records of `text`, at most `maxRows` of them when it is not negative; a record that is one
// empty line is no row. Throws AppError naming `fileName` and the line where a quoted field
// opens without ever closing.
Table parse(const QString &text, QChar separator, const QString &fileName, int maxRows = -1);

} // namespace CsvReader
