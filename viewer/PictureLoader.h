#pragma once

#include <QFile>
#include <QImage>
#include <QSize>
#include <QString>

// Loads a photo. The kind is chosen by the path's extension, without regard to letter case:
// ".jpg"/".jpeg" through libjpeg (turned upright as their EXIF says), ".bmp", ".ico", ".png", ".gif"
// (its first frame), ".webp" and ".tif"/".tiff" through Qt's readers, ".emf" through libemf2svg
// and ".wmf" through libwmf, both drawn with QtSvg. Throws AppError: "Unknown picture file
// extension (.<ext>)", "Cannot open file <path>", "JPEG error #<code>", or a message naming the
// file for other damaged content.
namespace PictureLoader {

// `fitInto`, when valid, is the area the picture will be shown in, proportions kept: a photo is
// then decoded only as large as that area needs (never smaller), and a drawing is drawn at its
// own frame made smaller to fit (never larger). Without it the picture comes at its own size.
QImage load(const QString &path, QSize fitInto = QSize());

// A photo path may name anything: a pipe (whose open waits for a writer forever), a device that
// never ends, a file of gigabytes. Only a regular file of at most maxFileSize is opened, without
// waiting; anything else throws AppError naming the file. Paths into the program's resources
// (":/...") open as they are.
constexpr qint64 maxFileSize = 256LL * 1024 * 1024;
void openFile(QFile &file, const QString &path);

// Filters for the picture-open dialogs, in the order they are offered.
QString dialogFilter();

} // namespace PictureLoader
