#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>
#include <optional>

// The catalogue files hold Windows-1250 bytes; the program works in QString. Every conversion
// between the two goes through here.
namespace Codepage {

// Throws AppError naming the first character that Windows-1250 cannot hold, so nothing is
// ever replaced silently by "?".
QByteArray encode(QStringView text);

// Nothing when some character does not fit.
std::optional<QByteArray> tryEncode(QStringView text);

// What encode() would throw, or the empty text when everything fits.
QString unencodableMessage(QStringView text);

QString decode(QByteArrayView bytes);

// Case folding of one Windows-1250 byte (Ą and ą compare equal), derived from the code page.
char foldCase(char byte);
const std::array<char, 256> &foldTable();

} // namespace Codepage
