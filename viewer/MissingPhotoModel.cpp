#include "MissingPhotoModel.h"

#include <QStringList>

namespace {

QString usesText(const QList<PhotoUse> &uses)
{
    QStringList texts;
    for (const PhotoUse &use : uses) {
        QString text = use.category + QStringLiteral(" / ") + use.subcategory + QStringLiteral(" / ");
        text += use.title.isEmpty() ? QStringLiteral("pozycja nr %1").arg(use.item + 1) : use.title;
        texts.append(text);
    }
    return texts.join(QStringLiteral("; "));
}

} // namespace

void MissingPhotoModel::setScan(MissingPhotoScan scan)
{
    beginResetModel();
    m_scan = std::move(scan);
    endResetModel();
}

QString MissingPhotoModel::folderAt(const QModelIndex &index) const
{
    if (!index.isValid())
        return {};
    const int folder = isFolder(index) ? index.row() : int(index.internalId() - 1);
    return m_scan.folders.value(folder).folder;
}

QModelIndex MissingPhotoModel::index(int row, int column, const QModelIndex &parent) const
{
    if (row < 0 || column < 0 || column >= ColumnCount || row >= rowCount(parent))
        return {};
    return createIndex(row, column, parent.isValid() ? quintptr(parent.row() + 1) : quintptr(0));
}

QModelIndex MissingPhotoModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || isFolder(child))
        return {};
    return createIndex(int(child.internalId() - 1), 0, quintptr(0));
}

int MissingPhotoModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return int(m_scan.folders.size());
    if (isFolder(parent) && parent.column() == 0)
        return int(m_scan.folders.value(parent.row()).photos.size());
    return 0;
}

int MissingPhotoModel::columnCount(const QModelIndex &) const
{
    return ColumnCount;
}

QVariant MissingPhotoModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    if (isFolder(index))
        return folderData(m_scan.folders.at(index.row()), index.column());
    const MissingFolder &folder = m_scan.folders.at(qsizetype(index.internalId() - 1));
    return photoData(folder, folder.photos.at(index.row()), index.column());
}

QVariant MissingPhotoModel::folderData(const MissingFolder &folder, int column) const
{
    if (column == NameColumn)
        return folder.folder;
    if (column == CountColumn)
        return QString::number(folder.photos.size());
    return {};
}

QVariant MissingPhotoModel::photoData(const MissingFolder &folder, const MissingPhoto &photo, int column) const
{
    if (column == NameColumn) { // the rest of the path after its folder and separator
        const bool root = folder.folder.endsWith(QLatin1Char('/')) || folder.folder.endsWith(QLatin1Char('\\'));
        const qsizetype rest = folder.folder.size() + (root ? 0 : 1);
        return photo.path.size() > rest ? photo.path.mid(rest) : photo.path;
    }
    if (column == ItemsColumn)
        return usesText(photo.uses);
    return {};
}

QVariant MissingPhotoModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QString captions[ColumnCount] = {QStringLiteral("Folder / plik"), QStringLiteral("Brakujące"),
                                                  QStringLiteral("Pozycje")};
    return section >= 0 && section < ColumnCount ? captions[section] : QVariant();
}
