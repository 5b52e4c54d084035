#include "CatalogueIndex.h"

#include "store/CatalogueFiles.h"
#include "store/Codepage.h"
#include "store/MultilineText.h"
#include "store/ProfileDocument.h"
#include "store/ProfileFile.h"
#include "store/StoredValues.h"

#include <QDateTime>
#include <QFile>
#include <algorithm>
#include <limits>

namespace {

// What the windows would show of a file's many items is no reason to hold more than this.
constexpr qsizetype maxCost = 512LL * 1024 * 1024;
constexpr qint64 settleNanoseconds = 100LL * 1000 * 1000;

// A value as ProfileFile reads it.
struct Stored
{
    QByteArrayView bytes;
    bool doubleQuoted = false;
};

std::optional<Stored> stored(const ProfileDocument &document, QByteArrayView section, QByteArrayView key)
{
    const auto value = document.value(section, key);
    if (!value)
        return std::nullopt;
    Stored result;
    result.bytes = readValue(*value, &result.doubleQuoted);
    return result;
}

using StoredValues::readFile;

// A file that changed while it was read is not kept, nor one written so lately that a change made
// within the same tick of the file system's clock would leave its times as they are.
bool settled(const FileAccess::Contents &contents)
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch() * 1000000;
    return contents.stamp != FileAccess::Stamp{} && now - contents.stamp.modified > settleNanoseconds;
}

} // namespace

std::shared_ptr<SearchableItems> CatalogueIndex::parseItems(const QByteArray &bytes)
{
    auto items = std::make_shared<SearchableItems>();
    const ProfileDocument document(bytes);
    int firstNamed = -1;
    for (int field = 0; field < 10; ++field) {
        items->fieldNames[size_t(field)] = StoredValues::text(document, "pozycje", QByteArray::number(field + 1));
        if (firstNamed < 0 && !items->fieldNames[size_t(field)].isEmpty())
            firstNamed = field;
    }
    static const QByteArray keys[SearchableItems::keyCount] = {"pozycja1", "pozycja2",  "pozycja3", "pozycja4",
                                                               "pozycja5", "pozycja6",  "pozycja7", "pozycja8",
                                                               "pozycja9", "pozycja10", "opis",     "komentarz"};
    // Only what the windows show is found: a field without a name has no column and no label.
    QVarLengthArray<int, SearchableItems::keyCount> shown;
    for (int key = 0; key < SearchableItems::keyCount; ++key) {
        if (key >= 10 || !items->fieldNames[size_t(key)].isEmpty())
            shown.append(key);
    }

    const qsizetype count =
        std::clamp<qsizetype>(StoredValues::number(document, "liczba_pozycji"), 0, document.numberedSections());
    items->titles.assign(size_t(count), -1);
    // Each value stands in the file with its key, "=" and a line end around it: the values and
    // their NULs never take more room than the file.
    items->raw.resize(bytes.size());
    char *const begin = items->raw.data();
    char *out = begin;
    for (qsizetype p = 0; p < count; ++p) {
        const QByteArray section = QByteArray::number(p);
        for (int key : shown) {
            const auto value = stored(document, section, keys[key]);
            if (!value || value->bytes.isEmpty())
                continue;
            if (key == firstNamed)
                items->titles[size_t(p)] = qint32(items->values.size());
            items->values.push_back({quint32(out - begin), quint32(p), quint8(key)});
            out = MultilineText::decode(value->bytes, key >= 10 && value->doubleQuoted, out);
            *out++ = '\0';
        }
    }
    items->raw.truncate(out - begin);
    items->values.shrink_to_fit();
    items->folded.resize(items->raw.size());
    const auto &fold = Codepage::searchFoldTable();
    std::transform(items->raw.cbegin(), items->raw.cend(), items->folded.begin(),
                   [&fold](char c) { return fold[static_cast<unsigned char>(c)]; });
    return items;
}

QStringList CatalogueIndex::list(const QString &fileName, const KeyedList &list)
{
    const auto stamp = FileAccess::stampOf(QFile::encodeName(fileName));
    auto found = m_lists.find(fileName);
    if (stamp && found != m_lists.end() && found->stamp == *stamp) {
        found->used = ++m_clock;
        return found->value;
    }
    const auto contents = readFile(fileName, maxListBytes);
    if (!contents)
        return {};
    const QStringList entries = StoredValues::entries(ProfileDocument(contents->bytes), list);
    if (settled(*contents))
        m_lists.insert(fileName, {contents->stamp, entries, ++m_clock});
    return entries;
}

std::shared_ptr<const SearchableItems> CatalogueIndex::cached(const QString &fileName, bool &needsReading)
{
    const auto stamp = FileAccess::stampOf(QFile::encodeName(fileName));
    needsReading = stamp && stamp->size <= maxItemFileBytes;
    auto found = m_items.find(fileName);
    if (found == m_items.end())
        return nullptr;
    if (stamp && found->stamp == *stamp) {
        needsReading = false;
        found->used = ++m_clock;
        return found->value;
    }
    m_cost -= found->value->cost();
    m_items.erase(found);
    return nullptr;
}

CatalogueIndex::Loaded CatalogueIndex::load(const QString &fileName)
{
    const auto contents = readFile(fileName, maxItemFileBytes);
    if (!contents)
        return {};
    return {settled(*contents) ? contents->stamp : FileAccess::Stamp{}, parseItems(contents->bytes)};
}

void CatalogueIndex::keep(const QString &fileName, const Loaded &loaded)
{
    if (!loaded.items || loaded.stamp == FileAccess::Stamp{})
        return;
    if (const auto old = m_items.constFind(fileName); old != m_items.constEnd())
        m_cost -= old->value->cost();
    m_items.insert(fileName, {loaded.stamp, loaded.items, ++m_clock});
    m_cost += loaded.items->cost();
    evict();
}

std::shared_ptr<const SearchableItems> CatalogueIndex::items(const QString &fileName)
{
    bool needsReading = false;
    if (auto items = cached(fileName, needsReading); items || !needsReading)
        return items;
    const Loaded loaded = load(fileName);
    keep(fileName, loaded);
    return loaded.items;
}

void CatalogueIndex::clear()
{
    m_lists.clear();
    m_items.clear();
    m_cost = 0;
}

void CatalogueIndex::evict()
{
    while (m_cost > maxCost && m_items.size() > 1) {
        auto oldest = std::min_element(m_items.begin(), m_items.end(),
                                       [](const auto &a, const auto &b) { return a.used < b.used; });
        m_cost -= oldest->value->cost();
        m_items.erase(oldest);
    }
}
