#pragma once

#include "MissingPhotos.h"

#include <QAbstractItemModel>

// The missing photos as a tree: a row for each folder with how many of its files are missing, and
// under it a row for each missing file with the items that use it.
class MissingPhotoModel : public QAbstractItemModel
{
public:
    enum Column { NameColumn, CountColumn, ItemsColumn, ColumnCount };

    using QAbstractItemModel::QAbstractItemModel;

    void setScan(MissingPhotoScan scan);
    const MissingPhotoScan &scan() const { return m_scan; }
    // The folder of a folder row or of a file row; the empty text for no row.
    QString folderAt(const QModelIndex &index) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    // A folder row's internal id is 0; a file row's is its folder's row + 1.
    static bool isFolder(const QModelIndex &index) { return index.internalId() == 0; }
    QVariant folderData(const MissingFolder &folder, int column) const;
    QVariant photoData(const MissingFolder &folder, const MissingPhoto &photo, int column) const;

    MissingPhotoScan m_scan;
};
