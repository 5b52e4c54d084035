#pragma once

#include <QString>
#include <QStringList>

class QIODevice;

// Rows of text as a spreadsheet reads them: cells between separators, a cell that holds a
// separator (either kind), a quotation mark or a line break between quotation marks with its own
// marks doubled, every row ended by CR LF.
class CsvWriter
{
public:
    enum class Encoding {
        Utf8WithBom, // what spreadsheets recognise as UTF-8 without asking
        Windows1250, // the catalogue's own code page, for older spreadsheets
    };

    // The byte-order mark, where the encoding has one, goes out at once.
    CsvWriter(QIODevice &device, Encoding encoding, QChar separator = QLatin1Char(';'));

    // Throws AppError when a Windows-1250 row holds a character the code page cannot.
    void writeRow(const QStringList &cells);

private:
    QIODevice &m_device;
    Encoding m_encoding;
    QChar m_separator;
    QString m_line;
};
