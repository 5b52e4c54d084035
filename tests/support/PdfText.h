#pragma once

#include <QString>
#include <QStringList>

// What poppler's tools read from a PDF file, as a reader's program sees it.
QString pdfText(const QString &pdf);
// How many images the pages place.
int pdfImages(const QString &pdf);

// Whether every part stands in `text`, each after the one before.
bool inOrder(const QString &text, const QStringList &parts);
