#pragma once

#include <QDate>
#include <QList>
#include <QPageLayout>
#include <QString>
#include <QStringList>

class QPagedPaintDevice;
struct SearchHit;

// A printed list of items: one subcategory in the order the item list shows it, or the items a
// search found. Made as HTML, drawn onto PDF pages or a printer's.
namespace Report {

struct Row
{
    QString category;
    QString subcategory;
    QStringList values; // one for each header, line breaks of a description kept
    QString photo;      // the item's first photo, or empty
};

struct Content
{
    QString title;       // the category and subcategory, or the searched text
    QString summary;     // the item count
    bool placeColumns = false; // rows from several subcategories: "Kategoria" and "Podkategoria" come first
    QStringList headers; // the named fields, then "Opis" and "Komentarz" where any row has one
    QList<Row> rows;
};

struct Options
{
    bool thumbnails = false;
    QDate date = QDate::currentDate();
};

// The items of one subcategory, in the order of `items` (their numbers in the item file).
Content ofSubcategory(const QString &dir, const QString &category, const QString &subcategory,
                      const QList<int> &items);
// The items a search found, each once, in the order of its first hit; a hit whose item has
// changed or gone since is left out. Fields stand under their names where every subcategory
// found names them alike, otherwise under "Pole N".
Content ofSearch(const QString &dir, const QString &searchedText, const QList<SearchHit> &hits);

// One whole page: its pictures inside, as data: addresses.
QString html(const Content &content, const Options &options);
// A4, portrait, or landscape for a table too wide for it.
QPageLayout pageLayout(const Content &content);

// Throw AppError, leaving any earlier file as it was, when the file cannot be written.
void saveHtml(const Content &content, const Options &options, const QString &fileName);
void savePdf(const Content &content, const Options &options, const QString &fileName);

// Lays the report out on the pages of `device` as its page layout sets them, with "Strona N z M"
// at the foot of each; answers the page count.
int render(const Content &content, const Options &options, QPagedPaintDevice *device);

} // namespace Report
