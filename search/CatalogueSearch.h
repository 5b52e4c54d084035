#pragma once

#include "CatalogueIndex.h"

#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <atomic>
#include <functional>
#include <future>
#include <vector>

struct SearchQuery
{
    enum class Scope {
        AllFields, // the named fields, the description and the comment
        Field,     // the fields named `field`, in every subcategory that has one
        DescriptionAndComment,
    };
    QString text;
    Scope scope = Scope::AllFields;
    QString field;
};

// One value that holds the text; an item gives one hit for each of its values that does.
struct SearchHit
{
    QString category;
    QString subcategory;
    int item = -1;
    QString title;     // the value of the item's first named field
    QString fieldName; // the field's name, or "Opis" / "Komentarz"
    QString key;       // where the value stands in the item's section: "pozycja3", "opis", "komentarz"
    QString text;      // the whole value, line breaks of a description included
    int matchStart = 0;
    int matchLength = 0;
};

// The search through every item of the catalogue, run on a thread of its own. Hits come in
// batches as they are found; a search started while another runs ends that one at once, and
// nothing the ended one found is delivered after the new one starts.
class CatalogueSearch : public QObject
{
    Q_OBJECT

public:
    // Past this many, hits are counted but not delivered: no one reads a million rows.
    static constexpr int maxDeliveredHits = 5000;

    explicit CatalogueSearch(QObject *parent = nullptr);
    ~CatalogueSearch() override;

    // Text without any letter that a catalogue file can hold finds nothing, at once.
    void start(const QString &dataDirectory, const SearchQuery &query);
    void cancel();
    bool isRunning() const { return m_running; }

    // The field names of the whole catalogue, sent as fieldNamesFound() when read.
    void requestFieldNames(const QString &dataDirectory);

    // The same work done on the calling thread, for one caller alone (tests, the benchmark): the
    // hits go to `batch` in the order found; answers the hit count.
    int run(const QString &dataDirectory, const SearchQuery &query,
            const std::function<void(QList<SearchHit> &&)> &batch);
    void clearCache();

    // The distinct field names of the catalogue: names that fold alike count once, spelt as met
    // first; sorted as Polish is.
    static QStringList fieldNames(CatalogueIndex &index, const QString &dataDirectory);

    // One item file of the catalogue, under the names the lists give it.
    struct Place
    {
        QString category;
        QString subcategory;
        QString fileName;
    };

signals:
    void hitsFound(const QList<SearchHit> &hits);
    // The search is complete: `total` hits, of which at most maxDeliveredHits were delivered.
    void finished(int total);
    void fieldNamesFound(const QStringList &names);

private:
    // Item files not read yet are read and parsed on other threads, ahead of the search, in the
    // order it takes them.
    struct Loading
    {
        std::vector<std::shared_ptr<const SearchableItems>> items;
        std::vector<std::future<CatalogueIndex::Loaded>> pending;
        QStringList fileNames;
    };
    Loading startLoading(const QList<Place> &places, quint64 generation);
    void keepLoaded(Loading &loading);
    int search(const QString &dataDirectory, const SearchQuery &query, quint64 generation,
               const std::function<void(QList<SearchHit> &&)> &batch);
    bool current(quint64 generation) const { return m_generation.load(std::memory_order_relaxed) == generation; }

    QThreadPool m_pool;
    QThreadPool m_loaders;
    QMutex m_indexLock; // the index is used by one search at a time
    CatalogueIndex m_index;
    std::atomic<quint64> m_generation{0};
    bool m_running = false;
};

// Whether the catalogue still holds the hit: its category, subcategory and item, with the value
// found still as it was, so that a hit from before a change never leads to another item. Reads
// through the profile store, so on the windows' thread only.
bool hitStillStands(const QString &dataDirectory, const SearchHit &hit);
