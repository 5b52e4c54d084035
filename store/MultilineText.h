#pragma once

#include <QByteArrayView>
#include <QString>

// One-line form of a multi-line value. Text that a plain entry keeps as it is stays unchanged, so
// older files read as they always did; any other text is stored between double quotation marks
// (which the reader drops) with "\" written "\\", CR "\r" and LF "\n".
namespace MultilineText {

QString encode(const QString &text);

// One-line text (no line break) in the form that a plain read gives back exactly: between double
// quotation marks where the reader would drop blanks at its ends or a pair of marks around it,
// unchanged otherwise. Nothing inside is escaped, so no reader has anything to undo.
QString encodeLine(const QString &text);

// `stored` is the value as read; `quoted` tells whether it stood between double quotation marks.
QString decode(const QString &stored, bool quoted);
// The same for the stored bytes, written at `out`, which needs room for stored.size() bytes;
// answers where the text ends.
char *decode(QByteArrayView stored, bool quoted, char *out);

} // namespace MultilineText
