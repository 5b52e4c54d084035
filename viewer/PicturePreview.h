#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// What a picture-open dialog shows of one file: made on a worker thread, so it holds no widget.
struct PicturePreview
{
    QString path;
    QImage image; // null when the file cannot be shown
    QSize size;   // the picture's own size; invalid when its header does not say (metafiles)
};

// Decodes `path` no larger than `pane` needs and scales it down to fit, proportions kept; a smaller
// picture is not enlarged. Never throws: a missing, damaged or unknown file gives a null image.
PicturePreview makePicturePreview(const QString &path, QSize pane);
