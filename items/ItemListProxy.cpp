#include "ItemListProxy.h"

#include "ItemListModel.h"
#include "store/Codepage.h"

#include <algorithm>
#include <cstring>
#include <numeric>

ItemListProxy::ItemListProxy(ItemListModel *items, QObject *parent)
    : QAbstractProxyModel(parent), m_items(items), m_collator(QLocale(QLocale::Polish, QLocale::Poland))
{
    m_collator.setNumericMode(true);
    QAbstractProxyModel::setSourceModel(items);
    connect(items, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
    connect(items, &QAbstractItemModel::modelReset, this, [this] {
        sourceReset();
        endResetModel();
    });
    sourceReset();
}

// The sort stays while the column it sorts by is still there under the same name: after an item
// command, or in another subcategory that happens to have the same field there.
void ItemListProxy::sourceReset()
{
    m_ranked.clear();
    const int columns = m_items->columnCount();
    if (m_sortColumn >= columns || (m_sortColumn >= 0 && m_items->columns()[m_sortColumn].name != m_sortName)) {
        m_sortColumn = -1;
        m_sortOrder = Qt::AscendingOrder;
        m_sortName.clear();
    }
    order(m_sortColumn, m_sortOrder);
    findMatching(m_needle, false);
    showMatching();
}

void ItemListProxy::sort(int column, Qt::SortOrder order)
{
    if (column >= m_items->columnCount())
        column = -1;
    relayout([&] {
        m_sortColumn = column;
        m_sortOrder = column < 0 ? Qt::AscendingOrder : order;
        m_sortName = column < 0 ? QString() : m_items->columns()[column].name;
        this->order(m_sortColumn, m_sortOrder);
        showMatching();
    });
}

void ItemListProxy::setFilterText(const QString &text)
{
    if (text == m_filter)
        return;
    std::optional<QByteArray> needle = Codepage::searchFolded(text);
    // Rows that did not hold the shorter text cannot hold one that contains it.
    const bool narrowing = !m_filter.isEmpty() && m_needle && needle && needle->contains(*m_needle);
    relayout([&] {
        m_filter = text;
        m_needle = std::move(needle);
        findMatching(m_needle, narrowing);
        showMatching();
    });
}

const ItemListProxy::Ranked &ItemListProxy::ranked(int column)
{
    if (const auto found = m_ranked.constFind(column); found != m_ranked.constEnd())
        return *found;
    Ranked ranked;
    std::vector<int> rows;
    std::vector<QCollatorSortKey> keys;
    const int count = m_items->rowCount();
    rows.reserve(size_t(count));
    keys.reserve(size_t(count));
    for (int row = 0; row < count; ++row) {
        if (m_items->isEmpty(row, column)) {
            ranked.empty.push_back(row);
        } else {
            rows.push_back(row);
            keys.push_back(m_collator.sortKey(m_items->text(row, column)));
        }
    }
    std::vector<int> sorted(rows.size());
    std::iota(sorted.begin(), sorted.end(), 0);
    std::stable_sort(sorted.begin(), sorted.end(), [&](int a, int b) { return keys[size_t(a)].compare(keys[size_t(b)]) < 0; });
    ranked.rows.reserve(sorted.size());
    ranked.ranks.reserve(sorted.size());
    int rank = 0;
    for (size_t i = 0; i < sorted.size(); ++i) {
        if (i > 0 && keys[size_t(sorted[i - 1])].compare(keys[size_t(sorted[i])]) != 0)
            ++rank;
        ranked.rows.push_back(rows[size_t(sorted[i])]);
        ranked.ranks.push_back(rank);
    }
    return *m_ranked.insert(column, std::move(ranked));
}

void ItemListProxy::order(int column, Qt::SortOrder order)
{
    m_order.resize(size_t(m_items->rowCount()));
    if (column < 0) {
        std::iota(m_order.begin(), m_order.end(), 0);
        return;
    }
    const Ranked &ranked = this->ranked(column);
    auto out = m_order.begin();
    if (order == Qt::AscendingOrder) {
        out = std::copy(ranked.rows.begin(), ranked.rows.end(), out);
    } else {
        // Groups of equal values from the last one back, each still in item-number order.
        for (size_t end = ranked.rows.size(); end > 0;) {
            size_t begin = end - 1;
            while (begin > 0 && ranked.ranks[begin - 1] == ranked.ranks[end - 1])
                --begin;
            out = std::copy(ranked.rows.begin() + qsizetype(begin), ranked.rows.begin() + qsizetype(end), out);
            end = begin;
        }
    }
    std::copy(ranked.empty.begin(), ranked.empty.end(), out);
}

void ItemListProxy::findMatching(const std::optional<QByteArray> &needle, bool narrowing)
{
    const size_t rows = size_t(m_items->rowCount());
    if (m_filter.isEmpty() || !needle) {
        m_matches.assign(rows, m_filter.isEmpty() ? 1 : 0);
        return;
    }
    const QByteArrayView text = m_items->searchText();
    const auto holds = [&](qsizetype begin, qsizetype end) {
        return memmem(text.data() + begin, size_t(end - begin), needle->constData(), size_t(needle->size()));
    };
    if (narrowing) {
        for (size_t row = 0; row < rows; ++row) {
            if (m_matches[row])
                m_matches[row] = holds(m_items->searchStart(int(row)), m_items->searchStart(int(row) + 1)) != nullptr;
        }
        return;
    }
    // One pass over every row's text, skipping to the next row at each hit.
    m_matches.assign(rows, 0);
    for (qsizetype at = 0; at < text.size();) {
        const void *hit = holds(at, text.size());
        if (!hit)
            break;
        const int row = m_items->rowAt(static_cast<const char *>(hit) - text.data());
        m_matches[size_t(row)] = 1;
        at = m_items->searchStart(row + 1);
    }
}

void ItemListProxy::showMatching()
{
    m_shown.clear();
    m_viewRows.assign(m_order.size(), -1);
    for (const int item : m_order) {
        if (m_matches[size_t(item)]) {
            m_viewRows[size_t(item)] = int(m_shown.size());
            m_shown.push_back(item);
        }
    }
}

template <typename Change> void ItemListProxy::relayout(const Change &change)
{
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    std::vector<std::pair<int, int>> items;
    items.reserve(size_t(before.size()));
    for (const QModelIndex &index : before)
        items.emplace_back(itemNumber(index.row()), index.column());
    change();
    QModelIndexList after;
    after.reserve(before.size());
    for (const auto &[item, column] : items) {
        const int row = viewRow(item);
        after.append(row < 0 ? QModelIndex() : index(row, column));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

int ItemListProxy::itemNumber(int viewRow) const
{
    return viewRow >= 0 && size_t(viewRow) < m_shown.size() ? m_shown[size_t(viewRow)] : -1;
}

int ItemListProxy::viewRow(int itemNumber) const
{
    return itemNumber >= 0 && size_t(itemNumber) < m_viewRows.size() ? m_viewRows[size_t(itemNumber)] : -1;
}

QModelIndex ItemListProxy::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() || row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return {};
    return createIndex(row, column);
}

int ItemListProxy::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

int ItemListProxy::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_items->columnCount();
}

QModelIndex ItemListProxy::mapToSource(const QModelIndex &proxyIndex) const
{
    const int item = proxyIndex.isValid() ? itemNumber(proxyIndex.row()) : -1;
    return item < 0 ? QModelIndex() : m_items->index(item, proxyIndex.column());
}

QModelIndex ItemListProxy::mapFromSource(const QModelIndex &sourceIndex) const
{
    const int row = sourceIndex.isValid() ? viewRow(sourceIndex.row()) : -1;
    return row < 0 ? QModelIndex() : index(row, sourceIndex.column());
}

QVariant ItemListProxy::headerData(int section, Qt::Orientation orientation, int role) const
{
    return orientation == Qt::Horizontal ? m_items->headerData(section, orientation, role) : QVariant();
}
