#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QString>

// Writes `image` as a baseline JPEG through libjpeg; grey images as one-channel JPEGs.
void writeJpeg(const QString &fileName, const QImage &image, int quality = 90);

// Writes `stored` as a JPEG whose EXIF segment (hand-made, big-endian for even orientations and
// little-endian for odd ones, as cameras of either kind write it) says it must be turned by
// `orientation` (1 to 8; other values as a damaged tag).
void writeJpegWithOrientation(const QString &fileName, const QImage &stored, int orientation);

// An animated GIF of these frames (Qt writes no GIF), in a palette of red, green, blue, white and black.
QByteArray gifBytes(const QList<QImage> &frames);

// A picture with four coloured quarters, so that orientation and colour can be checked.
QImage quarters(int width, int height);

// A Windows metafile (with its placeable header) and an enhanced metafile, each a white page of
// width x height pixels (at 96 an inch) with a filled rectangle in `colour` over its left half; the
// WMF in `unitsPerInch` logical units, the EMF recorded on a device of `deviceDpi`.
QByteArray wmfBytes(int width, int height, QColor colour, int unitsPerInch = 96);
QByteArray emfBytes(int width, int height, QColor colour, int deviceDpi = 96);
