#pragma once

#include <QListWidget>
#include <QStringList>

class ThumbnailLoader;

// An item's photos in a row of thumbnails, made off the user-interface thread; a photo that cannot
// be shown gets a quiet placeholder in its place, never a message.
class PhotoStrip : public QListWidget
{
public:
    explicit PhotoStrip(QWidget *parent);

    void setPhotos(const QStringList &paths);
    // Marks the photo shown, without the change being taken for the user's choice.
    void setCurrent(int index);

private:
    void thumbnailReady(const QString &path);
    QIcon placeholder(bool failed) const;

    ThumbnailLoader *m_loader;
};
