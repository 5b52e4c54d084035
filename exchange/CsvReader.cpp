#include "CsvReader.h"

#include "store/Codepage.h"
#include "store/Error.h"

#include <QStringDecoder>
#include <array>

namespace CsvReader {

namespace {

const QByteArray byteOrderMark("\xEF\xBB\xBF");
const QChar quote = QLatin1Char('"');

constexpr std::array<char16_t, 3> separators{u';', u',', u'\t'};
constexpr int sampledRecords = 20;

// How often each separator stands outside quotes in each of the first records.
QList<std::array<int, 3>> separatorCounts(const QString &text)
{
    QList<std::array<int, 3>> records;
    std::array<int, 3> counts{};
    bool quoted = false;
    bool empty = true;
    for (qsizetype i = 0; i < text.size() && records.size() < sampledRecords; ++i) {
        const QChar c = text[i];
        if (c == quote) {
            quoted = !quoted; // a doubled mark inside toggles twice
            empty = false;
        } else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r'))) {
            if (!empty)
                records.append(counts);
            counts = {};
            empty = true;
        } else if (!quoted) {
            empty = false;
            for (size_t s = 0; s < separators.size(); ++s)
                counts[s] += c == QChar(separators[s]);
        }
    }
    if (!empty && records.size() < sampledRecords)
        records.append(counts);
    return records;
}

} // namespace

Encoding detectEncoding(const QByteArray &bytes)
{
    if (bytes.startsWith(byteOrderMark))
        return Encoding::Utf8;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(bytes);
    Q_UNUSED(decoded);
    return utf8.hasError() ? Encoding::Windows1250 : Encoding::Utf8;
}

QString decode(const QByteArray &bytes, Encoding encoding)
{
    if (encoding == Encoding::Windows1250)
        return Codepage::decode(bytes);
    const qsizetype start = bytes.startsWith(byteOrderMark) ? byteOrderMark.size() : 0;
    return QString::fromUtf8(QByteArrayView(bytes).sliced(start));
}

QChar detectSeparator(const QString &text)
{
    const QList<std::array<int, 3>> records = separatorCounts(text);
    // Best: the same count in every record, the larger the better; then the most in all.
    int best = 0;
    std::pair<int, int> bestScore{-1, -1};
    for (size_t s = 0; s < separators.size(); ++s) {
        int total = 0;
        bool even = !records.isEmpty();
        for (const auto &counts : records) {
            total += counts[s];
            even = even && counts[s] == records.first()[s];
        }
        if (total == 0)
            continue;
        const std::pair<int, int> score{even ? records.first()[s] : 0, total};
        if (score > bestScore) {
            bestScore = score;
            best = int(s);
        }
    }
    return QChar(separators[size_t(best)]);
}

Table parse(const QString &text, QChar separator, const QString &fileName, int maxRows)
{
    Table table;
    QStringList record;
    QString field;
    bool fieldStarted = false; // the record has a field in progress, even an empty one
    int line = 1;
    const qsizetype size = text.size();
    const auto endRecord = [&] {
        if (fieldStarted || !record.isEmpty()) {
            record.append(field);
            table.columns = std::max(table.columns, int(record.size()));
            table.rows.append(record);
        }
        record.clear();
        field.clear();
        fieldStarted = false;
    };
    qsizetype i = 0;
    while (i < size && (maxRows < 0 || table.rows.size() < maxRows)) {
        const QChar c = text[i];
        if (c == quote && field.isEmpty()) {
            // Quoted: up to the mark that is not doubled; anything after it up to the separator
            // is kept as it stands, as spreadsheets read such a field.
            const int opened = line;
            qsizetype j = i + 1;
            while (true) {
                const qsizetype next = text.indexOf(quote, j);
                if (next < 0)
                    throw AppError(QStringLiteral("Plik %1 jest uszkodzony: cudzysłów otwarty w wierszu %2 nie "
                                                  "został zamknięty.\nNiczego nie zaimportowano.")
                                       .arg(fileName)
                                       .arg(opened));
                const QStringView part = QStringView(text).sliced(j, next - j);
                line += int(part.count(QLatin1Char('\n')));
                field += part;
                if (next + 1 < size && text[next + 1] == quote) {
                    field += quote;
                    j = next + 2;
                    continue;
                }
                i = next + 1;
                break;
            }
            fieldStarted = true;
        } else if (c == separator) {
            record.append(field);
            field.clear();
            fieldStarted = true;
            ++i;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            i += (c == QLatin1Char('\r') && i + 1 < size && text[i + 1] == QLatin1Char('\n')) ? 2 : 1;
            ++line;
            endRecord();
        } else {
            qsizetype j = i;
            while (j < size && text[j] != separator && text[j] != QLatin1Char('\r') && text[j] != QLatin1Char('\n'))
                ++j;
            field += QStringView(text).sliced(i, j - i);
            fieldStarted = true;
            i = j;
        }
    }
    if (maxRows < 0 || table.rows.size() < maxRows)
        endRecord();
    return table;
}

} // namespace CsvReader
