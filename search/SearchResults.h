#pragma once

#include "CatalogueSearch.h"

#include <QAbstractTableModel>
#include <QStyledItemDelegate>

// The hits of one search as rows, in the order found.
class SearchResults : public QAbstractTableModel
{
public:
    enum Column { CategoryColumn, SubcategoryColumn, ItemColumn, TextColumn, ColumnCount };
    // Of the text column: the found part of the shown text, as QPoint(start, length).
    static constexpr int MatchRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void append(const QList<SearchHit> &hits);
    void clear();
    const SearchHit &hit(int row) const { return m_hits.at(row); }
    const QList<SearchHit> &hits() const { return m_hits; }

private:
    QList<SearchHit> m_hits;
};

// Draws the found part of the text column in bold on the highlight colour.
class MatchDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
