#pragma once

#include <QHash>
#include <QListView>
#include <functional>

class ItemListProxy;
class QIdentityProxyModel;
class QItemSelectionModel;
class ThumbnailLoader;

// The item list as a grid of tiles: each item's first photo, small, over its first column's value.
// It shows the item list's own rows and follows its current row both ways, so sort, filter, the
// chosen item and every item command are the list's, whichever of the two is on screen.
class ItemGallery : public QListView
{
public:
    // `firstPhoto` answers the path of an item's first photo, or an empty text; it is asked only
    // for tiles in sight, once each until forgetPhotos().
    ItemGallery(std::function<QString(int itemNumber)> firstPhoto, QWidget *parent = nullptr);

    // The rows shown, as their first column only: a tile is one item, also to a screen reader.
    void showItems(ItemListProxy *items, QItemSelectionModel *listSelection);

    void scrollToRow(int row);

    // The items changed on disk: their photos are asked again.
    void forgetPhotos();

    // The first photo of the item a tile shows, as far as it is known.
    QString photoOf(const QModelIndex &index);
    ThumbnailLoader *thumbnails() const { return m_thumbnails; }

private:
    int itemNumber(const QModelIndex &index) const;
    void followList(const QModelIndex &current);

    ItemListProxy *m_items = nullptr;
    QIdentityProxyModel *m_tiles = nullptr;
    QItemSelectionModel *m_listSelection = nullptr;
    bool m_following = false;

    std::function<QString(int)> m_firstPhoto;
    QHash<int, QString> m_photos;
    ThumbnailLoader *m_thumbnails;
};
