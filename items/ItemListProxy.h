#pragma once

#include <QAbstractProxyModel>
#include <QCollator>
#include <QHash>
#include <optional>
#include <vector>

class ItemListModel;

// The item list as shown: sorted by one column and filtered by a searched text. Every command
// needs the item's number in the file, whatever the order: itemNumber() and viewRow() map both
// ways. Rows are kept in index vectors rather than compared through virtual calls, so sorting and
// filtering 100,000 rows stays quick.
//
// Sorting compares as a Polish reader does (QCollator for Polish, numbers by their value); empty
// values go last in both directions, and equal values keep the item-number order. Filtering keeps
// the rows where a shown field, the description or the comment holds the text, whatever the letter
// case and the Polish marks.
class ItemListProxy : public QAbstractProxyModel
{
public:
    explicit ItemListProxy(ItemListModel *items, QObject *parent = nullptr);

    // Column -1 is the item-number order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    void setFilterText(const QString &text);
    const QString &filterText() const { return m_filter; }

    // The item number of a view row, or -1; the view row of an item number, or -1 when it is
    // filtered out or not in the list.
    int itemNumber(int viewRow) const;
    int viewRow(int itemNumber) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &) const override { return {}; }
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override { return !parent.isValid() && rowCount() > 0; }
    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex &sourceIndex) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    // A column's rows with a value in collation order, equal ones in item-number order, and a rank
    // for each (equal values share one); rows without a value in item-number order.
    struct Ranked
    {
        std::vector<int> rows;
        std::vector<int> ranks;
        std::vector<int> empty;
    };
    const Ranked &ranked(int column);
    void sourceReset();
    void order(int column, Qt::SortOrder order);
    void findMatching(const std::optional<QByteArray> &needle, bool narrowing);
    void showMatching();
    // Rearranges the rows shown, keeping the selection and the current row on their items.
    template <typename Change> void relayout(const Change &change);

    ItemListModel *m_items;
    QCollator m_collator;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    QString m_sortName; // the sorted column's field name, which a new file must share to stay sorted
    QString m_filter;
    std::optional<QByteArray> m_needle; // folded m_filter; nothing when it cannot stand in a file
    QHash<int, Ranked> m_ranked;        // by column, for the file loaded
    std::vector<int> m_order;           // every item number, in sort order
    std::vector<char> m_matches;        // by item number
    std::vector<int> m_shown;           // view row -> item number
    std::vector<int> m_viewRows;        // item number -> view row or -1
};
