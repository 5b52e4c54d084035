#include "ProfileFile.h"

#include "Codepage.h"
#include "Error.h"
#include "MultilineText.h"
#include "ProfileBatch.h"
#include "ProfileStore.h"

#include <QVarLengthArray>
#include <algorithm>
#include <cstring>
#include <limits>

namespace {

struct Stored
{
    QString text;
    bool doubleQuoted = false;
};

// Names are short and almost always plain ASCII; encoding them on the stack spares two
// allocations on every read.
using NameBytes = QVarLengthArray<char, 64>;

bool encodeName(const QString &name, NameBytes &bytes)
{
    bytes.resize(name.size());
    const QChar *chars = name.constData();
    char *out = bytes.data();
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = chars[i].unicode();
        if (c < 0x20 || c >= 0x80) {
            const auto encoded = Codepage::tryEncode(name);
            if (!encoded)
                return false;
            bytes.clear();
            bytes.append(encoded->constData(), encoded->size());
            return true;
        }
        out[i] = char(c);
    }
    return true;
}

bool breaksLine(char c)
{
    return c == '\r' || c == '\n';
}

// A section name as the file holds it. A walk reads and writes the keys of one section after
// another, so the last section read and the last one written are kept encoded, with the
// characters they came from.
struct SectionBytes
{
    QVarLengthArray<QChar, 64> chars;
    NameBytes bytes;
    bool encodable = true;
    bool fitsLine = true;
};

const SectionBytes &encodeSection(const QString &name, SectionBytes &last)
{
    if (last.chars.size() == name.size() &&
        std::memcmp(last.chars.constData(), name.constData(), size_t(name.size()) * sizeof(QChar)) == 0)
        return last;
    last.chars.clear();
    last.chars.append(name.constData(), name.size());
    last.encodable = encodeName(name, last.bytes);
    last.fitsLine = last.encodable && std::none_of(last.bytes.begin(), last.bytes.end(), breaksLine);
    return last;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isQuote(char c)
{
    return c == '"' || c == '\'';
}

// The value's bytes as the reading rules give them: without quotation marks around it, cut to
// the longest value read back.
struct StoredBytes
{
    QByteArrayView bytes;
    bool doubleQuoted = false;
};

std::optional<StoredBytes> readStoredBytes(const ProfileDocument *document, const QString &section, const QString &key,
                                           bool whole = false)
{
    if (!document)
        return std::nullopt;
    // A name that cannot be encoded cannot stand in the file either.
    static thread_local SectionBytes lastRead;
    const SectionBytes &sectionBytes = encodeSection(section, lastRead);
    NameBytes keyBytes;
    if (!sectionBytes.encodable || !encodeName(key, keyBytes))
        return std::nullopt;
    auto value = document->value(QByteArrayView(sectionBytes.bytes), QByteArrayView(keyBytes));
    if (!value)
        return std::nullopt;
    StoredBytes stored;
    stored.bytes = whole ? unquotedValue(*value, &stored.doubleQuoted) : readValue(*value, &stored.doubleQuoted);
    return stored;
}

std::optional<Stored> readStored(const ProfileDocument *document, const QString &section, const QString &key,
                                 bool whole = false)
{
    const auto stored = readStoredBytes(document, section, key, whole);
    if (!stored)
        return std::nullopt;
    return Stored{Codepage::decode(stored->bytes), stored->doubleQuoted};
}

// A line break, or "=" in a key, would change which lines the file holds.
void checkName(const QString &fileName, const QString &what, bool isKey)
{
    if (what.contains(QLatin1Char('\r')) || what.contains(QLatin1Char('\n')) ||
        (isKey && what.contains(QLatin1Char('='))))
        throw AppError(QStringLiteral("Nazwa \"%1\" nie może zostać zapisana w pliku %2.").arg(what, fileName));
}

void checkValue(const QString &value)
{
    if (value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n')))
        throw AppError(QStringLiteral("Wartość jednowierszowa nie może zawierać znaku końca wiersza."));
}

std::optional<quint32> parseHex(QStringView digits)
{
    if (digits.isEmpty())
        return std::nullopt;
    quint64 value = 0;
    for (QChar c : digits) {
        const int digit = QStringView(u"0123456789abcdef").indexOf(c.toLower());
        if (digit < 0 || c.unicode() > 0x7f)
            return std::nullopt;
        value = value * 16 + quint64(digit);
        if (value > std::numeric_limits<quint32>::max())
            return std::nullopt;
    }
    return quint32(value);
}

std::optional<qint32> parseDecimal(QStringView text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        negative = text[i++] == QLatin1Char('-');
    if (i == text.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (text[i].unicode() - '0');
        if (value > qint64(std::numeric_limits<qint32>::max()) + 1)
            return std::nullopt;
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<qint32>::max() || value < std::numeric_limits<qint32>::min())
        return std::nullopt;
    return qint32(value);
}

} // namespace

QByteArrayView unquotedValue(QByteArrayView value, bool *doubleQuoted)
{
    const bool quoted = value.size() >= 2 && isQuote(value.front()) && value.front() == value.back();
    if (doubleQuoted)
        *doubleQuoted = quoted && value.front() == '"';
    return quoted ? value.sliced(1, value.size() - 2) : value;
}

QByteArrayView readValue(QByteArrayView value, bool *doubleQuoted)
{
    const QByteArrayView unquoted = unquotedValue(value, doubleQuoted);
    return unquoted.first(std::min(unquoted.size(), ProfileFile::maxValueLength));
}

std::optional<int> parseNumber(QStringView text)
{
    // A hexadecimal number is the 32-bit pattern it spells, so eight F digits are -1.
    const auto pattern = [](std::optional<quint32> hex) { return hex ? std::optional<int>(int(*hex)) : std::nullopt; };
    if (text.size() > 2 && (text.startsWith(u"0x") || text.startsWith(u"0X")))
        return pattern(parseHex(text.sliced(2)));
    while (text.startsWith(QLatin1Char(' ')))
        text = text.sliced(1);
    if (text.startsWith(QLatin1Char('$')) || text.startsWith(QLatin1Char('x')) || text.startsWith(QLatin1Char('X')))
        return pattern(parseHex(text.sliced(1)));
    return parseDecimal(text);
}

int parseProfileNumber(QStringView text, int defaultValue)
{
    return parseNumber(text).value_or(defaultValue);
}

QString ProfileFile::ReadText(const QString &section, const QString &key, const QString &defaultValue) const
{
    const auto stored = readStored(document(), section, key);
    return stored ? stored->text : defaultValue;
}

QString ProfileFile::ReadWholeText(const QString &section, const QString &key) const
{
    const auto stored = readStored(document(), section, key, true);
    return stored ? stored->text : QString();
}

int ProfileFile::ReadNumber(const QString &section, const QString &key, int defaultValue) const
{
    return parseProfileNumber(ReadText(section, key, QString()), defaultValue);
}

int ProfileFile::NumberedKeys(const QString &section) const
{
    const ProfileDocument *document = this->document();
    const auto sectionBytes = Codepage::tryEncode(section);
    if (!document || !sectionBytes)
        return 0;
    return int(std::min<qsizetype>(document->numberedKeys(*sectionBytes), std::numeric_limits<int>::max()));
}

int ProfileFile::NumberedSections() const
{
    const ProfileDocument *document = this->document();
    return document ? int(std::min<qsizetype>(document->numberedSections(), std::numeric_limits<int>::max())) : 0;
}

const ProfileDocument *ProfileFile::document() const
{
    return m_batch ? pending().document.get() : ProfileStore::load(m_fileName, m_reader);
}

ProfileBatch::Pending &ProfileFile::pending() const
{
    if (!m_pending || m_pendingGeneration != m_batch->generation()) {
        m_pending = &m_batch->pending(m_fileName);
        m_pendingGeneration = m_batch->generation();
    }
    return *m_pending;
}

void ProfileFile::Edit(const std::function<void(ProfileEdit &)> &changes)
{
    apply(changes);
}

// A batch takes a value at a time by the hundred thousand: no std::function to make for each.
template <typename Changes> void ProfileFile::apply(const Changes &changes)
{
    if (m_batch) {
        ProfileBatch::Pending &pending = this->pending();
        if (!pending.writable) {
            ProfileStore::checkWritable(m_fileName, pending.existed);
            pending.writable = true;
        }
        ProfileEdit edit(m_fileName, *pending.document);
        try {
            changes(edit);
        } catch (...) {
            pending.changed |= edit.m_changed;
            throw;
        }
        pending.changed |= edit.m_changed;
        return;
    }
    ProfileStore::modify(m_fileName, [&](ProfileDocument &document) {
        ProfileEdit edit(m_fileName, document);
        changes(edit);
        return edit.m_changed;
    });
}

void ProfileFile::WriteText(const QString &section, const QString &key, const QString &value)
{
    apply([&](ProfileEdit &edit) { edit.WriteText(section, key, value); });
}

void ProfileFile::WriteNumber(const QString &section, const QString &key, int value)
{
    apply([&](ProfileEdit &edit) { edit.WriteNumber(section, key, value); });
}

void ProfileFile::DropSection(const QString &section)
{
    apply([&](ProfileEdit &edit) { edit.DropSection(section); });
}

void ProfileFile::DropKey(const QString &section, const QString &key)
{
    try {
        apply([&](ProfileEdit &edit) { edit.DropKey(section, key); });
    } catch (const AppError &) {
        // Dropping is tidying up after a command; a file that cannot be written keeps the key.
    }
}

void ProfileEdit::WriteText(const QString &section, const QString &key, const QString &value)
{
    checkValue(value);
    WriteBytes(section, key, Codepage::encode(value));
}

void ProfileEdit::WriteBytes(const QString &section, const QString &key, QByteArrayView value)
{
    // Line breaks and "=" are their own bytes in the code page: the names are checked once encoded.
    static thread_local SectionBytes lastWritten;
    const SectionBytes &sectionBytes = encodeSection(section, lastWritten);
    NameBytes keyBytes;
    if (!sectionBytes.fitsLine || !encodeName(key, keyBytes) ||
        std::any_of(keyBytes.begin(), keyBytes.end(), [](char c) { return breaksLine(c) || c == '='; })) {
        checkName(m_fileName, section, false);
        checkName(m_fileName, key, true);
        if (!sectionBytes.encodable)
            throw AppError(Codepage::unencodableMessage(section));
        throw AppError(Codepage::unencodableMessage(key));
    }
    m_changed |= m_document.setValue(QByteArrayView(sectionBytes.bytes), QByteArrayView(keyBytes), value);
}

void ProfileEdit::WriteNumber(const QString &section, const QString &key, int value)
{
    WriteText(section, key, QString::number(value));
}

void ProfileEdit::WriteMultiline(const QString &section, const QString &key, const QString &value)
{
    WriteText(section, key, MultilineText::encode(value));
}

void ProfileEdit::DropSection(const QString &section)
{
    if (const auto sectionBytes = Codepage::tryEncode(section)) // else no such section can stand in the file
        m_changed |= m_document.dropSection(*sectionBytes);
}

void ProfileEdit::DropKey(const QString &section, const QString &key)
{
    const auto sectionBytes = Codepage::tryEncode(section);
    const auto keyBytes = Codepage::tryEncode(key);
    if (sectionBytes && keyBytes)
        m_changed |= m_document.dropKey(*sectionBytes, *keyBytes);
}

void ProfileFile::CopyText(const QString &section, const QString &key, const QString &missing, ProfileFile &to,
                           const QString &toSection) const
{
    const auto stored = readStoredBytes(document(), section, key);
    if (!stored) {
        to.WriteText(toSection, key, missing);
        return;
    }
    // Kept aside: the value may lie in the very copy of a file that the write replaces. A value
    // that stood between quotation marks keeps them where it would read back otherwise.
    const QByteArrayView bytes = stored->bytes;
    const bool quote =
        !bytes.isEmpty() && (isBlank(bytes.front()) || isBlank(bytes.back()) ||
                             (bytes.size() >= 2 && isQuote(bytes.front()) && bytes.front() == bytes.back()));
    QVarLengthArray<char, 256> value;
    if (quote)
        value.append('"');
    value.append(bytes.data(), bytes.size());
    if (quote)
        value.append('"');
    to.apply([&](ProfileEdit &edit) { edit.WriteBytes(toSection, key, QByteArrayView(value.data(), value.size())); });
}

QString ProfileFile::ReadMultiline(const QString &section, const QString &key) const
{
    const auto stored = readStored(document(), section, key);
    return stored ? MultilineText::decode(stored->text, stored->doubleQuoted) : QString();
}

void ProfileFile::WriteMultiline(const QString &section, const QString &key, const QString &value)
{
    apply([&](ProfileEdit &edit) { edit.WriteMultiline(section, key, value); });
}
