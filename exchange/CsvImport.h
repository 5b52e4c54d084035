#pragma once

#include "CsvReader.h"
#include "items/ItemStore.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Items of a CSV file appended to one subcategory: each column goes to one of the ten fields, the
// description, the comment or the photos, or nowhere.
namespace CsvImport {

// A column's target: fields 1 .. 10 are 0 .. 9.
enum Target : int { Description = 10, Comment = 11, Photos = 12, Skip = 13 };
constexpr int targetCount = 14;

// The file as read once, with what its bytes suggest.
struct Source
{
    QString fileName;
    QByteArray bytes;
    CsvReader::Encoding encoding = CsvReader::Encoding::Utf8;
    QChar separator = QLatin1Char(';');
};
// Throws AppError when the file cannot be read.
Source load(const QString &fileName);

struct Options
{
    CsvReader::Encoding encoding = CsvReader::Encoding::Utf8;
    QChar separator = QLatin1Char(';');
    bool header = true; // the first row names the columns and is no item
    QList<int> targets; // by column; a column without one is skipped
};

// The rows as the import reads them, the header among them, at most `maxRows` when not negative.
CsvReader::Table read(const Source &source, const Options &options, int maxRows = -1);

// The subcategory's ten field names, empty ones too.
QStringList fieldNames(const ItemStore::Place &place);

// A target for each of `columns` columns: a column whose header is a field's name goes to that
// field, "Opis", "Komentarz" and "Zdjęcia" to theirs; every other one to the next field not taken.
QList<int> proposedTargets(const QStringList &header, const QStringList &fieldNames, int columns);

// Appends every row after the subcategory's items, as one command that a crash leaves undone or
// done whole; answers how many were added. When the subcategory has no field names, the header
// names the fields it fills. Throws AppError, with nothing written, for a damaged file, two
// columns with one target, or a value the catalogue cannot hold (naming its row and column).
int run(const ItemStore::Place &place, const Source &source, const Options &options);

} // namespace CsvImport
