#include "TestPictures.h"

#include <QFile>
#include <QPainter>
#include <cstdio>
#include <utility>
#include <vector>

#include <jpeglib.h>

void writeJpeg(const QString &fileName, const QImage &image, int quality)
{
    const bool grey = image.format() == QImage::Format_Grayscale8;
    const QImage pixels = grey ? image : image.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(pixels.width());
    info.image_height = JDIMENSION(pixels.height());
    info.input_components = grey ? 1 : 3;
    info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uchar *>(pixels.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("Cannot write a test picture");
    file.write(reinterpret_cast<const char *>(buffer), qint64(size));
    std::free(buffer);
}

void writeJpegWithOrientation(const QString &fileName, const QImage &stored, int orientation)
{
    writeJpeg(fileName, stored);
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("Cannot read a test picture");
    const QByteArray jpeg = file.readAll();
    file.close();
    const bool motorola = orientation % 2 == 0;
    const auto word = [motorola](quint32 value, int size) {
        QByteArray bytes;
        for (int k = 0; k < size; ++k)
            bytes.append(char(value >> 8 * (motorola ? size - 1 - k : k)));
        return bytes;
    };
    // The TIFF header, then IFD0 with the one Orientation entry (SHORT, one value) and no next IFD.
    const QByteArray tiff = QByteArray(motorola ? "MM" : "II") + word(42, 2) + word(8, 4) + word(1, 2) +
                            word(0x0112, 2) + word(3, 2) + word(1, 4) + word(quint32(orientation), 2) + word(0, 2) +
                            word(0, 4);
    const QByteArray content = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray app1("\xFF\xE1", 2);
    app1.append(char((content.size() + 2) >> 8)).append(char((content.size() + 2) & 0xFF)).append(content);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("Cannot write a test picture");
    file.write(jpeg.left(2) + app1 + jpeg.mid(2));
}

namespace {

// Codes of LZW, least significant bit first, in sub-blocks of at most 255 bytes.
struct GifCodes
{
    QByteArray bytes;
    quint32 pending = 0;
    int bits = 0;

    void put(int code, int width)
    {
        pending |= quint32(code) << bits;
        for (bits += width; bits >= 8; bits -= 8, pending >>= 8)
            bytes.append(char(pending & 0xFF));
    }
    QByteArray blocks()
    {
        if (bits > 0)
            bytes.append(char(pending & 0xFF));
        QByteArray out;
        for (qsizetype at = 0; at < bytes.size(); at += 255)
            out.append(char(qMin<qsizetype>(255, bytes.size() - at))).append(bytes.mid(at, 255));
        return out.append('\0');
    }
};

} // namespace

QByteArray gifBytes(const QList<QImage> &frames)
{
    const QList<QRgb> palette = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255),
                                 qRgb(0, 0, 0),   qRgb(0, 0, 0),   qRgb(0, 0, 0),   qRgb(0, 0, 0)};
    const auto word = [](int value) { return QByteArray(1, char(value & 0xFF)) + char(value >> 8); };
    const QSize size = frames.first().size();
    QByteArray gif = QByteArray("GIF89a") + word(size.width()) + word(size.height()) + QByteArray("\xA2\0\0", 3);
    for (const QRgb colour : palette)
        gif.append(char(qRed(colour))).append(char(qGreen(colour))).append(char(qBlue(colour)));
    // Without compression: a clear code before the code table would grow past 4 bits.
    constexpr int clear = 8;
    for (const QImage &frame : frames) {
        gif += QByteArray("\x2C\0\0\0\0", 5) + word(size.width()) + word(size.height()) + QByteArray("\0\x03", 2);
        GifCodes codes;
        for (int y = 0, run = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x, ++run) {
                if (run % 5 == 0)
                    codes.put(clear, 4);
                const qsizetype index = palette.indexOf(frame.pixel(x, y) | 0xFF000000);
                codes.put(index < 0 ? 4 : int(index), 4);
            }
        }
        codes.put(clear + 1, 4);
        gif += codes.blocks();
    }
    return gif + ';';
}

QImage quarters(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height / 2, Qt::red);
    painter.fillRect(width / 2, 0, width - width / 2, height / 2, Qt::green);
    painter.fillRect(0, height / 2, width / 2, height - height / 2, Qt::blue);
    painter.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, Qt::white);
    return image;
}

namespace {

quint32 colorRef(QColor colour)
{
    return quint32(colour.red()) | quint32(colour.green()) << 8 | quint32(colour.blue()) << 16;
}

// Little-endian words and double words, as the metafile formats store them.
struct Writer
{
    QByteArray bytes;
    void word(quint16 v) { bytes.append(char(v & 0xff)).append(char(v >> 8)); }
    void dword(quint32 v)
    {
        word(quint16(v & 0xffff));
        word(quint16(v >> 16));
    }
};

} // namespace

QByteArray wmfBytes(int width, int height, QColor colour, int unitsPerInch)
{
    width = width * unitsPerInch / 96;
    height = height * unitsPerInch / 96;
    Writer records;
    const auto record = [&](quint16 function, std::initializer_list<quint16> params) {
        records.dword(quint32(3 + params.size()));
        records.word(function);
        for (quint16 p : params)
            records.word(p);
    };
    record(0x020B, {0, 0});                            // SETWINDOWORG y, x
    record(0x020C, {quint16(height), quint16(width)}); // SETWINDOWEXT y, x
    // The page first, so that the drawing's extent is the whole page.
    int object = 0;
    for (const auto &[fill, right] : {std::pair{QColor(Qt::white), width}, std::pair{colour, width / 2}}) {
        const quint32 ref = colorRef(fill);
        record(0x02FC, {0, quint16(ref & 0xffff), quint16(ref >> 16), 0}); // CREATEBRUSHINDIRECT solid
        record(0x012D, {quint16(object++)});                               // SELECTOBJECT
        record(0x041B, {quint16(height), quint16(right), 0, 0});           // RECTANGLE bottom right top left
    }
    record(0x0000, {}); // EOF

    Writer header;
    header.word(1);
    header.word(9);
    header.word(0x0300);
    header.dword(quint32(9 + records.bytes.size() / 2));
    header.word(2);
    header.dword(7);
    header.word(0);

    Writer placeable;
    placeable.dword(0x9AC6CDD7);
    placeable.word(0);
    for (int v : {0, 0, width, height})
        placeable.word(quint16(v));
    placeable.word(quint16(unitsPerInch));
    placeable.dword(0);
    quint16 checksum = 0;
    for (int i = 0; i < 20; i += 2)
        checksum ^= quint16(uchar(placeable.bytes[i]) | uchar(placeable.bytes[i + 1]) << 8);
    placeable.word(checksum);
    return placeable.bytes + header.bytes + records.bytes;
}

QByteArray emfBytes(int width, int height, QColor colour, int deviceDpi)
{
    // The frame is the picture's size; the records and bounds are in the reference device's pixels.
    const int frameWidth = width * 2540 / 96;
    const int frameHeight = height * 2540 / 96;
    width = width * deviceDpi / 96;
    height = height * deviceDpi / 96;
    Writer records;
    const auto record = [&](quint32 type, std::initializer_list<quint32> params) {
        records.dword(type);
        records.dword(quint32(8 + 4 * params.size()));
        for (quint32 p : params)
            records.dword(p);
    };
    record(39, {1, 0, colorRef(colour), 0});                 // CREATEBRUSHINDIRECT, handle 1, solid
    record(37, {1});                                         // SELECTOBJECT 1
    record(43, {0, 0, quint32(width / 2), quint32(height)}); // RECTANGLE
    record(14, {0, 16, 20});                                 // EOF

    const int headerSize = 88;
    Writer header;
    header.dword(1);
    header.dword(headerSize);
    for (int v : {0, 0, width - 1, height - 1}) // bounds, in device pixels
        header.dword(quint32(v));
    for (int v : {0, 0, frameWidth, frameHeight}) // in hundredths of a millimetre
        header.dword(quint32(v));
    header.dword(0x464D4520);
    header.dword(0x10000);
    header.dword(quint32(headerSize + records.bytes.size()));
    header.dword(5);
    header.word(2);
    header.word(0);
    header.dword(0);
    header.dword(0);
    header.dword(0);
    header.dword(quint32(1024 * deviceDpi / 96)); // the reference device, in pixels and millimetres
    header.dword(quint32(768 * deviceDpi / 96));
    header.dword(271);
    header.dword(203);
    return header.bytes + records.bytes;
}
