#pragma once

#include <QImage>
#include <QSize>

// A camera stores a photo as its sensor saw it and says in the EXIF "Orientation" tag (1 to 8)
// how it must be turned to stand upright; 1 is upright already.
namespace ExifOrientation {

// The tag of a JPEG APP1 segment's content ("Exif\0\0" and its TIFF structure); 1 when there is none.
int fromApp1(const unsigned char *data, unsigned int size);

// Orientations 5 to 8 turn the picture a quarter: its width becomes its height.
bool swapsSides(int orientation);
// The area to decode into so that, once turned, the picture fits `fitInto`.
QSize decodeBox(QSize fitInto, int orientation);
// The decoded picture turned (and mirrored) upright.
QImage upright(QImage image, int orientation);

} // namespace ExifOrientation
