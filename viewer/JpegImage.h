#pragma once

#include <QImage>
#include <QString>

// Decodes a JPEG file with libjpeg. Throws AppError "Cannot open file <path>" when the file cannot
// be read and "JPEG error #<code>" with libjpeg's message code when its content is damaged.
QImage loadJpeg(const QString &fileName);
