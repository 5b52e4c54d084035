#include "MultilineText.h"

#include <algorithm>

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool isQuote(QChar c)
{
    return c == QLatin1Char('"') || c == QLatin1Char('\'');
}

// Whether a plain entry gives the text back unchanged.
bool isPlain(const QString &text)
{
    if (text.isEmpty())
        return true;
    if (text.contains(QLatin1Char(u'\r')) || text.contains(QLatin1Char(u'\n')))
        return false;
    if (isBlank(text.front()) || isBlank(text.back()))
        return false;
    return !(text.size() >= 2 && isQuote(text.front()) && text.front() == text.back());
}

} // namespace

namespace MultilineText {

QString encode(const QString &text)
{
    if (isPlain(text))
        return text;
    QString result(2 * text.size() + 2, Qt::Uninitialized); // room for every character escaped
    QChar *out = result.data();
    *out++ = QLatin1Char('"');
    for (QChar c : text) {
        const bool escaped = c == QLatin1Char(u'\\') || c == QLatin1Char(u'\r') || c == QLatin1Char(u'\n');
        if (escaped)
            *out++ = QLatin1Char(u'\\');
        *out++ = c == QLatin1Char(u'\r') ? QLatin1Char(u'r') : c == QLatin1Char(u'\n') ? QLatin1Char(u'n') : c;
    }
    *out++ = QLatin1Char('"');
    result.truncate(out - result.constData());
    return result;
}

QString encodeLine(const QString &text)
{
    return isPlain(text) ? text : QLatin1Char('"') + text + QLatin1Char('"');
}

namespace {

// A backslash before anything but "\\", "r" or "n" is itself.
template <typename Char> Char *unescape(const Char *stored, qsizetype size, Char *out)
{
    for (qsizetype i = 0; i < size; ++i) {
        const Char c = stored[i];
        const Char next = i + 1 < size ? stored[i + 1] : Char();
        if (c == Char(u'\\') && (next == Char(u'\\') || next == Char(u'r') || next == Char(u'n'))) {
            *out++ = next == Char(u'r') ? Char(u'\r') : next == Char(u'n') ? Char(u'\n') : next;
            ++i;
        } else {
            *out++ = c;
        }
    }
    return out;
}

} // namespace

QString decode(const QString &stored, bool quoted)
{
    if (!quoted || !stored.contains(QLatin1Char(u'\\')))
        return stored;
    QString result(stored.size(), Qt::Uninitialized);
    const QChar *end = unescape(stored.constData(), stored.size(), result.data());
    result.truncate(end - result.constData());
    return result;
}

char *decode(QByteArrayView stored, bool quoted, char *out)
{
    if (!quoted)
        return std::copy_n(stored.data(), stored.size(), out);
    return unescape(stored.data(), stored.size(), out);
}

} // namespace MultilineText
