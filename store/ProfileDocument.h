#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QHash>
#include <QVarLengthArray>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

// One profile file's bytes, with where its lines, sections and entries lie. Names are matched
// without regard to letter case; where a section or a key stands twice, the first one counts.
// Edits keep every other line byte for byte, line ends included.
//
// An edit costs only its own lines: new and changed lines are kept aside and the whole text is
// joined when it is asked for, so a command that writes a long file value by value (an export, an
// import) stays linear in the file's size.
class ProfileDocument
{
public:
    ProfileDocument() = default;
    explicit ProfileDocument(QByteArray bytes);

    const QByteArray &bytes() const;
    qsizetype size() const { return m_size; }

    // The entry's value without the blanks at its ends, or nothing when section or key is missing.
    std::optional<QByteArrayView> value(QByteArrayView section, QByteArrayView key) const;

    // Every entry of the section in file order, as value() gives it, a key that stands twice each
    // time: one walk for a caller that wants most of a section's values.
    void entries(QByteArrayView section, const std::function<void(QByteArrayView key, QByteArrayView value)> &visit) const;

    // Each edit answers whether the bytes changed.
    bool setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value);
    bool dropSection(QByteArrayView section);
    bool dropKey(QByteArrayView section, QByteArrayView key);
    // The lines of section `from`, byte for byte, become the lines of section `to` (which keeps its
    // place, or is added at the end); section `from` is dropped.
    bool moveSection(QByteArrayView from, QByteArrayView to);

    // How many positions a numbered list can reach in this file: one more than the highest key of
    // `section` (or, for numberedSections, the highest section name) that is a number in decimal,
    // numbers as high as the file's line count aside, since no list of this file can need them. A
    // walk over a list bounded by it costs no more than reading the file.
    qsizetype numberedKeys(QByteArrayView section) const;
    qsizetype numberedSections() const;

private:
    struct Line
    {
        qsizetype begin = 0;    // in m_bytes, or in m_added for a line written since the last join
        qsizetype length = 0;   // without the line end
        qsizetype equals = -1;  // offset of the first "=" of an entry, -1 for every other line
        qsizetype keyBegin = 0; // the entry's key without its blanks: offset in the line, length
        qsizetype keyLength = 0;
        quint32 keyHash = 0;
        quint8 lineEnd = 0; // 0, 1 (LF) or 2 (CR LF)
        bool section = false;
        bool added = false;
        qsizetype size() const { return length + lineEnd; }
    };
    struct Section
    {
        qsizetype header = 0; // index of the "[name]" line
        qsizetype end = 0;    // index of the next header, or the line count
        quint32 nameHash = 0;
        bool counts = false; // the first section of its name, once the sections are in the hash table
    };

    static Line classify(QByteArrayView text, bool startOfFile);
    // A new line is given in pieces, which may lie in the document itself.
    using Pieces = std::initializer_list<QByteArrayView>;
    Line addedLine(Pieces pieces, quint8 lineEnd);
    QByteArrayView text(const Line &line) const;
    void indexSections();
    void appendSections(qsizetype first);
    void indexSection(qsizetype sectionIndex);
    void addToSectionIndex(qsizetype sectionIndex);
    bool isNamed(qsizetype sectionIndex, quint32 hash, QByteArrayView name) const;
    void shiftSections(qsizetype first, qsizetype delta, bool removed);
    QByteArrayView sectionName(const Line &line) const;
    QByteArrayView key(const Line &line) const;
    const Section *findSection(QByteArrayView name) const;
    qsizetype findSectionIndex(QByteArrayView name) const;
    std::optional<qsizetype> findEntry(const Section &section, QByteArrayView key) const;
    // The key index holds each entry's line relative to its section's header, so that lines added
    // or removed elsewhere leave it valid.
    const QHash<QByteArray, qsizetype> &keyIndex(qsizetype sectionIndex) const;
    QHash<QByteArray, qsizetype> *builtKeyIndex(qsizetype sectionIndex) const;
    void splice(qsizetype first, qsizetype count, std::initializer_list<Pieces> newLines);

    // Joining rewrites the lines' places, which readers never see.
    mutable QByteArray m_bytes;
    mutable QByteArray m_added;
    mutable std::vector<Line> m_lines;
    mutable bool m_joined = true;
    qsizetype m_size = 0;
    std::vector<Section> m_sections;
    // Hash of the folded name -> 1 + the first section of that hash; further names of the same
    // hash, the first section of each, are kept aside. Most files have a few sections, which are
    // searched one by one: a photo list read by the hundred thousand should not pay for a hash
    // table it hardly uses.
    QHash<quint32, qsizetype> m_sectionIndex;
    QMultiHash<quint32, qsizetype> m_sectionCollisions;
    // Large sections (a long list, an export file) get a key index on their first lookup; the
    // vector grows to the section count only then.
    mutable std::vector<std::unique_ptr<QHash<QByteArray, qsizetype>>> m_keyIndexes;
    // Readers ask for several keys of one section in a row.
    mutable QVarLengthArray<char, 48> m_lastSectionName;
    mutable qsizetype m_lastSection = -1;
};
