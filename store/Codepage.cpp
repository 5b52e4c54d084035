#include "Codepage.h"

#include "Error.h"

#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>
#include <array>
#include <vector>

namespace {

constexpr const char *codecName = "windows-1250";

bool isAscii(QByteArrayView bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// Qt offers Windows-1250 only where it is built with ICU, as Debian's Qt is.
template <typename Converter> Converter makeConverter()
{
    Converter converter(codecName);
    if (!converter.isValid())
        qFatal("This Qt build has no %s converter", codecName);
    return converter;
}

// One converter for each thread: a converter keeps state, and the catalogue search reads on a thread of its own.
QStringEncoder &encoder()
{
    thread_local QStringEncoder instance = makeConverter<QStringEncoder>();
    instance.resetState();
    return instance;
}

QStringDecoder &decoder()
{
    thread_local QStringDecoder instance = makeConverter<QStringDecoder>();
    instance.resetState();
    return instance;
}

// NUL ends the text for many a reader of such files. Other control characters are the file's own
// bytes: a value that holds one is written back as it was; line breaks are left to the caller,
// which knows whether the value may hold them.
bool isControl(QChar c)
{
    return c.unicode() == 0;
}

QString describe(QStringView character)
{
    const char32_t code = character.size() == 1 ? character[0].unicode() : character.toUcs4().value(0);
    const QString hex = QString::number(code, 16).toUpper().rightJustified(4, QLatin1Char('0'));
    if (character.size() == 1 && isControl(character[0]))
        return QStringLiteral("Znak sterujący U+%1 nie może zostać zapisany w pliku katalogu.").arg(hex);
    return QStringLiteral("Znak \"%1\" (U+%2) nie może zostać zapisany w pliku katalogu, "
                          "ponieważ nie należy do strony kodowej Windows-1250.")
        .arg(character.toString(), hex);
}

} // namespace

namespace Codepage {

QString unencodableMessage(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype width = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        if (!tryEncode(text.mid(i, width)))
            return describe(text.mid(i, width));
        i += width - 1;
    }
    return {};
}

// The byte of each character that the code page holds and a file may, -1 for every other. Asked of the converter
// one character at a time, with a round trip: it drops some characters it cannot map and
// substitutes others.
static const std::vector<qint16> &encodeTable()
{
    static const std::vector<qint16> table = [] {
        std::vector<qint16> bytes(0x10000, -1);
        for (int c = 0; c < 0x80; ++c)
            bytes[c] = isControl(QChar(c)) ? -1 : qint16(c);
        for (int b = 0x80; b < 0x100; ++b) {
            const char byte = static_cast<char>(b);
            const QString one = decode(QByteArrayView(&byte, 1));
            if (one.size() != 1 || one[0] == QChar::ReplacementCharacter)
                continue;
            const QByteArray back = encoder()(one);
            if (back.size() == 1 && decode(back) == one)
                bytes[one[0].unicode()] = qint16(static_cast<unsigned char>(back[0]));
        }
        return bytes;
    }();
    return table;
}

std::optional<QByteArray> tryEncode(QStringView text)
{
    const auto &table = encodeTable();
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char *out = bytes.data();
    for (QChar c : text) {
        const qint16 byte = table[c.unicode()];
        if (byte < 0)
            return std::nullopt;
        *out++ = static_cast<char>(byte);
    }
    return bytes;
}

QByteArray encode(QStringView text)
{
    if (auto bytes = tryEncode(text))
        return *std::move(bytes);
    throw AppError(unencodableMessage(text));
}

// Reading is the hot path; a table of what Qt's converter makes of each byte spares it a call.
static const std::array<char16_t, 256> &decodeTable()
{
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> chars{};
        for (int b = 0; b < 256; ++b) {
            const char c = static_cast<char>(b);
            const QString one = decoder()(QByteArrayView(&c, 1));
            chars[b] = one.size() == 1 ? one[0].unicode() : u'\uFFFD';
        }
        return chars;
    }();
    return table;
}

QString decode(QByteArrayView bytes)
{
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    const auto &table = decodeTable();
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (char c : bytes)
        *out++ = QChar(table[static_cast<unsigned char>(c)]);
    return text;
}

const std::array<char, 256> &foldTable()
{
    static const std::array<char, 256> table = [] {
        std::array<char, 256> folded{};
        for (int b = 0; b < 256; ++b) {
            const char c = static_cast<char>(b);
            folded[b] = c;
            const QString lower = decode(QByteArrayView(&c, 1)).toLower();
            if (lower.size() != 1)
                continue;
            const QByteArray back = encoder()(lower);
            if (back.size() == 1 && decode(back) == lower)
                folded[b] = back[0];
        }
        return folded;
    }();
    return table;
}

const std::array<char, 256> &searchFoldTable()
{
    static const std::array<char, 256> table = [] {
        std::array<char, 256> folded = foldTable();
        for (int b = 0x80; b < 256; ++b) {
            const char c = static_cast<char>(b);
            const QString lower = decode(QByteArrayView(&c, 1)).toLower();
            if (lower.size() != 1)
                continue;
            // The stroke of ł and đ is no mark Unicode can decompose.
            QChar base = lower == u"ł" ? QChar(u'l') : lower == u"đ" ? QChar(u'd') : lower.at(0);
            if (const QString parts = base.decomposition(); !parts.isEmpty() && base.decompositionTag() ==
                                                                                    QChar::Canonical)
                base = parts.at(0);
            if (base.unicode() < 0x80 && base.isLetter())
                folded[b] = char(base.unicode());
        }
        return folded;
    }();
    return table;
}

void searchFold(QByteArray &bytes)
{
    const auto &table = searchFoldTable();
    for (char &c : bytes)
        c = table[static_cast<unsigned char>(c)];
}

std::optional<QByteArray> searchFolded(QStringView text)
{
    auto bytes = tryEncode(text);
    if (bytes)
        searchFold(*bytes);
    return bytes;
}

char foldCase(char byte)
{
    return foldTable()[static_cast<unsigned char>(byte)];
}

} // namespace Codepage
