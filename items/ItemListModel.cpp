#include "ItemListModel.h"

#include "store/Codepage.h"
#include "store/Error.h"
#include "store/ProfileStore.h"

#include <algorithm>
#include <charconv>

namespace {

// The value's bytes as ReadText gives them.
QByteArrayView readBytes(const ProfileDocument &document, QByteArrayView section, QByteArrayView key,
                         bool *doubleQuoted = nullptr)
{
    const auto value = document.value(section, key);
    if (!value)
        return {};
    const QByteArrayView bytes = unquotedValue(*value, doubleQuoted);
    return bytes.first(std::min(bytes.size(), ProfileFile::maxValueLength));
}

// A multi-line value as the user typed it (see MultilineText::decode), so that a search finds
// what the viewer shows and not the escapes of its line breaks. Each escape stands for one
// Windows-1250 byte, so this works on the bytes as well as on the text.
void appendMultiline(QByteArray &to, QByteArrayView stored, bool doubleQuoted)
{
    if (!doubleQuoted || !stored.contains('\\')) {
        to.append(stored);
        return;
    }
    for (qsizetype i = 0; i < stored.size(); ++i) {
        const char c = stored[i];
        const char next = i + 1 < stored.size() ? stored[i + 1] : '\0';
        if (c == '\\' && (next == '\\' || next == 'r' || next == 'n')) {
            to.append(next == 'r' ? '\r' : next == 'n' ? '\n' : '\\');
            ++i;
        } else {
            to.append(c);
        }
    }
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
    m_cellStarts.assign(1, 0);
    m_searchStarts.assign(1, 0);
    ProfileStore::Reader reader;
    const ProfileDocument *document = itemFile.isEmpty() ? nullptr : ProfileStore::load(itemFile, reader);
    if (!document || count <= 0)
        return;
    const int rows = int(std::min<qsizetype>(count, document->numberedSections()));
    QByteArrayList keys;
    for (const ItemTable::Column &column : std::as_const(m_columns))
        keys.append("pozycja" + QByteArray::number(column.field));
    m_cellStarts.reserve(size_t(rows) * keys.size() + 1);
    m_searchStarts.reserve(size_t(rows) + 1);

    char section[16];
    for (int p = 0; p < rows; ++p) {
        const QByteArrayView name(section, std::to_chars(section, section + sizeof section, p).ptr - section);
        for (const QByteArray &key : std::as_const(keys)) {
            const QByteArrayView value = readBytes(*document, name, key);
            m_cells.append(value);
            m_cellStarts.push_back(m_cells.size());
            m_search.append(value).append('\n');
        }
        for (const char *key : {"opis", "komentarz"}) {
            bool doubleQuoted = false;
            const QByteArrayView value = readBytes(*document, name, key, &doubleQuoted);
            appendMultiline(m_search, value, doubleQuoted);
            m_search.append('\n');
        }
        m_searchStarts.push_back(m_search.size());
    }
    m_rows = rows;
    Codepage::searchFold(m_search);
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
