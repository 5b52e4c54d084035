#pragma once

#include <QImage>
#include <QString>

// Decodes a JPEG file with libjpeg. With `fitInto` valid, libjpeg's scaled decoding gives the
// smallest image (down to an eighth) that still fills that area with the proportions kept. The photo
// comes upright, as its EXIF orientation says, and `fitInto` is the area of the upright photo.
// Throws AppError "Cannot open file <path>" when the file cannot be read and "JPEG error #<code>"
// with libjpeg's message code when its content is damaged.
QImage loadJpeg(const QString &fileName, QSize fitInto = QSize());
