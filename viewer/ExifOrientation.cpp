#include "ExifOrientation.h"

#include <QTransform>

#include <libexif/exif-data.h>

namespace ExifOrientation {

int fromApp1(const unsigned char *data, unsigned int size)
{
    ExifData *exif = exif_data_new_from_data(data, size);
    if (!exif)
        return 1;
    int orientation = 1;
    const ExifEntry *entry = exif_content_get_entry(exif->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
    if (entry && entry->format == EXIF_FORMAT_SHORT && entry->components >= 1 && entry->size >= 2)
        orientation = exif_get_short(entry->data, exif_data_get_byte_order(exif));
    exif_data_unref(exif);
    // Values outside the eight a camera writes are a damaged tag: the photo is shown as stored.
    return orientation >= 1 && orientation <= 8 ? orientation : 1;
}

bool swapsSides(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

QSize decodeBox(QSize fitInto, int orientation)
{
    return fitInto.isValid() && swapsSides(orientation) ? fitInto.transposed() : fitInto;
}

QImage upright(QImage image, int orientation)
{
    switch (orientation) {
    case 2:
        return image.mirrored(true, false);
    case 3:
        return image.mirrored(true, true);
    case 4:
        return image.mirrored(false, true);
    case 5: // mirrored along the diagonal from top left
        return image.transformed(QTransform(0, 1, 1, 0, 0, 0));
    case 6:
        return image.transformed(QTransform().rotate(90));
    case 7: // mirrored along the other diagonal
        return image.transformed(QTransform(0, -1, -1, 0, 0, 0));
    case 8:
        return image.transformed(QTransform().rotate(270));
    default:
        return image;
    }
}

} // namespace ExifOrientation
