#include "ProfileDocument.h"

#include "Codepage.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr qsizetype largeSection = 32;
const QByteArray byteOrderMark("\xEF\xBB\xBF");
const QByteArray lineBreak("\r\n");

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && isBlank(text[from]))
        ++from;
    while (to > from && isBlank(text[to - 1]))
        --to;
    return text.sliced(from, to - from);
}

// FNV-1a of the folded bytes: lets a lookup pass over most keys with one comparison.
quint32 foldedHash(QByteArrayView text)
{
    const auto &fold = Codepage::foldTable();
    quint32 hash = 2166136261u;
    for (char c : text)
        hash = (hash ^ uchar(fold[uchar(c)])) * 16777619u;
    return hash;
}

QByteArray folded(QByteArrayView text)
{
    QByteArray result(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        result[i] = Codepage::foldCase(text[i]);
    return result;
}

bool sameFolded(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    const auto &fold = Codepage::foldTable();
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && fold[uchar(a[i])] != fold[uchar(b[i])])
            return false;
    }
    return true;
}

} // namespace

ProfileDocument::ProfileDocument(QByteArray bytes) : m_bytes(std::move(bytes))
{
    indexLines(0, m_bytes.size(), 0);
    indexSections();
}

// Splits bytes [from, to) into lines and inserts them into m_lines at index `at`.
void ProfileDocument::indexLines(qsizetype from, qsizetype to, qsizetype at)
{
    // Appending, as parsing does, needs no second copy of the lines.
    const bool appending = at == qsizetype(m_lines.size());
    std::vector<Line> inserted;
    std::vector<Line> &lines = appending ? m_lines : inserted;
    if (appending)
        m_lines.reserve(m_lines.size() + size_t((to - from) / 32));
    const char *data = m_bytes.constData();
    qsizetype begin = from;
    while (begin < to) {
        const void *newline = std::memchr(data + begin, '\n', size_t(to - begin));
        qsizetype contentEnd = newline ? static_cast<const char *>(newline) - data : to;
        qsizetype lineEnd = newline ? 1 : 0;
        if (newline && contentEnd > begin && data[contentEnd - 1] == '\r') {
            --contentEnd;
            ++lineEnd;
        }
        lines.push_back(classify(begin, contentEnd - begin, lineEnd));
        begin = contentEnd + lineEnd;
    }
    if (!appending)
        m_lines.insert(m_lines.begin() + at, inserted.begin(), inserted.end());
}

ProfileDocument::Line ProfileDocument::classify(qsizetype begin, qsizetype length, qsizetype lineEnd) const
{
    Line line;
    line.begin = begin;
    line.length = length;
    line.lineEnd = lineEnd;
    QByteArrayView text(m_bytes.constData() + begin, length);
    if (begin == 0 && text.startsWith(byteOrderMark))
        text = text.sliced(byteOrderMark.size());
    if (text.startsWith('[') && text.indexOf(']') > 0) {
        line.section = true;
    } else if (const qsizetype equals = text.indexOf('='); equals >= 0) {
        const qsizetype skipped = length - text.size();
        line.equals = equals + skipped;
        const QByteArrayView key = trimmed(text.first(equals));
        line.keyBegin = skipped + (key.data() - text.data());
        line.keyLength = key.size();
        line.keyHash = foldedHash(key);
    }
    return line;
}

void ProfileDocument::indexSections()
{
    m_lastSection = -1;
    m_sections.clear();
    m_sectionIndex.clear();
    m_keyIndexes.clear();
    for (qsizetype i = 0; i < qsizetype(m_lines.size()); ++i) {
        if (!m_lines[i].section)
            continue;
        if (!m_sections.empty())
            m_sections.back().end = i;
        m_sections.push_back({i, qsizetype(m_lines.size())});
        QByteArray name = folded(sectionName(m_lines[i]));
        if (!m_sectionIndex.contains(name))
            m_sectionIndex.insert(std::move(name), qsizetype(m_sections.size()) - 1);
    }
    m_keyIndexes.resize(m_sections.size());
}

QByteArrayView ProfileDocument::sectionName(const Line &line) const
{
    QByteArrayView text(m_bytes.constData() + line.begin, line.length);
    const qsizetype open = text.indexOf('[');
    return text.sliced(open + 1, text.lastIndexOf(']') - open - 1);
}

QByteArrayView ProfileDocument::key(const Line &line) const
{
    return QByteArrayView(m_bytes.constData() + line.begin + line.keyBegin, line.keyLength);
}

qsizetype ProfileDocument::findSectionIndex(QByteArrayView name) const
{
    if (m_lastSection >= 0 && name == m_lastSectionName)
        return m_lastSection;
    const auto found = m_sectionIndex.constFind(folded(name));
    m_lastSectionName = name.toByteArray();
    m_lastSection = found == m_sectionIndex.constEnd() ? -1 : *found;
    return m_lastSection;
}

const ProfileDocument::Section *ProfileDocument::findSection(QByteArrayView name) const
{
    const qsizetype index = findSectionIndex(name);
    return index < 0 ? nullptr : &m_sections[index];
}

const QHash<QByteArray, qsizetype> &ProfileDocument::keyIndex(qsizetype sectionIndex) const
{
    auto &index = m_keyIndexes[sectionIndex];
    if (!index) {
        index = std::make_unique<QHash<QByteArray, qsizetype>>();
        const Section &section = m_sections[sectionIndex];
        for (qsizetype i = section.end - 1; i > section.header; --i) {
            if (m_lines[i].equals >= 0)
                index->insert(folded(key(m_lines[i])), i);
        }
    }
    return *index;
}

std::optional<qsizetype> ProfileDocument::findEntry(const Section &section, QByteArrayView wanted) const
{
    if (section.end - section.header > largeSection) {
        const auto &index = keyIndex(&section - m_sections.data());
        const auto found = index.constFind(folded(wanted));
        if (found == index.constEnd())
            return std::nullopt;
        return *found;
    }
    const quint32 hash = foldedHash(wanted);
    for (qsizetype i = section.header + 1; i < section.end; ++i) {
        const Line &line = m_lines[i];
        if (line.equals >= 0 && line.keyHash == hash && sameFolded(key(line), wanted))
            return i;
    }
    return std::nullopt;
}

std::optional<QByteArrayView> ProfileDocument::value(QByteArrayView sectionName, QByteArrayView wanted) const
{
    const Section *section = findSection(sectionName);
    if (!section)
        return std::nullopt;
    const auto entry = findEntry(*section, wanted);
    if (!entry)
        return std::nullopt;
    const Line &line = m_lines[*entry];
    return trimmed(QByteArrayView(m_bytes.constData() + line.begin + line.equals + 1, line.length - line.equals - 1));
}

bool ProfileDocument::setValue(QByteArrayView sectionName, QByteArrayView wanted, QByteArrayView newValue)
{
    const Section *section = findSection(sectionName);
    if (!section) {
        QByteArray header = "[" + sectionName.toByteArray() + "]";
        splice(qsizetype(m_lines.size()), 0, {header, wanted.toByteArray() + "=" + newValue.toByteArray()});
        return true;
    }
    if (const auto entry = findEntry(*section, wanted)) {
        const Line &line = m_lines[*entry];
        if (value(sectionName, wanted) == newValue)
            return false;
        const QByteArrayView keyText(m_bytes.constData() + line.begin, line.equals);
        splice(*entry, 1, {trimmed(keyText).toByteArray() + "=" + newValue.toByteArray()});
        return true;
    }
    qsizetype after = section->header;
    for (qsizetype i = section->header + 1; i < section->end; ++i) {
        if (m_lines[i].equals >= 0)
            after = i;
    }
    splice(after + 1, 0, {wanted.toByteArray() + "=" + newValue.toByteArray()});
    return true;
}

bool ProfileDocument::dropSection(QByteArrayView sectionName)
{
    const Section *section = findSection(sectionName);
    if (!section)
        return false;
    splice(section->header, section->end - section->header, {});
    return true;
}

bool ProfileDocument::dropKey(QByteArrayView sectionName, QByteArrayView wanted)
{
    const Section *section = findSection(sectionName);
    if (!section)
        return false;
    const auto entry = findEntry(*section, wanted);
    if (!entry)
        return false;
    splice(*entry, 1, {});
    return true;
}

// Replaces `count` lines from index `first` with `newLines`. A single replaced line keeps its own
// line end; added lines end with CR LF, and a last line that had no line end gets one before them.
void ProfileDocument::splice(qsizetype first, qsizetype count, const QByteArrayList &newLines)
{
    const qsizetype from = first < qsizetype(m_lines.size()) ? m_lines[first].begin : m_bytes.size();
    const qsizetype to = count > 0 ? m_lines[first + count - 1].end() : from;
    const bool terminatePrevious = !newLines.isEmpty() && first > 0 && m_lines[first - 1].lineEnd == 0;
    const bool keepLineEnd = count == 1 && newLines.size() == 1;

    QByteArray middle;
    if (terminatePrevious)
        middle += lineBreak;
    for (const QByteArray &line : newLines) {
        middle += line;
        middle += keepLineEnd
                      ? QByteArrayView(m_bytes.constData() + to - m_lines[first].lineEnd, m_lines[first].lineEnd)
                      : QByteArrayView(lineBreak);
    }

    QByteArray bytes;
    bytes.reserve(m_bytes.size() - (to - from) + middle.size());
    bytes.append(QByteArrayView(m_bytes.constData(), from));
    bytes.append(middle);
    bytes.append(QByteArrayView(m_bytes.constData() + to, m_bytes.size() - to));
    const qsizetype shift = middle.size() - (to - from);
    m_bytes = std::move(bytes);

    if (terminatePrevious)
        m_lines[first - 1].lineEnd = lineBreak.size();
    const bool removedHeader = std::any_of(m_lines.begin() + first, m_lines.begin() + first + count,
                                           [](const Line &line) { return line.section; });
    m_lines.erase(m_lines.begin() + first, m_lines.begin() + first + count);
    for (qsizetype i = first; i < qsizetype(m_lines.size()); ++i)
        m_lines[i].begin += shift;
    const qsizetype newFrom = from + (terminatePrevious ? lineBreak.size() : 0);
    indexLines(newFrom, from + middle.size(), first);
    const bool addedHeader = std::any_of(m_lines.begin() + first, m_lines.begin() + first + newLines.size(),
                                         [](const Line &line) { return line.section; });
    if (removedHeader || addedHeader)
        indexSections();
    else
        shiftSections(first, newLines.size() - count);
}

// Lines were added or removed at `first` without touching a section line: the sections keep their
// names and order, only their line numbers move.
void ProfileDocument::shiftSections(qsizetype first, qsizetype delta)
{
    for (auto &index : m_keyIndexes)
        index.reset();
    for (Section &section : m_sections) {
        if (section.header >= first)
            section.header += delta;
        if (section.end >= first) // lines added at a section's end are its own
            section.end += delta;
    }
}
