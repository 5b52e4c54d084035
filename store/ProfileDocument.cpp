#include "ProfileDocument.h"

#include "Codepage.h"
#include "LargePages.h"

#include <QVarLengthArray>
#include <algorithm>
#include <cstring>

namespace {

constexpr qsizetype largeSection = 32;
constexpr qsizetype fewSections = 16;
const QByteArray byteOrderMark("\xEF\xBB\xBF");

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// A carriage return before the line end is a blank there too: a file whose CR LF line ends went
// through a second LF -> CR LF conversion ends its lines with CR CR LF.
QByteArrayView trimmed(QByteArrayView text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && isBlank(text[from]))
        ++from;
    while (to > from && (isBlank(text[to - 1]) || text[to - 1] == '\r'))
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

ProfileDocument::ProfileDocument(QByteArray bytes) : m_bytes(std::move(bytes)), m_size(m_bytes.size())
{
    m_lines.reserve(size_t(m_bytes.size() / 32));
    LargePages::preferForCapacity(m_lines);
    const char *data = m_bytes.constData();
    const qsizetype size = m_bytes.size();
    qsizetype begin = 0;
    while (begin < size) {
        const void *newline = std::memchr(data + begin, '\n', size_t(size - begin));
        qsizetype contentEnd = newline ? static_cast<const char *>(newline) - data : size;
        quint8 lineEnd = newline ? 1 : 0;
        if (newline && contentEnd > begin && data[contentEnd - 1] == '\r') {
            --contentEnd;
            ++lineEnd;
        }
        Line line = classify(QByteArrayView(data + begin, contentEnd - begin), begin == 0);
        line.begin = begin;
        line.lineEnd = lineEnd;
        m_lines.push_back(line);
        begin = contentEnd + lineEnd;
    }
    indexSections();
}

const QByteArray &ProfileDocument::bytes() const
{
    if (!m_joined) {
        static const QByteArrayView lineEnds[] = {"", "\n", "\r\n"};
        qsizetype total = 0;
        for (const Line &line : m_lines)
            total += line.size();
        Q_ASSERT(total == m_size);
        QByteArray joined(total, Qt::Uninitialized);
        LargePages::prefer(joined.data(), size_t(total));
        char *const begin = joined.data();
        char *out = begin;
        for (Line &line : m_lines) {
            const QByteArrayView content = text(line);
            const QByteArrayView lineEnd = lineEnds[line.lineEnd];
            std::memcpy(out, content.data(), size_t(content.size()));
            std::memcpy(out + content.size(), lineEnd.data(), size_t(lineEnd.size()));
            line.begin = out - begin;
            line.added = false;
            out += content.size() + lineEnd.size();
        }
        m_bytes = std::move(joined);
        m_added.clear();
        m_joined = true;
    }
    return m_bytes;
}

// Where the entry's key and the "=" lie; offsets are relative to the line's start.
ProfileDocument::Line ProfileDocument::classify(QByteArrayView whole, bool startOfFile)
{
    Line line;
    line.length = whole.size();
    QByteArrayView text = whole;
    if (startOfFile && text.startsWith(byteOrderMark))
        text = text.sliced(byteOrderMark.size());
    if (text.startsWith('[') && text.indexOf(']') > 0) {
        line.section = true;
    } else if (const qsizetype equals = text.indexOf('='); equals >= 0) {
        const qsizetype skipped = whole.size() - text.size();
        line.equals = equals + skipped;
        const QByteArrayView key = trimmed(text.first(equals));
        line.keyBegin = skipped + (key.data() - text.data());
        line.keyLength = key.size();
        line.keyHash = foldedHash(key);
    }
    return line;
}

ProfileDocument::Line ProfileDocument::addedLine(Pieces pieces, quint8 lineEnd)
{
    QVarLengthArray<char, 256> content;
    for (QByteArrayView piece : pieces)
        content.append(piece.data(), piece.size());
    const QByteArrayView text(content.data(), content.size());
    Line line = classify(text, false);
    line.begin = m_added.size();
    line.lineEnd = lineEnd;
    line.added = true;
    m_added.append(text);
    return line;
}

QByteArrayView ProfileDocument::text(const Line &line) const
{
    return QByteArrayView((line.added ? m_added : m_bytes).constData() + line.begin, line.length);
}

void ProfileDocument::indexSections()
{
    m_lastSection = -1;
    m_sections.clear();
    m_sectionIndex.clear();
    m_sectionCollisions.clear();
    m_keyIndexes.clear();
    for (qsizetype i = 0; i < qsizetype(m_lines.size()); ++i) {
        if (!m_lines[i].section)
            continue;
        if (!m_sections.empty())
            m_sections.back().end = i;
        m_sections.push_back({i, qsizetype(m_lines.size())});
        indexSection(qsizetype(m_sections.size()) - 1);
    }
}

// Sections are added in order, so the one being indexed is the last one.
void ProfileDocument::indexSection(qsizetype sectionIndex)
{
    Section &section = m_sections[sectionIndex];
    section.nameHash = foldedHash(sectionName(m_lines[section.header]));
    if (m_sectionIndex.isEmpty()) {
        if (sectionIndex < fewSections)
            return;
        for (qsizetype i = 0; i < sectionIndex; ++i) // the document has just outgrown the plain search
            addToSectionIndex(i);
    }
    addToSectionIndex(sectionIndex);
}

void ProfileDocument::addToSectionIndex(qsizetype sectionIndex)
{
    const Section &section = m_sections[sectionIndex];
    qsizetype &first = m_sectionIndex[section.nameHash];
    if (first == 0) {
        first = sectionIndex + 1;
        m_sections[sectionIndex].counts = true;
        return;
    }
    // The first section of a name is the one that counts.
    const QByteArrayView name = sectionName(m_lines[section.header]);
    if (isNamed(first - 1, section.nameHash, name))
        return;
    for (auto [at, end] = m_sectionCollisions.equal_range(section.nameHash); at != end; ++at) {
        if (isNamed(*at, section.nameHash, name))
            return;
    }
    m_sectionCollisions.insert(section.nameHash, sectionIndex);
    m_sections[sectionIndex].counts = true;
}

bool ProfileDocument::isNamed(qsizetype sectionIndex, quint32 hash, QByteArrayView name) const
{
    const Section &section = m_sections[sectionIndex];
    return section.nameHash == hash && sameFolded(sectionName(m_lines[section.header]), name);
}

QByteArrayView ProfileDocument::sectionName(const Line &line) const
{
    const QByteArrayView header = text(line);
    const qsizetype open = header.indexOf('[');
    return header.sliced(open + 1, header.lastIndexOf(']') - open - 1);
}

QByteArrayView ProfileDocument::key(const Line &line) const
{
    return text(line).sliced(line.keyBegin, line.keyLength);
}

qsizetype ProfileDocument::findSectionIndex(QByteArrayView name) const
{
    if (m_lastSection >= 0 && name == QByteArrayView(m_lastSectionName.data(), m_lastSectionName.size()))
        return m_lastSection;
    const qsizetype next = m_lastSection + 1;
    m_lastSection = -1;
    const quint32 hash = foldedHash(name);
    if (m_sectionIndex.isEmpty()) {
        for (qsizetype i = 0; i < qsizetype(m_sections.size()); ++i) {
            if (isNamed(i, hash, name)) {
                m_lastSection = i;
                break;
            }
        }
    } else if (next > 0 && next < qsizetype(m_sections.size()) && m_sections[next].counts &&
               isNamed(next, hash, name)) {
        // A reader walking a numbered file asks for its sections in file order; at a hundred
        // thousand sections a lookup in the hash table is a cache miss, the next section is not.
        m_lastSection = next;
    } else if (const auto first = m_sectionIndex.constFind(hash); first != m_sectionIndex.constEnd()) {
        if (isNamed(*first - 1, hash, name)) {
            m_lastSection = *first - 1;
        } else {
            for (auto [at, end] = m_sectionCollisions.equal_range(hash); at != end; ++at) {
                if (isNamed(*at, hash, name)) {
                    m_lastSection = *at;
                    break;
                }
            }
        }
    }
    m_lastSectionName.resize(name.size());
    std::memcpy(m_lastSectionName.data(), name.data(), size_t(name.size()));
    return m_lastSection;
}

const ProfileDocument::Section *ProfileDocument::findSection(QByteArrayView name) const
{
    const qsizetype index = findSectionIndex(name);
    return index < 0 ? nullptr : &m_sections[index];
}

const QHash<QByteArray, qsizetype> &ProfileDocument::keyIndex(qsizetype sectionIndex) const
{
    if (qsizetype(m_keyIndexes.size()) < qsizetype(m_sections.size()))
        m_keyIndexes.resize(m_sections.size());
    auto &index = m_keyIndexes[sectionIndex];
    if (!index) {
        index = std::make_unique<QHash<QByteArray, qsizetype>>();
        const Section &section = m_sections[sectionIndex];
        for (qsizetype i = section.end - 1; i > section.header; --i) {
            if (m_lines[i].equals >= 0)
                index->insert(folded(key(m_lines[i])), i - section.header);
        }
    }
    return *index;
}

QHash<QByteArray, qsizetype> *ProfileDocument::builtKeyIndex(qsizetype sectionIndex) const
{
    return sectionIndex < qsizetype(m_keyIndexes.size()) ? m_keyIndexes[sectionIndex].get() : nullptr;
}

std::optional<qsizetype> ProfileDocument::findEntry(const Section &section, QByteArrayView wanted) const
{
    if (section.end - section.header > largeSection) {
        const auto &index = keyIndex(&section - m_sections.data());
        const auto found = index.constFind(folded(wanted));
        if (found == index.constEnd())
            return std::nullopt;
        return section.header + *found;
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
    return trimmed(text(line).sliced(line.equals + 1));
}

void ProfileDocument::entries(QByteArrayView sectionName,
                              const std::function<void(QByteArrayView key, QByteArrayView value)> &visit) const
{
    const Section *section = findSection(sectionName);
    if (!section)
        return;
    for (qsizetype i = section->header + 1; i < section->end; ++i) {
        const Line &line = m_lines[i];
        if (line.equals >= 0)
            visit(key(line), trimmed(text(line).sliced(line.equals + 1)));
    }
}

bool ProfileDocument::setValue(QByteArrayView sectionName, QByteArrayView wanted, QByteArrayView newValue)
{
    const Section *section = findSection(sectionName);
    if (!section) {
        splice(qsizetype(m_lines.size()), 0, {{"[", sectionName, "]"}, {wanted, "=", newValue}});
        return true;
    }
    if (const auto entry = findEntry(*section, wanted)) {
        const Line &line = m_lines[*entry];
        if (value(sectionName, wanted) == newValue)
            return false;
        const QByteArrayView keyText = text(line).first(line.equals);
        splice(*entry, 1, {{trimmed(keyText), "=", newValue}});
        return true;
    }
    // A new key follows the section's last entry, ahead of any blank lines closing the section.
    qsizetype after = section->end - 1;
    while (after > section->header && m_lines[after].equals < 0)
        --after;
    splice(after + 1, 0, {{wanted, "=", newValue}});
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

bool ProfileDocument::moveSection(QByteArrayView from, QByteArrayView to)
{
    const qsizetype source = findSectionIndex(from);
    if (source < 0)
        return dropSection(to);
    const qsizetype target = findSectionIndex(to);
    static const QByteArrayView lineEnds[] = {"", "\n", "\r\n"};
    const Section moved = m_sections[source];
    QByteArray body;
    for (qsizetype i = moved.header + 1; i < moved.end; ++i)
        body.append(text(m_lines[i])).append(lineEnds[m_lines[i].lineEnd]);
    if (!body.isEmpty() && !body.endsWith('\n'))
        body += "\r\n";
    QByteArray joined;
    joined.reserve(m_size + body.size() + to.size() + 4);
    const auto lineAt = [&](qsizetype i) { joined.append(text(m_lines[i])).append(lineEnds[m_lines[i].lineEnd]); };
    for (qsizetype i = 0; i < qsizetype(m_lines.size()); ++i) {
        if (i >= moved.header && i < moved.end)
            continue;
        if (target >= 0 && i > m_sections[target].header && i < m_sections[target].end)
            continue;
        lineAt(i);
        if (target >= 0 && i == m_sections[target].header) {
            if (!joined.endsWith('\n'))
                joined += "\r\n";
            joined += body;
        }
    }
    if (target < 0) {
        if (!joined.isEmpty() && !joined.endsWith('\n'))
            joined += "\r\n";
        joined += "[" + to.toByteArray() + "]\r\n" + body;
    }
    *this = ProfileDocument(std::move(joined));
    return true;
}

// Replaces `count` lines from index `first` with `newLines`. A single replaced line keeps its own
// line end (and, being an entry rewritten under its own key, its place in the key indexes); added
// lines end with CR LF, and a last line that had no line end gets one before them.
void ProfileDocument::splice(qsizetype first, qsizetype count, std::initializer_list<Pieces> newLines)
{
    const bool appending = first == qsizetype(m_lines.size());
    const qsizetype added = qsizetype(newLines.size());
    const bool replacing = count == 1 && added == 1;
    if (added > 0 && first > 0 && m_lines[first - 1].lineEnd == 0) {
        m_lines[first - 1].lineEnd = 2;
        m_size += 2;
        m_joined = false;
    }
    bool removedHeader = false;
    for (qsizetype i = first; i < first + count; ++i) {
        m_size -= m_lines[i].size();
        removedHeader |= m_lines[i].section;
    }
    QVarLengthArray<Line, 2> lines;
    bool addedHeader = false;
    for (Pieces pieces : newLines) {
        lines.append(addedLine(pieces, replacing ? m_lines[first].lineEnd : 2));
        m_size += lines.back().size();
        addedHeader |= lines.back().section;
    }
    m_joined = false;

    if (replacing) {
        m_lines[first] = lines.front();
        if (!removedHeader && !addedHeader)
            return;
    } else {
        m_lines.erase(m_lines.begin() + first, m_lines.begin() + first + count);
        m_lines.insert(m_lines.begin() + first, lines.begin(), lines.end());
    }
    if (appending && !removedHeader)
        appendSections(first);
    else if (removedHeader || addedHeader)
        indexSections();
    else
        shiftSections(first, added - count, count > 0);
}

// Lines were added at the end: they extend the last section or open new ones, and every earlier
// section stays where it was.
void ProfileDocument::appendSections(qsizetype first)
{
    const qsizetype end = qsizetype(m_lines.size());
    if (!m_sections.empty()) {
        Section &last = m_sections.back();
        QHash<QByteArray, qsizetype> *index = builtKeyIndex(qsizetype(m_sections.size()) - 1);
        for (qsizetype i = first; i < end && !m_lines[i].section; ++i) {
            last.end = i + 1;
            if (index && m_lines[i].equals >= 0) {
                QByteArray name = folded(key(m_lines[i]));
                if (!index->contains(name)) // a later duplicate never counts
                    index->insert(std::move(name), i - last.header);
            }
        }
    }
    for (qsizetype i = first; i < end; ++i) {
        if (!m_lines[i].section)
            continue;
        if (!m_sections.empty())
            m_sections.back().end = i;
        m_sections.push_back({i, end});
        indexSection(qsizetype(m_sections.size()) - 1);
    }
}

// Lines were added or removed at `first` without touching a section line: the sections keep their
// names and order, only their line numbers move. Key indexes count from their section's header, so
// only the section that holds `first` may need its own: kept when lines were only added after its
// last entry (a new key, the common case), rebuilt at the next lookup otherwise.
void ProfileDocument::shiftSections(qsizetype first, qsizetype delta, bool removed)
{
    for (qsizetype s = 0; s < qsizetype(m_sections.size()); ++s) {
        Section &section = m_sections[s];
        if (section.header >= first) {
            section.header += delta;
            section.end += delta;
            continue;
        }
        if (section.end < first) // lines added at a section's end are its own
            continue;
        section.end += delta;
        QHash<QByteArray, qsizetype> *index = builtKeyIndex(s);
        if (!index)
            continue;
        bool entryAfter = removed;
        for (qsizetype i = first + delta; i < section.end && !entryAfter; ++i)
            entryAfter = m_lines[i].equals >= 0;
        if (entryAfter) {
            m_keyIndexes[s].reset();
            continue;
        }
        for (qsizetype i = first; i < first + delta; ++i) {
            if (m_lines[i].equals < 0)
                continue;
            QByteArray name = folded(key(m_lines[i]));
            if (!index->contains(name))
                index->insert(std::move(name), i - section.header);
        }
    }
}

namespace {

// A list position as a key spells it: decimal digits without a leading zero.
qsizetype positionOf(QByteArrayView text)
{
    if (text.isEmpty() || text.size() > 18 || (text.size() > 1 && text.front() == '0'))
        return -1;
    qsizetype value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

qsizetype ProfileDocument::numberedKeys(QByteArrayView sectionName) const
{
    const Section *section = findSection(sectionName);
    if (!section)
        return 0;
    const qsizetype limit = qsizetype(m_lines.size());
    qsizetype extent = 0;
    for (qsizetype i = section->header + 1; i < section->end; ++i) {
        if (m_lines[i].equals < 0)
            continue;
        const qsizetype position = positionOf(key(m_lines[i]));
        if (position >= 0 && position < limit)
            extent = std::max(extent, position + 1);
    }
    return extent;
}

qsizetype ProfileDocument::numberedSections() const
{
    const qsizetype limit = qsizetype(m_lines.size());
    qsizetype extent = 0;
    for (const Section &section : m_sections) {
        const qsizetype position = positionOf(sectionName(m_lines[section.header]));
        if (position >= 0 && position < limit)
            extent = std::max(extent, position + 1);
    }
    return extent;
}
