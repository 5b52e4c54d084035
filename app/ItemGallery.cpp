#include "ItemGallery.h"

#include "items/ItemListProxy.h"
#include "viewer/ThumbnailLoader.h"

#include <QEvent>
#include <QHelpEvent>
#include <QIdentityProxyModel>
#include <QItemSelectionModel>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <algorithm>

namespace {

constexpr int thumbnailSize = 128;
constexpr int textLines = 2;
constexpr int margin = 6;

// A tile: the thumbnail centred in its square, or a quiet frame where there is none, and the value
// under it on at most two lines.
class TileDelegate : public QStyledItemDelegate
{
public:
    explicit TileDelegate(ItemGallery *gallery) : QStyledItemDelegate(gallery), m_gallery(gallery) {}

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        return {thumbnailSize + 2 * margin, thumbnailSize + 3 * margin + textLines * option.fontMetrics.height()};
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem tile = option;
        initStyleOption(&tile, index);
        tile.text.clear();
        tile.features &= ~QStyleOptionViewItem::HasDecoration;
        const QWidget *widget = option.widget;
        widget->style()->drawControl(QStyle::CE_ItemViewItem, &tile, painter, widget);

        const QRect square(option.rect.left() + margin, option.rect.top() + margin, thumbnailSize, thumbnailSize);
        const QString photo = m_gallery->photoOf(index);
        const QImage image = photo.isEmpty() ? QImage() : m_gallery->thumbnails()->thumbnail(photo);
        painter->save();
        if (!image.isNull()) {
            const QSize size = image.size().scaled(square.size(), Qt::KeepAspectRatio);
            QRect target(QPoint(), size);
            target.moveCenter(square.center());
            painter->setRenderHint(QPainter::SmoothPixmapTransform);
            painter->drawImage(target, image);
        } else {
            QPen pen(option.palette.color(QPalette::Mid), 1, Qt::DashLine);
            painter->setPen(pen);
            painter->drawRoundedRect(square.adjusted(8, 8, -8, -8), 6, 6);
        }
        const bool selected = option.state & QStyle::State_Selected;
        painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        const QRect textArea(option.rect.left() + margin / 2, square.bottom() + margin, option.rect.width() - margin,
                             textLines * option.fontMetrics.height());
        const QString text = index.data(Qt::DisplayRole).toString().simplified();
        painter->drawText(textArea, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                          option.fontMetrics.elidedText(text, Qt::ElideRight, textLines * textArea.width() - margin));
        painter->restore();
    }

    // The whole value, and why there is no picture where there is none.
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override
    {
        if (event->type() != QEvent::ToolTip || !index.isValid())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        const QString photo = m_gallery->photoOf(index);
        QString tip = index.data(Qt::DisplayRole).toString();
        if (photo.isEmpty())
            tip += QStringLiteral("\nBrak zdjęcia");
        else if (m_gallery->thumbnails()->failed(photo))
            tip += QStringLiteral("\nNie można pokazać zdjęcia: ") + photo;
        QToolTip::showText(event->globalPos(), tip, view->viewport(), option.rect);
        return true;
    }

private:
    ItemGallery *m_gallery;
};

} // namespace

ItemGallery::ItemGallery(std::function<QString(int)> firstPhoto, QWidget *parent)
    : QListView(parent), m_firstPhoto(std::move(firstPhoto)), m_thumbnails(new ThumbnailLoader(thumbnailSize, this))
{
    setObjectName(QStringLiteral("GaleriaPrzedmiotow"));
    setAccessibleName(QStringLiteral("Galeria przedmiotów"));
    // The list mode's layout wrapped into rows, rather than the icon mode's free placing, which
    // keeps a place for every one of 100,000 tiles.
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);
    setSpacing(4);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows); // the list asks for whole rows chosen
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalScrollBar()->setSingleStep(24);
    setItemDelegate(new TileDelegate(this));
    connect(m_thumbnails, &ThumbnailLoader::ready, viewport(), qOverload<>(&QWidget::update));
    // What was asked for and scrolled out of sight waits behind what is in sight now.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, m_thumbnails, &ThumbnailLoader::forgetQueued);
}

void ItemGallery::forgetPhotos()
{
    m_photos.clear();
    m_thumbnails->forgetQueued();
    viewport()->update();
}

namespace {

class FirstColumn : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return std::min(1, QIdentityProxyModel::columnCount(parent));
    }
};

} // namespace

void ItemGallery::showItems(ItemListProxy *items, QItemSelectionModel *listSelection)
{
    m_items = items;
    m_listSelection = listSelection;
    m_tiles = new FirstColumn(this);
    m_tiles->setSourceModel(items);
    setModel(m_tiles);
    connect(listSelection, &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { followList(m_tiles->mapFromSource(current.siblingAtColumn(0))); });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex &current) {
        if (m_following)
            return;
        const QScopedValueRollback following(m_following, true);
        m_listSelection->setCurrentIndex(m_tiles->mapToSource(current),
                                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    });
}

void ItemGallery::followList(const QModelIndex &current)
{
    if (m_following)
        return;
    const QScopedValueRollback following(m_following, true);
    selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ItemGallery::scrollToRow(int row)
{
    if (m_tiles)
        scrollTo(m_tiles->index(row, 0));
}

int ItemGallery::itemNumber(const QModelIndex &index) const
{
    return m_items && index.isValid() ? m_items->itemNumber(index.row()) : -1;
}

QString ItemGallery::photoOf(const QModelIndex &index)
{
    const int item = itemNumber(index);
    if (item < 0)
        return {};
    auto known = m_photos.constFind(item);
    if (known == m_photos.constEnd())
        known = m_photos.insert(item, m_firstPhoto(item));
    return *known;
}
