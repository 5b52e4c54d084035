#pragma once

#include "store/FileAccess.h"
#include "store/StoredValues.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <vector>

struct KeyedList;

// One item file as the search reads it: every value the user can find, one after another, each
// ended by a NUL, once as the file holds it and once folded for finding (the same length, since
// folding maps byte to byte). A match of text without NUL never crosses from one value into the
// next.
struct SearchableItems
{
    // Which value of an item: the fields 1 .. 10, then the description and the comment.
    static constexpr int descriptionKey = 10;
    static constexpr int commentKey = 11;
    static constexpr int keyCount = 12;

    struct Value
    {
        quint32 begin = 0; // in `raw` and `folded`; the value ends at the next NUL
        quint32 item = 0;
        quint8 key = 0;
    };

    std::array<QString, 10> fieldNames; // empty for a field without a name
    QByteArray raw;
    QByteArray folded;
    std::vector<Value> values; // in the order of `begin`
    // For each item, the value of its first named field, or -1 when that is empty.
    std::vector<qint32> titles;

    qsizetype cost() const { return raw.capacity() + folded.size() + qsizetype(values.size() * sizeof(Value)); }
    qsizetype valueEnd(const Value &value) const { return raw.indexOf('\0', value.begin); }
};

// What the search keeps of the catalogue files it has read, by file name, each for the version of
// the file it was read from (size, times, identity): a file changed since is read again. It is the
// search's own and never meets the program's profile store, which serves the windows on another
// thread. Not thread-safe: one search at a time uses it.
class CatalogueIndex
{
public:
    // Files larger than these are no catalogue the program wrote and are passed over, as missing.
    static constexpr qint64 maxListBytes = StoredValues::maxListBytes;
    static constexpr qint64 maxItemFileBytes = StoredValues::maxItemFileBytes;

    // The entries of a category or subcategory list, bounded by what the file holds.
    QStringList list(const QString &fileName, const KeyedList &list);
    // Nothing when the file is missing, unreadable or too large.
    std::shared_ptr<const SearchableItems> items(const QString &fileName);

    // The same in steps, so that files are read and parsed on other threads while the index, used
    // by one thread only, answers from what it holds and keeps what they made.
    struct Loaded
    {
        FileAccess::Stamp stamp; // empty when the version read is not to be kept
        std::shared_ptr<const SearchableItems> items;
    };
    // The copy kept for the file as it is now; nothing, with `needsReading` false, when there is no
    // such file to read.
    std::shared_ptr<const SearchableItems> cached(const QString &fileName, bool &needsReading);
    static Loaded load(const QString &fileName); // on any thread
    void keep(const QString &fileName, const Loaded &loaded);

    // Parses the bytes of an item file; a damaged count reaches no further than the file's items.
    static std::shared_ptr<SearchableItems> parseItems(const QByteArray &bytes);

    qsizetype cost() const { return m_cost; }
    void clear();

private:
    template <typename T> struct Entry
    {
        FileAccess::Stamp stamp;
        T value;
        quint64 used = 0;
    };
    void evict();

    QHash<QString, Entry<QStringList>> m_lists;
    QHash<QString, Entry<std::shared_ptr<const SearchableItems>>> m_items;
    qsizetype m_cost = 0;
    quint64 m_clock = 0;
};
