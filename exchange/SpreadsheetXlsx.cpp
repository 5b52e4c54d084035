// The spreadsheet export as an Excel workbook, through libxlsxwriter.
#include "SpreadsheetExport.h"

#include "store/Error.h"

#include <QFile>
#include <QIODevice>
#include <QTemporaryDir>
#include <xlsxwriter.h>

#include <algorithm>
#include <memory>

namespace SpreadsheetExport {

namespace {

// A workbook's cell breaks its lines at LF alone and would show a CR as a stray character; a CSV
// keeps CR LF as stored, so that it comes back exactly through the import.
QString cellText(QString text)
{
    if (text.contains(QLatin1Char('\r'))) {
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    }
    return text;
}

// What one cell of a workbook can hold, in bytes of UTF-8, and the rows of one sheet.
constexpr qsizetype maxCellBytes = 32767;
constexpr qsizetype maxRows = LXW_ROW_MAX;
// Column widths in characters: wide enough for a short header, never so wide that one long
// description pushes every other column off the screen.
constexpr int minWidth = 8;
constexpr int maxWidth = 60;

struct CloseWorkbook
{
    void operator()(lxw_workbook *book) const { workbook_close(book); }
};

qsizetype longestLine(const QString &text)
{
    qsizetype longest = 0;
    qsizetype current = 0;
    for (const QChar c : text) {
        if (c == QLatin1Char('\n')) {
            longest = std::max(longest, current);
            current = 0;
        } else {
            ++current;
        }
    }
    return std::max(longest, current);
}

AppError tooLong(const QStringList &header, const QStringList &cells, qsizetype column)
{
    return AppError(QStringLiteral("Kolumna „%1” pozycji z podkategorii %2 kategorii %3 ma więcej tekstu, niż "
                                   "mieści komórka skoroszytu XLSX. Wyeksportuj te dane do pliku CSV.")
                        .arg(header[column], cells[1], cells[0]));
}

class Workbook
{
public:
    Workbook(const QString &fileName, const QString &tmpdir)
        : m_name(QFile::encodeName(fileName)), m_tmpdir(QFile::encodeName(tmpdir))
    {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE; // rows go to disk as they are written
        options.tmpdir = m_tmpdir.data();
        m_book.reset(workbook_new_opt(m_name.constData(), &options));
        if (!m_book)
            throw AppError(QStringLiteral("Nie udało się utworzyć skoroszytu XLSX."));
        m_sheet = workbook_add_worksheet(m_book.get(), "Katalog");
        m_header = workbook_add_format(m_book.get());
        format_set_bold(m_header);
        format_set_num_format(m_header, "@");
        m_text = workbook_add_format(m_book.get());
        format_set_num_format(m_text, "@"); // text, never a number or a date, also once edited
        m_wrapped = workbook_add_format(m_book.get());
        format_set_num_format(m_wrapped, "@");
        format_set_text_wrap(m_wrapped);
        format_set_align(m_wrapped, LXW_ALIGN_VERTICAL_TOP);
    }

    void writeRow(const QStringList &header, const QStringList &cells, lxw_format *format = nullptr)
    {
        if (m_row >= maxRows)
            throw AppError(QStringLiteral("Skoroszyt XLSX mieści najwyżej %1 wierszy. Wyeksportuj mniejszą część "
                                          "katalogu albo wybierz plik CSV.")
                               .arg(maxRows - 1));
        m_widths.resize(std::max(m_widths.size(), cells.size()), 0);
        for (qsizetype c = 0; c < cells.size(); ++c) {
            const QString cell = cellText(cells[c]);
            if (cell.isEmpty())
                continue;
            const QByteArray bytes = cell.toUtf8();
            if (bytes.size() > maxCellBytes)
                throw tooLong(header, cells, c);
            const bool lines = cell.contains(QLatin1Char('\n'));
            m_widths[c] = std::max(m_widths[c], lines ? longestLine(cell) : cell.size());
            worksheet_write_string(m_sheet, m_row, lxw_col_t(c), bytes.constData(),
                                   format ? format : (lines ? m_wrapped : m_text));
        }
        ++m_row;
    }
    lxw_format *headerFormat() const { return m_header; }

    // The header stays in sight and offers its filters; each column as wide as its content.
    void finish()
    {
        const auto columns = lxw_col_t(m_widths.size());
        worksheet_freeze_panes(m_sheet, 1, 0);
        if (columns > 0)
            worksheet_autofilter(m_sheet, 0, 0, m_row - 1, columns - 1);
        for (lxw_col_t c = 0; c < columns; ++c) {
            const double width = std::clamp<qsizetype>(m_widths[c] + 2, minWidth, maxWidth);
            worksheet_set_column(m_sheet, c, c, width, nullptr);
        }
        const lxw_error error = workbook_close(m_book.release());
        if (error != LXW_NO_ERROR)
            throw AppError(QStringLiteral("Nie udało się zapisać skoroszytu XLSX (%1). Sprawdź, czy na dysku jest "
                                          "dość miejsca.")
                               .arg(QString::fromUtf8(lxw_strerror(error))));
    }

private:
    QByteArray m_name;
    QByteArray m_tmpdir;
    std::unique_ptr<lxw_workbook, CloseWorkbook> m_book;
    lxw_worksheet *m_sheet = nullptr;
    lxw_format *m_header = nullptr;
    lxw_format *m_text = nullptr;
    lxw_format *m_wrapped = nullptr;
    lxw_row_t m_row = 0;
    QList<qsizetype> m_widths;
};

} // namespace

qsizetype writeXlsx(const Selection &selection, const QString &fileName)
{
    const Sheet sheet(selection);
    // The library writes to a name of its own; the finished workbook then replaces the file whole.
    const QTemporaryDir work;
    if (!work.isValid())
        throw AppError(QStringLiteral("Nie udało się utworzyć folderu tymczasowego dla skoroszytu XLSX."));
    const QString built = work.filePath(QStringLiteral("arkusz.xlsx"));
    {
        Workbook book(built, work.path());
        book.writeRow(sheet.header(), sheet.header(), book.headerFormat());
        sheet.eachRow([&](const QStringList &cells) { book.writeRow(sheet.header(), cells); });
        book.finish();
    }
    QFile result(built);
    if (!result.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Nie udało się odczytać zbudowanego skoroszytu XLSX."));
    const QByteArray bytes = result.readAll();
    saveFile(fileName, [&](QIODevice &file) { file.write(bytes); });
    return sheet.rowCount();
}

} // namespace SpreadsheetExport
