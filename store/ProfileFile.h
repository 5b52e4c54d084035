#pragma once

#include "ProfileBatch.h"
#include "ProfileStore.h"

#include <QString>
#include <functional>
#include <optional>

// Access to one catalogue file of sections and key=value lines, by the file's full name.
// Every write is complete when it returns, and several objects bound to one file see each other's
// writes at once. Reads come from a process-wide parsed copy; an object checks the file on disk
// at its first read, so a command, which makes its objects anew, sees changes made outside.
class ProfileEdit;

class ProfileFile
{
public:
    explicit ProfileFile(QString fileName) : m_fileName(std::move(fileName)) {}
    // Reads and writes the batch's copy of the file; nothing reaches the disk before the batch
    // commits it.
    ProfileFile(QString fileName, ProfileBatch &batch) : m_fileName(std::move(fileName)), m_batch(&batch) {}

    const QString &fileName() const { return m_fileName; }

    // Reads never fail: a missing or unreadable file reads as empty.
    QString ReadText(const QString &section, const QString &key, const QString &defaultValue) const;
    // As ReadText, but never cut to maxValueLength: a window that writes back what it read must not
    // shorten a longer value that another program stored (it refuses to write it instead).
    QString ReadWholeText(const QString &section, const QString &key) const;
    int ReadNumber(const QString &section, const QString &key, int defaultValue) const;

    // Writes throw AppError: "Unable to write to <file name>" when the file cannot be written, or a
    // message naming a character that the catalogue files cannot hold; then nothing is written.
    void WriteText(const QString &section, const QString &key, const QString &value);
    void WriteNumber(const QString &section, const QString &key, int value);
    void DropSection(const QString &section);
    // Reports no failure.
    void DropKey(const QString &section, const QString &key);

    // Copies one value, as ReadText reads it, to `toSection` of `to` under the same key, without
    // making text of the bytes: ReadText there gives what ReadText(section, key, missing) gives here.
    void CopyText(const QString &section, const QString &key, const QString &missing, ProfileFile &to,
                  const QString &toSection) const;

    // How far a numbered list can reach in the file (see ProfileDocument::numberedKeys): a walk
    // over a list bounded by these stops where the file ends, whatever its count claims.
    int NumberedKeys(const QString &section) const;
    int NumberedSections() const;

    // Text typed into a multi-line box ("opis", "komentarz"): line breaks, blanks at the ends and
    // quotation marks come back exactly as written.
    QString ReadMultiline(const QString &section, const QString &key) const;
    void WriteMultiline(const QString &section, const QString &key, const QString &value);

    // Several changes written at once, atomically: after a crash the file holds all of them or
    // none. A change refused inside `changes` leaves the file as it was.
    void Edit(const std::function<void(ProfileEdit &)> &changes);

    static constexpr qsizetype maxValueLength = 2047;

private:
    const ProfileDocument *document() const;
    ProfileBatch::Pending &pending() const;
    template <typename Changes> void apply(const Changes &changes);

    QString m_fileName;
    ProfileBatch *m_batch = nullptr;
    // The batch's copy as last found, valid while the batch's generation stays what it was then.
    mutable ProfileBatch::Pending *m_pending = nullptr;
    mutable quint64 m_pendingGeneration = 0;
    mutable ProfileStore::Reader m_reader;
};

// The changes of one ProfileFile::Edit, with the meaning of ProfileFile's own writes.
class ProfileEdit
{
public:
    void WriteText(const QString &section, const QString &key, const QString &value);
    void WriteNumber(const QString &section, const QString &key, int value);
    void WriteMultiline(const QString &section, const QString &key, const QString &value);
    void DropSection(const QString &section);
    void DropKey(const QString &section, const QString &key);

private:
    friend class ProfileFile;
    // The value's bytes, already in the file's code page.
    void WriteBytes(const QString &section, const QString &key, QByteArrayView value);
    ProfileEdit(const QString &fileName, ProfileDocument &document) : m_fileName(fileName), m_document(document) {}

    const QString &m_fileName;
    ProfileDocument &m_document;
    bool m_changed = false;
};

// A value as ProfileDocument gives it, without the pair of quotation marks that the reading rules
// drop; `doubleQuoted` tells whether they were double ones.
QByteArrayView unquotedValue(QByteArrayView value, bool *doubleQuoted = nullptr);
// The bytes ReadText makes its text of: unquoted, and cut to maxValueLength.
QByteArrayView readValue(QByteArrayView value, bool *doubleQuoted = nullptr);

// The number rules of ReadNumber, for a text already read: nothing when the text is no number.
std::optional<int> parseNumber(QStringView text);
int parseProfileNumber(QStringView text, int defaultValue);
