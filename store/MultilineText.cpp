#include "MultilineText.h"

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
    if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')))
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
        const bool escaped = c == QLatin1Char('\\') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
        if (escaped)
            *out++ = QLatin1Char('\\');
        *out++ = c == QLatin1Char('\r') ? QLatin1Char('r') : c == QLatin1Char('\n') ? QLatin1Char('n') : c;
    }
    *out++ = QLatin1Char('"');
    result.truncate(out - result.constData());
    return result;
}

QString encodeLine(const QString &text)
{
    return isPlain(text) ? text : QLatin1Char('"') + text + QLatin1Char('"');
}

QString decode(const QString &stored, bool quoted)
{
    if (!quoted || !stored.contains(QLatin1Char('\\')))
        return stored;
    QString result(stored.size(), Qt::Uninitialized);
    QChar *out = result.data();
    for (qsizetype i = 0; i < stored.size(); ++i) {
        const QChar c = stored[i];
        const QChar next = i + 1 < stored.size() ? stored[i + 1] : QChar();
        if (c != QLatin1Char('\\')) {
            *out++ = c;
        } else if (next == QLatin1Char('\\') || next == QLatin1Char('r') || next == QLatin1Char('n')) {
            *out++ = next == QLatin1Char('r') ? QChar(u'\r') : next == QLatin1Char('n') ? QChar(u'\n') : next;
            ++i;
        } else {
            *out++ = c; // a backslash before anything else is itself
        }
    }
    result.truncate(out - result.constData());
    return result;
}

} // namespace MultilineText
