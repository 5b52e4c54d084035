#include "PhotoStrip.h"

#include "ThumbnailLoader.h"

#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>

namespace {

constexpr QSize thumbnailSize(64, 48);

} // namespace

PhotoStrip::PhotoStrip(QWidget *parent) : QListWidget(parent), m_loader(new ThumbnailLoader(128, this))
{
    setViewMode(QListView::IconMode);
    setFlow(QListView::LeftToRight);
    setWrapping(false);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setIconSize(thumbnailSize);
    setGridSize(thumbnailSize + QSize(8, 8));
    setUniformItemSizes(true);
    setFixedHeight(gridSize().height() + horizontalScrollBar()->sizeHint().height() + 2 * frameWidth());
    connect(m_loader, &ThumbnailLoader::ready, this, &PhotoStrip::thumbnailReady);
}

void PhotoStrip::setPhotos(const QStringList &paths)
{
    m_loader->forgetQueued(); // another item's photos are out of sight
    const QSignalBlocker quiet(this);
    clear();
    for (int k = 0; k < paths.size(); ++k) {
        auto *entry = new QListWidgetItem(placeholder(false), QString(), this);
        entry->setData(Qt::UserRole, paths[k]);
        entry->setToolTip(paths[k]);
        entry->setData(Qt::AccessibleTextRole, QStringLiteral("Zdjęcie %1").arg(k + 1));
    }
    // Asked from the last, so that the first, asked latest, comes first.
    for (qsizetype k = paths.size() - 1; k >= 0; --k) {
        if (!m_loader->thumbnail(paths[k]).isNull() || m_loader->failed(paths[k]))
            thumbnailReady(paths[k]);
    }
}

void PhotoStrip::setCurrent(int index)
{
    const QSignalBlocker quiet(this);
    setCurrentRow(index);
    if (QListWidgetItem *entry = item(index))
        scrollToItem(entry);
}

void PhotoStrip::thumbnailReady(const QString &path)
{
    const QImage thumbnail = m_loader->thumbnail(path);
    const QIcon icon =
        thumbnail.isNull()
            ? placeholder(m_loader->failed(path))
            : QIcon(QPixmap::fromImage(thumbnail.scaled(thumbnailSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    for (int k = 0; k < count(); ++k) {
        if (item(k)->data(Qt::UserRole).toString() == path)
            item(k)->setIcon(icon);
    }
}

// A grey frame while the thumbnail is made; crossed out when the photo cannot be shown.
QIcon PhotoStrip::placeholder(bool failed) const
{
    QPixmap pixmap(thumbnailSize);
    pixmap.fill(palette().color(QPalette::Window));
    QPainter painter(&pixmap);
    painter.setPen(palette().color(QPalette::Mid));
    const QRect frame(0, 0, thumbnailSize.width() - 1, thumbnailSize.height() - 1);
    painter.drawRect(frame);
    if (failed) {
        painter.drawLine(frame.topLeft(), frame.bottomRight());
        painter.drawLine(frame.topRight(), frame.bottomLeft());
    }
    return QIcon(pixmap);
}
