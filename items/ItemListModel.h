#pragma once

#include "items/ItemTable.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <vector>

// The item list of one subcategory as a table: the columns and rows ItemTable defines, row p being
// item number p. A subcategory may hold 100,000 items, so the values stay in one block of the
// file's own bytes, made text only when a cell is asked for; beside them each row's fields,
// description and comment, folded for finding (see Codepage::searchFold).
class ItemListModel : public QAbstractTableModel
{
public:
    explicit ItemListModel(QObject *parent = nullptr) : QAbstractTableModel(parent) {}

    // Columns and rows of the item file; `countText` is its item count as read. Never throws: a
    // count that is no number leaves the columns and no rows, and problem() says why.
    void load(const QString &itemFile, const QString &countText);
    // No rows; the columns stay.
    void clearRows();
    // What ItemTable::countFromText or ItemTable::countProblem tells of the last load, or empty.
    const QString &problem() const { return m_problem; }

    const QList<ItemTable::Column> &columns() const { return m_columns; }
    // A value as ProfileFile::ReadText reads it.
    QString text(int row, int column) const;
    bool isEmpty(int row, int column) const { return cellEnd(row, column) == cellBegin(row, column); }

    // Every row's searchable text, folded, in row order; each row ends with '\n', which nothing
    // typed into a search box holds.
    QByteArrayView searchText() const { return QByteArrayView(m_search); }
    // Where row `row` begins in searchText(); searchStart(rowCount()) is its size.
    qsizetype searchStart(int row) const { return m_searchStarts[size_t(row)]; }
    // The row whose text holds offset `at` of searchText().
    int rowAt(qsizetype at) const;

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : m_rows; }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_columns.size());
    }
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Cell
    {
        qsizetype begin = 0;
        qsizetype end = 0;
    };
    const Cell &cell(int row, int column) const { return m_cellPlaces[size_t(row) * m_columns.size() + column]; }
    qsizetype cellBegin(int row, int column) const { return cell(row, column).begin; }
    qsizetype cellEnd(int row, int column) const { return cell(row, column).end; }
    void readRows(const QString &itemFile, int count);

    QList<ItemTable::Column> m_columns;
    int m_rows = 0;
    // The item file's own bytes, shared with its parsed copy rather than copied: the values stand
    // in it, in Windows-1250.
    QByteArray m_cells;
    std::vector<Cell> m_cellPlaces; // rows * columns places in m_cells
    QByteArray m_search;                  // see searchText()
    std::vector<qsizetype> m_searchStarts; // rows + 1 offsets into m_search
    QString m_problem;
};
