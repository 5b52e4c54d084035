#include "PicturePreview.h"

#include "PictureLoader.h"

#include <QFile>
#include <QImageReader>
#include <exception>

namespace {

// Read from the header alone: a 24-megapixel photo is never decoded whole for its size.
QSize ownSize(const QString &path)
{
    QFile file;
    PictureLoader::openFile(file, path);
    return QImageReader(&file).size();
}

} // namespace

PicturePreview makePicturePreview(const QString &path, QSize pane)
{
    PicturePreview preview{path, {}, {}};
    try {
        QImage image = PictureLoader::load(path, pane);
        if (image.width() > pane.width() || image.height() > pane.height())
            image = image.scaled(pane, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        preview.size = ownSize(path);
        preview.image = std::move(image);
    } catch (const std::exception &) {
        // A preview is a glance while choosing: the pane says it has none, no box interrupts.
    }
    return preview;
}
