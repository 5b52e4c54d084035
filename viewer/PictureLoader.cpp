#include "PictureLoader.h"

#include "JpegImage.h"
#include "store/Error.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdlib>
#include <emf2svg.h>
#ifdef Q_OS_WIN
#include <QFileInfo>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#include <libwmf/api.h>
#include <libwmf/svg.h>

namespace {

// The extension as Windows sees it: after the last dot of the last path element, any separator.
QString extensionOf(const QString &path)
{
    const qsizetype slash = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot > slash ? path.mid(dot + 1) : QString();
}

AppError cannotOpen(const QString &path)
{
    return AppError(QStringLiteral("Cannot open file %1").arg(path));
}

AppError notAFile(const QString &path)
{
    return AppError(QStringLiteral("%1 nie jest zwykłym plikiem (to folder, urządzenie lub potok), więc nie może "
                                   "zostać wczytany jako zdjęcie.")
                        .arg(path));
}

AppError tooLarge(const QString &path, qint64 size)
{
    return AppError(QStringLiteral("Plik %1 ma %2 MB, a zdjęcie może mieć najwyżej %3 MB; nie został wczytany.")
                        .arg(path)
                        .arg((size + (1 << 20) - 1) >> 20)
                        .arg(PictureLoader::maxFileSize >> 20));
}

// A metafile is read whole: it is no larger than openFile lets through.
QByteArray readWhole(const QString &path)
{
    QFile file;
    PictureLoader::openFile(file, path);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw cannotOpen(path);
    return bytes;
}

// Qt's reader decodes at the size asked for when the format can, and scales after reading when not:
// either way no larger than the area needs, and never enlarged.
void fitReader(QImageReader &reader, QSize fitInto)
{
    const QSize own = reader.size();
    if (fitInto.isValid() && own.isValid() && (own.width() > fitInto.width() || own.height() > fitInto.height()))
        reader.setScaledSize(own.scaled(fitInto, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
}

QImage readWithQt(const QString &path, const char *format, QSize fitInto, const QString &damaged)
{
    QFile file;
    PictureLoader::openFile(file, path);
    QImageReader reader(&file, format);
    reader.setDecideFormatFromContent(false);
    // A picture of few colours (a one-bit or palette PNG, a GIF) would be scaled within its
    // palette, which dithers a smooth picture into a pattern: it is read whole and scaled in colour.
    const QImage::Format stored = reader.imageFormat();
    const bool paletted = stored == QImage::Format_Mono || stored == QImage::Format_MonoLSB ||
                          stored == QImage::Format_Indexed8;
    if (!paletted)
        fitReader(reader, fitInto);
    QImage image = reader.read();
    if (image.isNull())
        throw AppError(damaged);
    if (paletted) {
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        const QSize own = image.size();
        if (fitInto.isValid() && (own.width() > fitInto.width() || own.height() > fitInto.height()))
            image = image.scaled(fitInto, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    return image;
}

// The kinds read through Qt's image plugins (WebP and TIFF come with qt6-image-formats-plugins).
struct PluginKind
{
    const char *extension;
    const char *format;
    const char *name;
};
constexpr PluginKind pluginKinds[] = {
    {"png", "png", "PNG"},   {"gif", "gif", "GIF"},    {"webp", "webp", "WebP"},
    {"tif", "tiff", "TIFF"}, {"tiff", "tiff", "TIFF"},
};

// A GIF gives its first frame: a photo is one picture.
QImage readWithPlugin(const QString &path, const PluginKind &kind, QSize fitInto)
{
    if (!QImageReader::supportedImageFormats().contains(kind.format))
        throw AppError(QStringLiteral("Nie można wczytać zdjęcia %1: brak modułu Qt do odczytu plików %2 "
                                      "(pakiet qt6-image-formats-plugins).")
                           .arg(path, QLatin1String(kind.name)));
    return readWithQt(
        path, kind.format, fitInto,
        QStringLiteral("Plik %1 jest uszkodzony albo nie jest obrazem %2.").arg(path, QLatin1String(kind.name)));
}

// Little-endian integers of a metafile header; 0 past the end.
qint32 headerValue(const QByteArray &bytes, qsizetype at, int size)
{
    if (at + size > bytes.size())
        return 0;
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | uchar(bytes[at + i]);
    return size == 2 ? qint16(value) : qint32(value);
}

// The size the metafile says it has, in pixels at 96 an inch: a placeable WMF's bounding box in
// its units per inch, an EMF's frame in hundredths of a millimetre. Invalid when it says none.
QSize frameOf(const QByteArray &bytes, bool enhanced)
{
    double width = 0;
    double height = 0;
    if (enhanced) {
        width = (double(headerValue(bytes, 32, 4)) - headerValue(bytes, 24, 4)) * 96 / 2540;
        height = (double(headerValue(bytes, 36, 4)) - headerValue(bytes, 28, 4)) * 96 / 2540;
    } else if (quint32(headerValue(bytes, 0, 4)) == 0x9AC6CDD7u) {
        const int unitsPerInch = headerValue(bytes, 14, 2);
        if (unitsPerInch <= 0)
            return QSize();
        width = qAbs(double(headerValue(bytes, 10, 2)) - headerValue(bytes, 6, 2)) * 96 / unitsPerInch;
        height = qAbs(double(headerValue(bytes, 12, 2)) - headerValue(bytes, 8, 2)) * 96 / unitsPerInch;
    }
    // A frame beyond any screen is a damaged header: the drawing's own extent is used then.
    if (width < 1 || height < 1 || width > 20000 || height > 20000)
        return QSize();
    return QSize(qRound(width), qRound(height));
}

// Metafiles are drawings: drawn on white at their own frame, smaller where the area asks for it,
// never larger, as a photo is.
QImage drawSvg(const QByteArray &svg, QSize frame, QSize fitInto, const QString &path)
{
    QSvgRenderer renderer(svg);
    if (!renderer.isValid() || renderer.defaultSize().isEmpty())
        throw AppError(QStringLiteral("Metafile is not valid: %1").arg(path));
    QSize size = frame.isValid() ? frame : renderer.defaultSize();
    if (fitInto.isValid() && (size.width() > fitInto.width() || size.height() > fitInto.height()))
        size.scale(fitInto, Qt::KeepAspectRatio);
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
    return image;
}

QByteArray emfToSvg(QByteArray emf, const QString &path)
{
    generatorOptions options{};
    options.nameSpace = const_cast<char *>("svg");
    options.svgDelimiter = true;
    options.emfplus = true;
    char *out = nullptr;
    size_t length = 0;
    const int ok = emf2svg(emf.data(), size_t(emf.size()), &out, &length, &options);
    const QByteArray svg = out ? QByteArray(out, qsizetype(length)) : QByteArray();
    std::free(out);
    if (!ok || svg.isEmpty())
        throw AppError(QStringLiteral("Metafile is not valid: %1").arg(path));
    return svg;
}

QByteArray wmfToSvg(QByteArray wmf, const QString &path)
{
    wmfAPI_Options options{};
    options.function = wmf_svg_function;
    wmfAPI *api = nullptr;
    const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    if (wmf_api_create(&api, flags, &options) != wmf_E_None) {
        if (api)
            wmf_api_destroy(api);
        throw AppError(QStringLiteral("Metafile is not valid: %1").arg(path));
    }
    QByteArray svg;
    wmfD_Rect box{};
    unsigned int width = 0;
    unsigned int height = 0;
    wmf_svg_t *device = WMF_SVG_GetData(api);
    if (wmf_mem_open(api, reinterpret_cast<unsigned char *>(wmf.data()), long(wmf.size())) == wmf_E_None &&
        wmf_scan(api, 0, &box) == wmf_E_None && wmf_display_size(api, &width, &height, 96, 96) == wmf_E_None &&
        width > 0 && height > 0) {
        device->out = wmf_stream_create(api, nullptr);
        device->Description = const_cast<char *>("Gromadnik");
        device->bbox = box;
        device->width = width;
        device->height = height;
        const bool played = wmf_play(api, 0, &box) == wmf_E_None;
        char *buffer = nullptr;
        unsigned long length = 0;
        wmf_stream_destroy(api, device->out, &buffer, &length);
        if (played && buffer)
            svg = QByteArray(buffer, qsizetype(length));
    }
    wmf_api_destroy(api); // frees what the library allocated, the stream's memory too
    if (svg.isEmpty())
        throw AppError(QStringLiteral("Metafile is not valid: %1").arg(path));
    return svg;
}

} // namespace

namespace PictureLoader {

void openFile(QFile &file, const QString &path)
{
    if (path.startsWith(QLatin1Char(':'))) {
        file.setFileName(path);
        if (!file.open(QIODevice::ReadOnly))
            throw cannotOpen(path);
        return;
    }
#ifdef Q_OS_WIN
    const QFileInfo info(path);
    if (!info.exists())
        throw cannotOpen(path);
    if (!info.isFile())
        throw notAFile(path);
    if (info.size() > maxFileSize)
        throw tooLarge(path, info.size());
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        throw cannotOpen(path);
#else
    // Asked before the open, which would wait for a pipe's writer; asked again of the open file,
    // which may have been swapped for another in between (the open itself does not wait then).
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (::stat(name.constData(), &st) != 0)
        throw cannotOpen(path);
    if (!S_ISREG(st.st_mode))
        throw notAFile(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw cannotOpen(path);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > maxFileSize) {
        ::close(fd);
        if (st.st_size > maxFileSize && S_ISREG(st.st_mode))
            throw tooLarge(path, st.st_size);
        throw notAFile(path);
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw cannotOpen(path);
    }
#endif
}

QImage load(const QString &path, QSize fitInto)
{
    const QString extension = extensionOf(path);
    const QString kind = extension.toLower();
    if (kind == QLatin1String("jpg") || kind == QLatin1String("jpeg"))
        return loadJpeg(path, fitInto);
    if (kind == QLatin1String("bmp"))
        return readWithQt(path, "bmp", fitInto, QStringLiteral("Bitmap image is not valid: %1").arg(path));
    if (kind == QLatin1String("ico"))
        return readWithQt(path, "ico", fitInto, QStringLiteral("Icon image is not valid: %1").arg(path));
    for (const PluginKind &plugin : pluginKinds) {
        if (kind == QLatin1String(plugin.extension))
            return readWithPlugin(path, plugin, fitInto);
    }
    if (kind == QLatin1String("emf") || kind == QLatin1String("wmf")) {
        const QByteArray bytes = readWhole(path);
        const bool enhanced = kind == QLatin1String("emf");
        const QSize frame = frameOf(bytes, enhanced);
        return drawSvg(enhanced ? emfToSvg(bytes, path) : wmfToSvg(bytes, path), frame, fitInto, path);
    }
    throw AppError(QStringLiteral("Unknown picture file extension (.%1)").arg(extension));
}

QString dialogFilter()
{
    return QStringLiteral("Zdjęcia (*.jpg *.jpeg *.png *.gif *.webp *.tif *.tiff *.bmp *.ico *.emf *.wmf);;"
                          "JPEG Image File (*.jpg);;JPEG Image File (*.jpeg);;Obrazy PNG (*.png);;Obrazy GIF (*.gif);;"
                          "Obrazy WebP (*.webp);;Obrazy TIFF (*.tif *.tiff);;Bitmaps (*.bmp);;Icons (*.ico);;"
                          "Enhanced Metafiles (*.emf);;Metafiles (*.wmf);;Wszystkie pliki (*)");
}

} // namespace PictureLoader
