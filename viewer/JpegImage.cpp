#include "JpegImage.h"

#include "ExifOrientation.h"
#include "PictureLoader.h"
#include "store/Error.h"

#include <QFile>
#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

#include <jerror.h>
#include <jpeglib.h>

namespace {

struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void onError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(info->err)->jump, 1);
}

void onMessage(j_common_ptr, int) {} // warnings of a slightly damaged file are not worth a box

// The file is read as the decoder asks for it, so a file that is no JPEG is given up after its
// first bytes, not read to its end.
struct Source
{
    jpeg_source_mgr base;
    QIODevice *device;
    JOCTET buffer[64 * 1024];
};

void initSource(j_decompress_ptr) {}
void termSource(j_decompress_ptr) {}

boolean fillInput(j_decompress_ptr info)
{
    Source *source = reinterpret_cast<Source *>(info->src);
    qint64 got = source->device->read(reinterpret_cast<char *>(source->buffer), qint64(sizeof source->buffer));
    if (got <= 0) { // a cut file ends as if it had its end marker, as libjpeg's own readers do
        WARNMS(info, JWRN_JPEG_EOF);
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        got = 2;
    }
    source->base.next_input_byte = source->buffer;
    source->base.bytes_in_buffer = size_t(got);
    return TRUE;
}

void skipInput(j_decompress_ptr info, long count)
{
    Source *source = reinterpret_cast<Source *>(info->src);
    while (count > long(source->base.bytes_in_buffer)) {
        count -= long(source->base.bytes_in_buffer);
        fillInput(info);
    }
    if (count > 0) {
        source->base.next_input_byte += count;
        source->base.bytes_in_buffer -= size_t(count);
    }
}

void readFrom(jpeg_decompress_struct &info, Source &source, QIODevice &device)
{
    source.device = &device;
    source.base.init_source = initSource;
    source.base.fill_input_buffer = fillInput;
    source.base.skip_input_data = skipInput;
    source.base.resync_to_restart = jpeg_resync_to_restart;
    source.base.term_source = termSource;
    source.base.next_input_byte = nullptr;
    source.base.bytes_in_buffer = 0;
    info.src = &source.base;
}

// The most a decoded photo may take in memory: far beyond any camera's, well short of what
// would bring the machine to a halt.
constexpr quint64 maxPixels = 256ULL * 1024 * 1024;

void convertCmyk(QImage &image, bool inverted)
{
    for (int y = 0; y < image.height(); ++y) {
        uchar *pixel = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x, pixel += 4) {
            const int k = inverted ? pixel[3] : 255 - pixel[3];
            for (int c = 0; c < 3; ++c)
                pixel[c] = uchar((inverted ? pixel[c] : 255 - pixel[c]) * k / 255);
            pixel[3] = 255;
        }
    }
}

// The scale, in eighths, at which the image still fills `fitInto`.
unsigned int eighthsFor(const jpeg_decompress_struct &info, QSize fitInto)
{
    if (!fitInto.isValid() || info.image_width == 0 || info.image_height == 0)
        return 8;
    const double scale =
        std::min(double(fitInto.width()) / info.image_width, double(fitInto.height()) / info.image_height);
    return std::clamp(unsigned(std::ceil(scale * 8)), 1u, 8u);
}

// The EXIF segment, when the camera wrote one, comes first after the file's start.
int orientationOf(const jpeg_decompress_struct &info)
{
    for (jpeg_saved_marker_ptr marker = info.marker_list; marker; marker = marker->next) {
        if (marker->marker == JPEG_APP0 + 1 && marker->data_length > 6 && !std::memcmp(marker->data, "Exif\0\0", 6))
            return ExifOrientation::fromApp1(marker->data, marker->data_length);
    }
    return 1;
}

// What must survive a longjmp is written through the caller's `out`.
struct Decoded
{
    QImage *image = nullptr;
    int errorCode = 0;
    bool tooLarge = false; // a photo of more than maxPixels at the scale decoded
    int orientation = 1;
};

bool decode(QIODevice &device, QSize fitInto, Decoded &out)
{
    auto source = std::make_unique<Source>(); // made before the jump point: nothing to destroy after a jump
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    errors.base.emit_message = onMessage;
    if (setjmp(errors.jump)) {
        out.errorCode = errors.base.msg_code;
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    readFrom(info, *source, device);
    jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&info, TRUE);
    out.orientation = orientationOf(info);
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBX;
    info.scale_num = eighthsFor(info, ExifOrientation::decodeBox(fitInto, out.orientation));
    info.scale_denom = 8;
    jpeg_calc_output_dimensions(&info);
    if (quint64(info.output_width) * info.output_height > maxPixels) {
        out.tooLarge = true;
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_start_decompress(&info);
    QImage *&image = out.image;
    image = new QImage(int(info.output_width), int(info.output_height), QImage::Format_RGBX8888);
    if (image->isNull()) {
        out.errorCode = JERR_OUT_OF_MEMORY;
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image->scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    if (cmyk)
        convertCmyk(*image, info.saw_Adobe_marker);
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

QImage loadJpeg(const QString &fileName, QSize fitInto)
{
    QFile file;
    PictureLoader::openFile(file, fileName);
    Decoded decoded;
    const bool ok = decode(file, fitInto, decoded);
    const std::unique_ptr<QImage> owner(decoded.image);
    if (decoded.tooLarge)
        throw AppError(QStringLiteral("Zdjęcie %1 jest zbyt duże, by je pokazać: ma ponad %2 milionów pikseli.")
                           .arg(fileName)
                           .arg(maxPixels / 1000000));
    if (!ok)
        throw AppError(QStringLiteral("JPEG error #%1").arg(decoded.errorCode));
    return ExifOrientation::upright(std::move(*owner), decoded.orientation);
}
