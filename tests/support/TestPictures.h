#pragma once

#include <QImage>
#include <QString>

// Writes `image` as a baseline JPEG through libjpeg; grey images as one-channel JPEGs.
void writeJpeg(const QString &fileName, const QImage &image, int quality = 90);

// A picture with four coloured quarters, so that orientation and colour can be checked.
QImage quarters(int width, int height);
