#pragma once

#include "CsvWriter.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QIODevice;

// The catalogue as a spreadsheet: one row per item with its category, subcategory, fields,
// description, comment and photo paths. The catalogue files are only read.
namespace SpreadsheetExport {

enum class Scope { Subcategory, Category, Catalogue };

struct Selection
{
    QString dir;
    Scope scope = Scope::Catalogue;
    QString category;    // for Subcategory and Category
    QString subcategory; // for Subcategory
};

// The rows of a selection, read once. Subcategories name their fields differently: each distinct
// name gets one column, in the order the names first appear, so that a spreadsheet can filter by
// it. A field without a name keeps its place as "Pole N" where a later field has a name or some
// item a value; a name that stands twice in one subcategory gets a second column, "Rok (2)".
class Sheet
{
public:
    explicit Sheet(const Selection &selection);
    ~Sheet();

    const QStringList &header() const { return m_header; }
    qsizetype rowCount() const { return m_rowCount; }

    // Each row's cells in header order; a value's line breaks stay as stored (CR LF in a file made
    // on Windows), and the photo paths stand one per line.
    void eachRow(const std::function<void(const QStringList &cells)> &visit) const;

    struct Part;

private:
    QString m_dir;
    QStringList m_header;
    std::vector<std::unique_ptr<Part>> m_parts;
    qsizetype m_rowCount = 0;
};

// Writes `fileName` whole through `write`, atomically: a failed write (a full disk, a folder that
// cannot be written) leaves what stood under that name as it was and throws AppError.
void saveFile(const QString &fileName, const std::function<void(QIODevice &)> &write);

// Each writes the whole file or, failing, leaves whatever stood under that name as it was and
// throws AppError with a Polish message. Answers the number of items written.
qsizetype writeCsv(const Selection &selection, const QString &fileName, CsvWriter::Encoding encoding,
                   QChar separator);
qsizetype writeXlsx(const Selection &selection, const QString &fileName);

// "1 pozycję", "3 pozycje", "5 pozycji": the count with the word as a sentence takes it.
QString itemCountText(qsizetype count);

} // namespace SpreadsheetExport
