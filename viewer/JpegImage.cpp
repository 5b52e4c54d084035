#include "JpegImage.h"

#include "store/Error.h"

#include <QFile>
#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
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

// What must survive a longjmp (the image, the error code) is written through the caller's references.
// The scale, in eighths, at which the image still fills `fitInto`.
unsigned int eighthsFor(const jpeg_decompress_struct &info, QSize fitInto)
{
    if (!fitInto.isValid() || info.image_width == 0 || info.image_height == 0)
        return 8;
    const double scale =
        std::min(double(fitInto.width()) / info.image_width, double(fitInto.height()) / info.image_height);
    return std::clamp(unsigned(std::ceil(scale * 8)), 1u, 8u);
}

bool decode(const QByteArray &bytes, QSize fitInto, QImage *&image, int &errorCode)
{
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    errors.base.emit_message = onMessage;
    if (setjmp(errors.jump)) {
        errorCode = errors.base.msg_code;
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBX;
    info.scale_num = eighthsFor(info, fitInto);
    info.scale_denom = 8;
    jpeg_start_decompress(&info);
    image = new QImage(int(info.output_width), int(info.output_height), QImage::Format_RGBX8888);
    if (image->isNull()) {
        errorCode = JERR_OUT_OF_MEMORY;
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
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Cannot open file %1").arg(fileName));
    const QByteArray bytes = file.readAll();
    QImage *decoded = nullptr;
    int errorCode = 0;
    const bool ok = decode(bytes, fitInto, decoded, errorCode);
    const std::unique_ptr<QImage> owner(decoded);
    if (!ok)
        throw AppError(QStringLiteral("JPEG error #%1").arg(errorCode));
    return std::move(*owner);
}
