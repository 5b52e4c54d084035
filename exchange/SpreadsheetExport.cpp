#include "SpreadsheetExport.h"

#include "store/CatalogueFiles.h"
#include "store/Codepage.h"
#include "store/Error.h"
#include "store/MultilineText.h"
#include "store/ProfileDocument.h"
#include "store/ProfileFile.h"
#include "store/StoredValues.h"

#include <QHash>
#include <QSaveFile>
#include <algorithm>
#include <array>

namespace SpreadsheetExport {

struct Sheet::Part
{
    QString category;
    QString subcategory;
    ProfileDocument items;
    qsizetype count = 0;
    std::array<int, 10> columns{}; // a field's column in the header, -1 for a field left out
};

namespace {

constexpr int fieldCount = 10;
constexpr int firstField = 2; // after the category and the subcategory

using StoredValues::maxItemFileBytes;
using StoredValues::maxListBytes;

const std::array<QByteArray, fieldCount> &fieldKeys()
{
    static const std::array<QByteArray, fieldCount> keys = [] {
        std::array<QByteArray, fieldCount> result;
        for (int k = 0; k < fieldCount; ++k)
            result[size_t(k)] = "pozycja" + QByteArray::number(k + 1);
        return result;
    }();
    return keys;
}

ProfileDocument document(const QString &fileName, qint64 maxSize)
{
    auto contents = StoredValues::readFile(fileName, maxSize);
    return contents ? ProfileDocument(std::move(contents->bytes)) : ProfileDocument();
}

QStringList entries(const QString &fileName, const KeyedList &list)
{
    return StoredValues::entries(document(fileName, maxListBytes), list);
}

QList<std::pair<QString, QString>> subcategoriesOf(const Selection &selection)
{
    QList<std::pair<QString, QString>> result;
    if (selection.scope == Scope::Subcategory) {
        result.append({selection.category, selection.subcategory});
        return result;
    }
    const QStringList categories = selection.scope == Scope::Category
                                       ? QStringList{selection.category}
                                       : entries(CatalogueFiles::categoryList(selection.dir), KeyedList::categories);
    for (const QString &category : categories) {
        const QString list = CatalogueFiles::subcategoryList(selection.dir, category);
        for (const QString &subcategory : entries(list, KeyedList::subcategories))
            result.append({category, subcategory});
    }
    return result;
}

QString multiline(const ProfileDocument &items, QByteArrayView section, QByteArrayView key)
{
    const auto value = items.value(section, key);
    if (!value)
        return {};
    bool quoted = false;
    const QByteArrayView bytes = readValue(*value, &quoted);
    return MultilineText::decode(Codepage::decode(bytes), quoted);
}

// The last field that has a name or, in some item, a value: the fields up to it are exported.
int lastFieldUsed(const Sheet::Part &part, const std::array<QString, fieldCount> &names)
{
    int last = -1;
    for (int k = 0; k < fieldCount; ++k) {
        if (!names[size_t(k)].isEmpty())
            last = k;
    }
    for (qsizetype p = 0; p < part.count && last < fieldCount - 1; ++p) {
        const QByteArray section = QByteArray::number(p);
        for (int k = fieldCount - 1; k > last; --k) {
            const auto value = part.items.value(section, fieldKeys()[size_t(k)]);
            if (value && !readValue(*value).isEmpty()) {
                last = k;
                break;
            }
        }
    }
    return last;
}

} // namespace

Sheet::Sheet(const Selection &selection) : m_dir(selection.dir)
{
    QStringList fields;
    QHash<QString, int> columnOf;
    for (const auto &[category, subcategory] : subcategoriesOf(selection)) {
        auto part = std::make_unique<Part>();
        part->category = category;
        part->subcategory = subcategory;
        part->items = document(CatalogueFiles::itemFile(selection.dir, category, subcategory), maxItemFileBytes);
        part->count = std::clamp<qsizetype>(StoredValues::number(part->items, "liczba_pozycji"), 0,
                                            part->items.numberedSections());
        std::array<QString, fieldCount> names;
        for (int k = 0; k < fieldCount; ++k)
            names[size_t(k)] = StoredValues::text(part->items, "pozycje", QByteArray::number(k + 1));
        const int last = lastFieldUsed(*part, names);
        part->columns.fill(-1);
        QHash<QString, int> timesNamed;
        for (int k = 0; k <= last; ++k) {
            const QString name = names[size_t(k)].isEmpty() ? QStringLiteral("Pole %1").arg(k + 1) : names[size_t(k)];
            const int times = ++timesNamed[name];
            const QString column = times == 1 ? name : QStringLiteral("%1 (%2)").arg(name).arg(times);
            auto found = columnOf.constFind(column);
            if (found == columnOf.cend()) {
                found = columnOf.insert(column, firstField + int(fields.size()));
                fields.append(column);
            }
            part->columns[size_t(k)] = *found;
        }
        m_rowCount += part->count;
        m_parts.push_back(std::move(part));
    }
    m_header = QStringList{QStringLiteral("Kategoria"), QStringLiteral("Podkategoria")} + fields +
               QStringList{QStringLiteral("Opis"), QStringLiteral("Komentarz"), QStringLiteral("Zdjęcia")};
}

Sheet::~Sheet() = default;

void Sheet::eachRow(const std::function<void(const QStringList &cells)> &visit) const
{
    const qsizetype columns = m_header.size();
    QStringList cells(columns);
    for (const auto &part : m_parts) {
        for (qsizetype p = 0; p < part->count; ++p) {
            const QByteArray section = QByteArray::number(p);
            std::fill(cells.begin(), cells.end(), QString());
            cells[0] = part->category;
            cells[1] = part->subcategory;
            for (int k = 0; k < fieldCount; ++k) {
                if (part->columns[size_t(k)] >= 0)
                    cells[part->columns[size_t(k)]] = StoredValues::text(part->items, section, fieldKeys()[size_t(k)]);
            }
            cells[columns - 3] = multiline(part->items, section, "opis");
            cells[columns - 2] = multiline(part->items, section, "komentarz");
            const QString photos = CatalogueFiles::photoList(m_dir, part->category, part->subcategory, int(p));
            cells[columns - 1] = entries(photos, KeyedList::photos).join(QLatin1Char('\n'));
            visit(cells);
        }
    }
}

void saveFile(const QString &fileName, const std::function<void(QIODevice &)> &write)
{
    const auto failed = [&fileName] {
        return AppError(QStringLiteral("Nie udało się zapisać pliku %1. Sprawdź, czy folder istnieje, czy wolno "
                                       "w nim zapisywać i czy na dysku jest dość miejsca.")
                            .arg(fileName));
    };
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw failed();
    write(file);
    if (!file.commit())
        throw failed();
}

qsizetype writeCsv(const Selection &selection, const QString &fileName, CsvWriter::Encoding encoding,
                   QChar separator)
{
    const Sheet sheet(selection);
    saveFile(fileName, [&](QIODevice &file) {
        CsvWriter csv(file, encoding, separator);
        csv.writeRow(sheet.header());
        sheet.eachRow([&](const QStringList &cells) { csv.writeRow(cells); });
    });
    return sheet.rowCount();
}

QString itemCountText(qsizetype count)
{
    const qsizetype tens = count % 100;
    const qsizetype ones = count % 10;
    const char *word = count == 1                                           ? "pozycję"
                       : ones >= 2 && ones <= 4 && (tens < 12 || tens > 14) ? "pozycje"
                                                                            : "pozycji";
    return QStringLiteral("%1 %2").arg(count).arg(QString::fromUtf8(word));
}

} // namespace SpreadsheetExport
