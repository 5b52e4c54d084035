// Feeds arbitrary bytes to the profile-file parser and its edits. Besides crashes it checks that
// an edited document answers exactly as the same bytes parsed afresh, that edits touch only their
// own lines, and that multi-line text survives a write and a read.
#include "store/Codepage.h"
#include "store/ProfileDocument.h"
#include "store/ProfileFile.h"

#include <QByteArrayList>
#include <QTemporaryDir>
#include <cstdlib>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

// Names the edits use: short, so they often meet the ones already in the input.
QByteArray pick(QByteArrayView from, qsizetype &at, qsizetype length)
{
    QByteArray name;
    for (qsizetype i = 0; i < length && at < from.size(); ++i, ++at) {
        const char c = from[at];
        if (c != '\r' && c != '\n' && c != '=' && c != ' ' && c != '\t' && c != '[' && c != ']')
            name += c;
    }
    return name;
}

void sameAnswers(const ProfileDocument &edited, const QByteArrayList &sections, const QByteArrayList &keys)
{
    const ProfileDocument fresh(edited.bytes());
    for (const QByteArray &section : sections) {
        for (const QByteArray &key : keys)
            require(edited.value(section, key) == fresh.value(section, key));
    }
}

void checkMultiline(const QString &text)
{
    if (!Codepage::tryEncode(text))
        return; // refused before anything is written, as the tests show
    static QTemporaryDir dir;
    ProfileFile file(dir.filePath(QStringLiteral("opis.gmd")));
    file.WriteMultiline(QStringLiteral("0"), QStringLiteral("opis"), text);
    require(file.ReadMultiline(QStringLiteral("0"), QStringLiteral("opis")) == text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    qsizetype at = 0;
    const QByteArray section = pick(input, at, 3);
    const QByteArray key = pick(input, at, 3);
    const QByteArray value = pick(input, at, 6);
    const QByteArray bytes = input.sliced(std::min(at, input.size())).toByteArray();

    ProfileDocument document(bytes);
    const QByteArrayList sections{section, "config", "0", "pozycje"};
    const QByteArrayList keys{key, "0", "1", "liczba_pozycji", "opis"};
    for (const QByteArray &s : sections) {
        for (const QByteArray &k : keys)
            (void)document.value(s, k);
    }

    document.setValue(section, key, value);
    require(document.value(section, key) == QByteArrayView(value));
    sameAnswers(document, sections, keys);

    const qsizetype before = document.bytes().size();
    if (document.dropKey(section, key))
        require(document.bytes().size() < before);
    sameAnswers(document, sections, keys);

    document.dropSection("config");
    sameAnswers(document, sections, keys);

    (void)parseProfileNumber(QString::fromLatin1(bytes.left(40)), -7);
    if (size < 300)
        checkMultiline(QString::fromLatin1(bytes));
    return 0;
}
