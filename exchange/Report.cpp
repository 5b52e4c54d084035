#include "Report.h"

#include "items/ItemStore.h"
#include "items/ItemTable.h"
#include "search/CatalogueSearch.h"
#include "store/Error.h"
#include "store/ProfileFile.h"
#include "viewer/ThumbnailCache.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSet>
#include <QTextDocument>
#include <QUrl>
#include <functional>

namespace Report {

namespace {

// Small enough for many rows on a page; the picture itself keeps twice as many pixels, for print.
constexpr int thumbnailSide = 64;
// More columns than this do not fit across a portrait A4 page readably.
constexpr int portraitColumns = 6;

QString cannotWrite(const QString &fileName)
{
    return QStringLiteral("Nie można zapisać raportu w pliku %1. Poprzednia zawartość pliku, jeśli był, "
                          "pozostała bez zmian.")
        .arg(fileName);
}

QString escaped(const QString &text)
{
    QString html = text.toHtmlEscaped();
    html.replace(QLatin1Char('\''), QLatin1String("&#39;"));
    html.replace(QLatin1String("\r\n"), QLatin1String("<br>"));
    html.replace(QLatin1Char('\r'), QLatin1String("<br>"));
    html.replace(QLatin1Char('\n'), QLatin1String("<br>"));
    return html;
}

struct ItemText
{
    QStringList fields;
    QString description;
    QString comment;
};

// Rows of one subcategory's items with the values of `fields` (1 .. 10); the description and the
// comment come in turn, to be kept only where some row has one.
void addItems(Content &content, QList<ItemText> &texts, const ItemStore::Place &place, const QList<int> &fields,
              const QList<int> &items)
{
    for (const int item : items) {
        const ItemValues values = ItemStore::read(place, item);
        Row row{place.category, place.subcategory, {}, ItemStore::photos(place, item).value(0)};
        ItemText text;
        for (const int field : fields)
            text.fields.append(values.fields.value(field - 1));
        text.description = values.description;
        text.comment = values.comment;
        content.rows.append(row);
        texts.append(text);
    }
}

void finishRows(Content &content, const QList<ItemText> &texts)
{
    const auto any = [&](QString ItemText::*member) {
        return std::any_of(texts.begin(), texts.end(), [&](const ItemText &t) { return !(t.*member).isEmpty(); });
    };
    const bool description = any(&ItemText::description);
    const bool comment = any(&ItemText::comment);
    if (description)
        content.headers.append(QStringLiteral("Opis"));
    if (comment)
        content.headers.append(QStringLiteral("Komentarz"));
    for (qsizetype r = 0; r < texts.size(); ++r) {
        QStringList &values = content.rows[r].values;
        values = texts[r].fields;
        if (description)
            values.append(texts[r].description);
        if (comment)
            values.append(texts[r].comment);
    }
}

QList<int> fieldsOf(const QList<ItemTable::Column> &columns)
{
    QList<int> fields;
    for (const ItemTable::Column &column : columns)
        fields.append(column.field);
    return fields;
}

QStringList namesOf(const QList<ItemTable::Column> &columns)
{
    QStringList names;
    for (const ItemTable::Column &column : columns)
        names.append(column.name);
    return names;
}

QList<ItemTable::Column> columnsOf(const ItemStore::Place &place)
{
    return ItemTable::readColumns(ProfileFile(place.itemFile()));
}

QList<QImage> thumbnails(const Content &content, const Options &options)
{
    QList<QImage> images;
    if (!options.thumbnails)
        return images;
    const ThumbnailCache cache(2 * thumbnailSide);
    for (const Row &row : content.rows)
        images.append(row.photo.isEmpty() ? QImage() : cache.thumbnail(row.photo));
    return images;
}

// The page with each picture under the address `source` gives it.
// With rowsPerTable above 0 the table is cut into tables of that many rows, each under the headers:
// the text layout of one table grows faster than its row count once it runs over many pages.
QString page(const Content &content, const Options &options, const QList<QImage> &images,
             const std::function<QString(int row)> &source, int rowsPerTable = 0)
{
    QString html = QStringLiteral(
        "<!DOCTYPE html>\n<html lang=\"pl\"><head><meta charset=\"utf-8\"><title>Raport: %1</title>\n"
        "<style>body { font-family: 'DejaVu Sans', sans-serif; font-size: 9pt; }\n"
        "table { border-collapse: collapse; width: 100%; }\n"
        "th, td { border: 1px solid #777; padding: 3px; vertical-align: top; text-align: left; }\n"
        "th { background-color: #ddd8b3; }</style></head>\n<body>\n<h2>%1</h2>\n<p>%2<br>Data raportu: %3</p>\n")
                       .arg(escaped(content.title), escaped(content.summary),
                            QLocale(QLocale::Polish).toString(options.date, QLocale::LongFormat));
    QStringList headers = content.headers;
    if (content.placeColumns)
        headers = QStringList{QStringLiteral("Kategoria"), QStringLiteral("Podkategoria")} + headers;
    if (options.thumbnails)
        headers.prepend(QStringLiteral("Zdjęcie"));
    QString head = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">\n<thead><tr>");
    for (const QString &header : headers)
        head += QStringLiteral("<th>%1</th>").arg(escaped(header));
    head += QStringLiteral("</tr></thead>\n<tbody>\n");
    html += head;
    for (qsizetype r = 0; r < content.rows.size(); ++r) {
        const Row &row = content.rows[r];
        if (rowsPerTable > 0 && r > 0 && r % rowsPerTable == 0)
            html += QStringLiteral("</tbody></table>\n") + head;
        html += QStringLiteral("<tr>");
        if (options.thumbnails) {
            const QImage &image = images.value(r);
            if (image.isNull()) {
                html += QStringLiteral("<td></td>");
            } else {
                const QSize shown = image.size().scaled(thumbnailSide, thumbnailSide, Qt::KeepAspectRatio);
                html += QStringLiteral("<td><img src=\"%1\" width=\"%2\" height=\"%3\" alt=\"\"></td>")
                            .arg(source(int(r)))
                            .arg(shown.width())
                            .arg(shown.height());
            }
        }
        QStringList cells = row.values;
        if (content.placeColumns)
            cells = QStringList{row.category, row.subcategory} + cells;
        for (const QString &cell : cells)
            html += QStringLiteral("<td>%1</td>").arg(escaped(cell));
        html += QStringLiteral("</tr>\n");
    }
    return html + QStringLiteral("</tbody></table>\n</body></html>\n");
}

QString dataAddress(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
}

QString resourceName(int row)
{
    return QStringLiteral("miniatura/%1").arg(row);
}

} // namespace

Content ofSubcategory(const QString &dir, const QString &category, const QString &subcategory,
                      const QList<int> &items)
{
    const ItemStore::Place place{dir, category, subcategory};
    const QList<ItemTable::Column> columns = columnsOf(place);
    Content content;
    content.title = QStringLiteral("%1 – %2").arg(category, subcategory);
    content.summary = QStringLiteral("Liczba pozycji: %1").arg(items.size());
    content.headers = namesOf(columns);
    QList<ItemText> texts;
    addItems(content, texts, place, fieldsOf(columns), items);
    finishRows(content, texts);
    return content;
}

Content ofSearch(const QString &dir, const QString &searchedText, const QList<SearchHit> &hits)
{
    // Subcategories in the order first found, each with its items in the order first found.
    QList<ItemStore::Place> places;
    QList<QList<int>> items;
    QSet<QString> seen;
    QList<std::pair<qsizetype, int>> order; // place, item
    for (const SearchHit &hit : hits) {
        const QString key = hit.category + QLatin1Char('\n') + hit.subcategory + QLatin1Char('\n') +
                            QString::number(hit.item);
        if (seen.contains(key) || !hitStillStands(dir, hit))
            continue;
        seen.insert(key);
        const ItemStore::Place place{dir, hit.category, hit.subcategory};
        qsizetype p = 0;
        while (p < places.size() && (places[p].category != place.category || places[p].subcategory != place.subcategory))
            ++p;
        if (p == places.size())
            places.append(place);
        order.append({p, hit.item});
    }

    QList<QList<ItemTable::Column>> columns;
    for (const ItemStore::Place &place : places)
        columns.append(columnsOf(place));
    const bool alike = std::all_of(columns.begin(), columns.end(), [&](const QList<ItemTable::Column> &c) {
        return fieldsOf(c) == fieldsOf(columns.first()) && namesOf(c) == namesOf(columns.first());
    });
    QList<int> fields;
    for (int field = 1; field <= 10; ++field)
        if (std::any_of(columns.begin(), columns.end(),
                        [&](const QList<ItemTable::Column> &c) { return fieldsOf(c).contains(field); }))
            fields.append(field);

    Content content;
    content.title = QStringLiteral("Wyniki wyszukiwania: „%1”").arg(searchedText);
    content.summary = QStringLiteral("Znalezione pozycje: %1").arg(order.size());
    content.placeColumns = true;
    if (alike && !columns.isEmpty())
        content.headers = namesOf(columns.first());
    else
        for (const int field : fields)
            content.headers.append(QStringLiteral("Pole %1").arg(field));
    QList<ItemText> texts;
    for (const auto &[p, item] : order)
        addItems(content, texts, places[p], fields, {item});
    finishRows(content, texts);
    return content;
}

QString html(const Content &content, const Options &options)
{
    const QList<QImage> images = thumbnails(content, options);
    return page(content, options, images, [&](int row) { return dataAddress(images[row]); });
}

QPageLayout pageLayout(const Content &content)
{
    const qsizetype columns = content.headers.size() + (content.placeColumns ? 2 : 0);
    return QPageLayout(QPageSize(QPageSize::A4),
                       columns > portraitColumns ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
}

void saveHtml(const Content &content, const Options &options, const QString &fileName)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(html(content, options).toUtf8()) < 0 || !file.commit())
        throw AppError(cannotWrite(fileName));
}

void savePdf(const Content &content, const Options &options, const QString &fileName)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw AppError(cannotWrite(fileName));
    {
        QPdfWriter writer(&file);
        writer.setPageLayout(pageLayout(content));
        writer.setResolution(300);
        writer.setTitle(content.title);
        writer.setCreator(QStringLiteral("Gromadnik"));
        render(content, options, &writer);
    }
    if (!file.commit())
        throw AppError(cannotWrite(fileName));
}

int render(const Content &content, const Options &options, QPagedPaintDevice *device)
{
    const QList<QImage> images = thumbnails(content, options);
    QTextDocument document;
    document.documentLayout()->setPaintDevice(device);
    document.setDocumentMargin(0);
    for (qsizetype r = 0; r < images.size(); ++r)
        if (!images[r].isNull())
            document.addResource(QTextDocument::ImageResource, QUrl(resourceName(int(r))), images[r]);
    document.setHtml(page(content, options, images, resourceName, 50));

    QPainter painter;
    if (!painter.begin(device))
        throw AppError(QStringLiteral("Nie można rozpocząć drukowania raportu."));
    const QFont footerFont(QStringLiteral("DejaVu Sans"), 8);
    const qreal footer = 2 * QFontMetricsF(footerFont, device).height();
    const QSizeF body(device->width(), device->height() - footer);
    document.setPageSize(body);
    const int pages = document.pageCount();
    for (int p = 0; p < pages; ++p) {
        if (p > 0)
            device->newPage();
        painter.save();
        painter.translate(0, -p * body.height());
        document.drawContents(&painter, QRectF(QPointF(0, p * body.height()), body));
        painter.restore();
        painter.setFont(footerFont);
        painter.drawText(QRectF(0, body.height(), body.width(), footer), Qt::AlignHCenter | Qt::AlignBottom,
                         QStringLiteral("Strona %1 z %2").arg(p + 1).arg(pages));
    }
    painter.end();
    return pages;
}

} // namespace Report
