#include "CatalogueSearch.h"

#include "store/CatalogueFiles.h"
#include "store/Codepage.h"

#include <QCollator>
#include <QElapsedTimer>
#include <QSet>
#include <QThread>
#include <bitset>
#include <cstring>

using Place = CatalogueSearch::Place;

namespace {

// Batches are sent at most this often, so that the window repaints for hits and not for batches;
// the first goes as soon as there is one.
constexpr qint64 batchMilliseconds = 30;

// Every item file of the catalogue in the order of the lists, each pair once.
QList<CatalogueSearch::Place> placesOf(CatalogueIndex &index, const QString &dir)
{
    QList<Place> places;
    QSet<QString> seen;
    for (const QString &category : index.list(CatalogueFiles::categoryList(dir), KeyedList::categories)) {
        const QStringList subcategories =
            index.list(CatalogueFiles::subcategoryList(dir, category), KeyedList::subcategories);
        for (const QString &subcategory : subcategories) {
            QString fileName = CatalogueFiles::itemFile(dir, category, subcategory);
            if (!seen.contains(fileName)) {
                seen.insert(fileName);
                places.append({category, subcategory, std::move(fileName)});
            }
        }
    }
    return places;
}

using KeyMask = std::bitset<SearchableItems::keyCount>;

KeyMask keysToSearch(const SearchableItems &items, const SearchQuery &query)
{
    KeyMask mask;
    if (query.scope != SearchQuery::Scope::Field) {
        mask.set(SearchableItems::descriptionKey).set(SearchableItems::commentKey);
        if (query.scope == SearchQuery::Scope::AllFields) {
            for (size_t field = 0; field < 10; ++field)
                mask.set(field, !items.fieldNames[field].isEmpty());
        }
        return mask;
    }
    const auto wanted = Codepage::searchFolded(query.field);
    for (size_t field = 0; field < 10; ++field) {
        const QString &name = items.fieldNames[field];
        mask.set(field, wanted && !name.isEmpty() && Codepage::searchFolded(name) == wanted);
    }
    return mask;
}

QString valueText(const SearchableItems &items, size_t valueIndex)
{
    const auto &value = items.values[valueIndex];
    const qsizetype end =
        valueIndex + 1 < items.values.size() ? items.values[valueIndex + 1].begin - 1 : items.raw.size() - 1;
    return Codepage::decode(QByteArrayView(items.raw).sliced(value.begin, end - value.begin));
}

QString fieldNameOf(const SearchableItems &items, int key)
{
    if (key == SearchableItems::descriptionKey)
        return QStringLiteral("Opis");
    if (key == SearchableItems::commentKey)
        return QStringLiteral("Komentarz");
    return items.fieldNames[size_t(key)];
}

QString keyOf(int key)
{
    if (key == SearchableItems::descriptionKey)
        return QStringLiteral("opis");
    if (key == SearchableItems::commentKey)
        return QStringLiteral("komentarz");
    return QStringLiteral("pozycja%1").arg(key + 1);
}

qsizetype find(const QByteArray &haystack, qsizetype from, const QByteArray &needle)
{
    const void *at =
        memmem(haystack.constData() + from, size_t(haystack.size() - from), needle.constData(), size_t(needle.size()));
    return at ? static_cast<const char *>(at) - haystack.constData() : -1;
}

// Adds the hits of one item file to `hits`, past `counted` hits no more; answers the hits counted
// so far, delivered or not.
template <typename Stopped>
int searchItems(const Place &place, const SearchableItems &items, const SearchQuery &query, const QByteArray &needle,
                int counted, QList<SearchHit> &hits, const Stopped &stopped)
{
    const KeyMask mask = keysToSearch(items, query);
    if (mask.none())
        return counted;
    size_t valueIndex = 0;
    for (qsizetype at = find(items.folded, 0, needle); at >= 0 && !stopped();) {
        // The value holding the match; a value counts once however often it holds the text.
        const auto next = std::upper_bound(items.values.begin() + qsizetype(valueIndex), items.values.end(),
                                           quint32(at), [](quint32 offset, const auto &v) { return offset < v.begin; });
        valueIndex = size_t(next - items.values.begin()) - 1;
        const SearchableItems::Value &value = items.values[valueIndex];
        const int matchStart = int(at - qsizetype(value.begin));
        at = next == items.values.end() ? -1 : find(items.folded, qsizetype(next->begin), needle);
        if (!mask.test(value.key) || ++counted > CatalogueSearch::maxDeliveredHits)
            continue;
        const qint32 title = items.titles[value.item];
        hits.append({place.category, place.subcategory, int(value.item),
                     title < 0 ? QString() : valueText(items, size_t(title)), fieldNameOf(items, value.key),
                     keyOf(value.key), valueText(items, valueIndex), matchStart, int(needle.size())});
    }
    return counted;
}

} // namespace

CatalogueSearch::CatalogueSearch(QObject *parent) : QObject(parent)
{
    m_pool.setMaxThreadCount(1);
    m_loaders.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
    // Made here, on the window's thread, rather than by the first search.
    Codepage::searchFoldTable();
}

CatalogueSearch::~CatalogueSearch()
{
    cancel();
    m_pool.waitForDone();
    m_loaders.waitForDone();
}

void CatalogueSearch::start(const QString &dataDirectory, const SearchQuery &query)
{
    const quint64 generation = ++m_generation;
    m_running = true;
    m_pool.start([this, dataDirectory, query, generation] {
        if (!current(generation))
            return;
        const QMutexLocker lock(&m_indexLock);
        const int total = search(dataDirectory, query, generation, [this, generation](QList<SearchHit> &&hits) {
            QMetaObject::invokeMethod(
                this,
                [this, generation, hits = std::move(hits)] {
                    if (current(generation))
                        emit hitsFound(hits);
                },
                Qt::QueuedConnection);
        });
        QMetaObject::invokeMethod(
            this,
            [this, generation, total] {
                if (!current(generation))
                    return;
                m_running = false;
                emit finished(total);
            },
            Qt::QueuedConnection);
    });
}

void CatalogueSearch::cancel()
{
    ++m_generation;
    m_running = false;
}

void CatalogueSearch::requestFieldNames(const QString &dataDirectory)
{
    m_pool.start([this, dataDirectory] {
        const QMutexLocker lock(&m_indexLock);
        QStringList names = fieldNames(m_index, dataDirectory);
        QMetaObject::invokeMethod(
            this, [this, names = std::move(names)] { emit fieldNamesFound(names); }, Qt::QueuedConnection);
    });
}

int CatalogueSearch::run(const QString &dataDirectory, const SearchQuery &query,
                         const std::function<void(QList<SearchHit> &&)> &batch)
{
    const QMutexLocker lock(&m_indexLock);
    return search(dataDirectory, query, m_generation.load(), batch);
}

void CatalogueSearch::clearCache()
{
    const QMutexLocker lock(&m_indexLock);
    m_index.clear();
}

CatalogueSearch::Loading CatalogueSearch::startLoading(const QList<Place> &places, quint64 generation)
{
    Loading loading;
    loading.items.resize(size_t(places.size()));
    loading.pending.resize(size_t(places.size()));
    loading.fileNames.reserve(places.size());
    for (qsizetype i = 0; i < places.size(); ++i) {
        const QString &fileName = places[i].fileName;
        loading.fileNames.append(fileName);
        bool needsReading = false;
        loading.items[size_t(i)] = m_index.cached(fileName, needsReading);
        if (!needsReading)
            continue;
        auto promise = std::make_shared<std::promise<CatalogueIndex::Loaded>>();
        loading.pending[size_t(i)] = promise->get_future();
        m_loaders.start([this, promise, fileName, generation] {
            promise->set_value(current(generation) ? CatalogueIndex::load(fileName) : CatalogueIndex::Loaded{});
        });
    }
    return loading;
}

// A search ended by the next one keeps the files read for it so far: the next one needs them too.
void CatalogueSearch::keepLoaded(Loading &loading)
{
    for (size_t i = 0; i < loading.pending.size(); ++i) {
        auto &pending = loading.pending[i];
        if (pending.valid() && pending.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
            m_index.keep(loading.fileNames[qsizetype(i)], pending.get());
    }
}

int CatalogueSearch::search(const QString &dir, const SearchQuery &query, quint64 generation,
                            const std::function<void(QList<SearchHit> &&)> &batch)
{
    const auto needle = Codepage::searchFolded(query.text);
    if (!needle || needle->isEmpty() || needle->contains('\0'))
        return 0;
    QList<SearchHit> hits;
    QElapsedTimer sinceBatch;
    bool sentAny = false;
    int total = 0;
    const QList<Place> places = placesOf(m_index, dir);
    Loading loading = startLoading(places, generation);
    for (qsizetype i = 0; i <= places.size(); ++i) {
        if (!current(generation)) {
            keepLoaded(loading);
            return total;
        }
        if (i == places.size())
            break;
        const Place &place = places[i];
        if (!loading.items[size_t(i)] && loading.pending[size_t(i)].valid()) {
            const CatalogueIndex::Loaded loaded = loading.pending[size_t(i)].get();
            m_index.keep(place.fileName, loaded);
            loading.items[size_t(i)] = loaded.items;
        }
        const auto items = std::exchange(loading.items[size_t(i)], nullptr);
        if (!items)
            continue;
        total = searchItems(place, *items, query, *needle, total, hits, [&] { return !current(generation); });
        if (!hits.isEmpty() && (!sentAny || sinceBatch.elapsed() >= batchMilliseconds)) {
            batch(std::exchange(hits, {}));
            sentAny = true;
            sinceBatch.start();
        }
    }
    if (!hits.isEmpty())
        batch(std::move(hits));
    return total;
}

QStringList CatalogueSearch::fieldNames(CatalogueIndex &index, const QString &dataDirectory)
{
    QStringList names;
    QSet<QByteArray> folded;
    for (const Place &place : placesOf(index, dataDirectory)) {
        const auto items = index.items(place.fileName);
        if (!items)
            continue;
        for (const QString &name : items->fieldNames) {
            const auto key = Codepage::searchFolded(name);
            if (!name.isEmpty() && key && !folded.contains(*key)) {
                folded.insert(*key);
                names.append(name);
            }
        }
    }
    QCollator collator(QLocale(QLocale::Polish, QLocale::Poland));
    std::sort(names.begin(), names.end(), collator);
    return names;
}

bool hitStillStands(const QString &dir, const SearchHit &hit)
{
    if (!KeyedList::categories.read(ProfileFile(CatalogueFiles::categoryList(dir))).contains(hit.category))
        return false;
    const ProfileFile subcategories(CatalogueFiles::subcategoryList(dir, hit.category));
    if (!KeyedList::subcategories.read(subcategories).contains(hit.subcategory))
        return false;
    const ProfileFile items(CatalogueFiles::itemFile(dir, hit.category, hit.subcategory));
    const int count = std::clamp(items.ReadNumber(QStringLiteral("config"), QStringLiteral("liczba_pozycji"), 0), 0,
                                 items.NumberedSections());
    if (hit.item < 0 || hit.item >= count)
        return false;
    const QString section = QString::number(hit.item);
    const bool multiline =
        hit.key == keyOf(SearchableItems::descriptionKey) || hit.key == keyOf(SearchableItems::commentKey);
    const QString value = multiline ? items.ReadMultiline(section, hit.key) : items.ReadText(section, hit.key, {});
    return value == hit.text;
}
