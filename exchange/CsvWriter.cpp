#include "CsvWriter.h"

#include "store/Codepage.h"

#include <QIODevice>

namespace {

bool needsQuotes(const QString &cell)
{
    for (const QChar c : cell) {
        switch (c.unicode()) {
        case ';':
        case ',':
        case '"':
        case '\r':
        case '\n':
            return true;
        default:
            break;
        }
    }
    return false;
}

} // namespace

CsvWriter::CsvWriter(QIODevice &device, Encoding encoding, QChar separator)
    : m_device(device), m_encoding(encoding), m_separator(separator)
{
    if (m_encoding == Encoding::Utf8WithBom)
        m_device.write("\xEF\xBB\xBF", 3);
}

void CsvWriter::writeRow(const QStringList &cells)
{
    m_line.clear();
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            m_line += m_separator;
        const QString &cell = cells[i];
        if (!needsQuotes(cell)) {
            m_line += cell;
            continue;
        }
        m_line += QLatin1Char('"');
        for (const QChar c : cell) {
            if (c == QLatin1Char('"'))
                m_line += QLatin1Char('"');
            m_line += c;
        }
        m_line += QLatin1Char('"');
    }
    m_line += QLatin1String("\r\n");
    m_device.write(m_encoding == Encoding::Utf8WithBom ? m_line.toUtf8() : Codepage::encode(m_line));
}
