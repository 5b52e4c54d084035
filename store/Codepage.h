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

// Folding for finding text as a reader types it: letter case and Polish marks do not count, so
// "lodz" and "ŁÓDŹ" fold alike. Each Windows-1250 byte folds to one byte: a letter to its lower
// case base letter (ł to l), anything else to its lower case.
const std::array<char, 256> &searchFoldTable();
void searchFold(QByteArray &bytes);
// The folded Windows-1250 bytes of what the user typed, or nothing when some character cannot
// stand in a catalogue file, so that no text there can hold it.
std::optional<QByteArray> searchFolded(QStringView text);

} // namespace Codepage
