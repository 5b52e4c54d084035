#include "ItemListModel.h"

#include "store/Codepage.h"
#include "store/Error.h"
#include "store/LargePages.h"
#include "store/MultilineText.h"
#include "store/ProfileStore.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <optional>

namespace {

constexpr int descriptionSlot = 10;
constexpr int commentSlot = 11;
constexpr int slotCount = 12;

// Which of the values a row needs the key names: fields 1 .. 10 in slots 0 .. 9, then the
// description and the comment; -1 for any other key. Names match without regard to letter case,
// as ProfileDocument matches them.
int slotOf(QByteArrayView key)
{
    if ((key.size() == 8 || key.size() == 9) && qstrnicmp(key.data(), "pozycja", 7) == 0) {
        if (key.size() == 8 && key[7] >= '1' && key[7] <= '9')
            return key[7] - '1';
        return key.size() == 9 && key[7] == '1' && key[8] == '0' ? 9 : -1;
    }
    if (key.size() == 4 && qstrnicmp(key.data(), "opis", 4) == 0)
        return descriptionSlot;
    return key.size() == 9 && qstrnicmp(key.data(), "komentarz", 9) == 0 ? commentSlot : -1;
}

char *copyFolded(char *out, QByteArrayView bytes, const std::array<char, 256> &fold)
{
    for (const char c : bytes)
        *out++ = fold[static_cast<unsigned char>(c)];
    return out;
}

} // namespace

void ItemListModel::load(const QString &itemFile, const QString &countText)
{
    beginResetModel();
    m_problem.clear();
    const ProfileFile file(itemFile);
    m_columns = ItemTable::readColumns(file);
    int count = 0;
    try {
        count = ItemTable::countFromText(countText);
    } catch (const AppError &error) {
        m_problem = error.message(); // told by the window, which shows the columns first
        count = 0;
    }
    readRows(itemFile, count);
    if (m_problem.isEmpty())
        m_problem = ItemTable::countProblem(file, count);
    endResetModel();
}

void ItemListModel::clearRows()
{
    beginResetModel();
    readRows(QString(), 0);
    endResetModel();
}

void ItemListModel::readRows(const QString &itemFile, int count)
{
    m_rows = 0;
    m_cells.clear();
    m_search.clear();
    m_cellPlaces.clear();
    m_searchStarts.assign(1, 0);
    ProfileStore::Reader reader;
    const ProfileDocument *document = itemFile.isEmpty() ? nullptr : ProfileStore::load(itemFile, reader);
    if (!document || count <= 0)
        return;
    const int rows = int(std::min<qsizetype>(count, document->numberedSections()));
    m_cellPlaces.reserve(size_t(rows) * m_columns.size());
    LargePages::preferForCapacity(m_cellPlaces);
    m_searchStarts.reserve(size_t(rows) + 1);
    // Every value lies in the file, so its size bounds them; pages never written are never
    // taken from the system either. Each value in the search text is followed by '\n'.
    // Asked for first: it also moves every line written since the file was read into these bytes,
    // which the values seen below then lie in.
    m_cells = document->bytes();
    m_search = QByteArray(document->size() + qsizetype(rows) * slotCount + 1, Qt::Uninitialized);
    const char *const cells = m_cells.constData();
    char *const search = m_search.data();
    LargePages::prefer(search, size_t(m_search.size()));
    char *found = search;
    const auto &fold = Codepage::searchFoldTable();

    char section[16];
    std::array<std::optional<QByteArrayView>, slotCount> values;
    for (int p = 0; p < rows; ++p) {
        values.fill(std::nullopt);
        const QByteArrayView name(section, std::to_chars(section, section + sizeof section, p).ptr - section);
        document->entries(name, [&values](QByteArrayView key, QByteArrayView value) {
            if (const int slot = slotOf(key); slot >= 0 && !values[size_t(slot)])
                values[size_t(slot)] = value; // where a key stands twice, the first one counts
        });
        for (const ItemTable::Column &column : std::as_const(m_columns)) {
            const auto &value = values[size_t(column.field - 1)];
            const QByteArrayView bytes = value ? readValue(*value) : QByteArrayView();
            const qsizetype begin = bytes.isEmpty() ? 0 : bytes.data() - cells;
            m_cellPlaces.push_back({begin, begin + bytes.size()});
            found = copyFolded(found, bytes, fold);
            *found++ = '\n';
        }
        for (const int slot : {descriptionSlot, commentSlot}) {
            bool doubleQuoted = false;
            const auto &value = values[size_t(slot)];
            const QByteArrayView bytes = value ? readValue(*value, &doubleQuoted) : QByteArrayView();
            // As the user typed it, so that a search finds what the viewer shows, not the escapes
            // of its line breaks; each escape stands for one byte, so it works on the bytes.
            char *const text = found;
            found = MultilineText::decode(bytes, doubleQuoted, text);
            copyFolded(text, QByteArrayView(text, found - text), fold);
            *found++ = '\n';
        }
        m_searchStarts.push_back(found - search);
    }
    m_search.truncate(found - search);
    m_rows = rows;
}

QString ItemListModel::text(int row, int column) const
{
    const qsizetype begin = cellBegin(row, column);
    return Codepage::decode(QByteArrayView(m_cells).sliced(begin, cellEnd(row, column) - begin));
}

int ItemListModel::rowAt(qsizetype at) const
{
    return int(std::upper_bound(m_searchStarts.begin(), m_searchStarts.end(), at) - m_searchStarts.begin()) - 1;
}

QVariant ItemListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    return text(index.row(), index.column());
}

QVariant ItemListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_columns.size())
        return m_columns[section].name;
    return QAbstractTableModel::headerData(section, orientation, role);
}
