#include "ProfileStore.h"

#include "Error.h"
#include "FileAccess.h"
#include "ReadAhead.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <deque>
#include <limits>

namespace {

using FileAccess::Stamp;
using FileAccess::stampOf;


struct Cached
{
    QByteArray nativeName;
    Stamp stamp;
    std::shared_ptr<ProfileDocument> document;
    quint64 version = 0; // new with every parse and every write
};

// Category and subcategory lists are small: their most entries (KeyedList::maxEntries) of the
// longest names come to 11 MB. A list file far larger is no list, and parsing it would cost many
// times its size in memory: it reads as missing, and is never written over.
constexpr qint64 maxListBytes = 16LL * 1024 * 1024;

qint64 sizeLimitOf(const QString &key)
{
    const QStringView name = QStringView(key).sliced(key.lastIndexOf(QLatin1Char('/')) + 1);
    const bool list = name.compare(QLatin1String("kategorie.gmd"), Qt::CaseInsensitive) == 0 ||
                      name.endsWith(QLatin1String("_podkategorie.gmd"), Qt::CaseInsensitive);
    return list ? maxListBytes : std::numeric_limits<qint64>::max();
}

struct Refusal
{
    Stamp stamp; // the version refused
    bool told = false;
};

// Bounded so that an export over thousands of photo lists does not keep them all.
constexpr qsizetype maxFiles = 4096;
constexpr qint64 maxBytes = 256LL * 1024 * 1024;

struct Cache
{
    QHash<QString, Cached> files; // by the file's key
    QHash<QString, QString> keys; // file name as given -> key
    // Oldest first; an entry whose version has moved on was remembered again since.
    std::deque<std::pair<QString, quint64>> order;
    qint64 bytes = 0;
    quint64 lastVersion = 0;
    quint64 generation = 1; // moves on whenever a copy is added, dropped or let go
    ProfileStore::Statistics statistics;
    // The file that a walk reading ahead reads now. Such files are read once each: they stay out
    // of the cache, and each is let go when the walk takes the next.
    QString walkedKey;
    Cached walked;
    QHash<QString, Refusal> refused; // by key: list files too large to be lists, as last found

    void letWalkedGo()
    {
        walked = {};
        walkedKey.clear();
        ++generation;
    }

    void forget(const QString &key)
    {
        if (walked.document && key == walkedKey)
            letWalkedGo();
        const auto found = files.constFind(key);
        if (found != files.constEnd()) {
            bytes -= found->document->size();
            files.erase(found);
            ++generation;
        }
    }

    Cached *remember(const QString &key, Cached entry)
    {
        forget(key);
        const qint64 size = entry.document->size();
        while (!order.empty() && (files.size() >= maxFiles || bytes + size > maxBytes)) {
            const auto [oldest, version] = order.front();
            order.pop_front();
            const auto found = files.constFind(oldest);
            if (found != files.constEnd() && found->version == version)
                forget(oldest);
        }
        bytes += size;
        ++generation;
        entry.version = ++lastVersion;
        order.emplace_back(key, entry.version);
        return &*files.insert(key, std::move(entry));
    }
};

Cache &cache()
{
    static Cache instance;
    return instance;
}

// One key for every spelling of a file's name, so that a write through one spelling is seen by
// readers of another. Windows file names ignore letter case.
QString keyOfName(const QString &fileName)
{
    auto &keys = cache().keys;
    const auto known = keys.constFind(fileName);
    if (known != keys.constEnd())
        return *known;
#ifdef Q_OS_WIN
    const QString key = QDir::cleanPath(QFileInfo(fileName).absoluteFilePath()).toLower();
#else
    // The program's own names are absolute and clean already; asking QFileInfo costs more than
    // the rest of a small file's read. Any "/" that ends the name or comes before "/" or "." may
    // need cleaning (a few clean names take the long way too).
    const auto unclean = [](const QString &name) {
        const QChar *chars = name.constData();
        for (qsizetype i = 0; i < name.size(); ++i) {
            if (chars[i] == QLatin1Char('/') &&
                (i + 1 == name.size() || chars[i + 1] == QLatin1Char('/') || chars[i + 1] == QLatin1Char('.')))
                return true;
        }
        return false;
    };
    const QString key = fileName.startsWith(QLatin1Char('/')) && !unclean(fileName)
                            ? fileName
                            : QDir::cleanPath(QFileInfo(fileName).absoluteFilePath());
#endif
    if (keys.size() >= 2 * maxFiles)
        keys.clear();
    keys.insert(fileName, key);
    return key;
}


// The fresh parsed copy of the file, kept in the cache; nullptr when the file cannot be read.
Cached *fresh(const QString &key)
{
    Cache &c = cache();
    const bool walking = c.walked.document != nullptr;
    auto ahead = ReadAhead::take(key, c.walked.document);
    if (walking && !c.walked.document) // handed back, to be freed on the other thread
        c.letWalkedGo();
    if (ahead) {
        c.forget(key);
        if (!ahead->document)
            return nullptr;
        ++c.statistics.parses;
        c.walkedKey = key;
        c.walked = Cached{std::move(ahead->nativeName), ahead->stamp, std::move(ahead->document), ++c.lastVersion};
        ++c.generation;
        return &c.walked;
    }
    auto found = c.files.find(key);
    const QByteArray nativeName = found != c.files.end() ? found->nativeName : QFile::encodeName(key);
    if (found != c.files.end() && stampOf(nativeName) == found->stamp)
        return &*found;

    std::optional<FileAccess::Contents> contents = FileAccess::readWhole(nativeName, sizeLimitOf(key));
    if (!c.refused.isEmpty() && (!contents || !contents->tooLarge))
        c.refused.remove(key);
    if (!contents || contents->tooLarge) {
        if (contents) {
            Refusal &refusal = c.refused[key];
            if (refusal.stamp != contents->stamp)
                refusal = Refusal{contents->stamp};
        }
        c.forget(key);
        return nullptr;
    }
    auto document = std::make_shared<ProfileDocument>(std::move(contents->bytes));
    ++c.statistics.parses;
    // A file that changed while it was read keeps no stamp, so the next read parses it again.
    return c.remember(key, Cached{nativeName, contents->stamp, std::move(document)});
}

QString refusalMessage(const QString &fileName, const Refusal &refusal)
{
    return QStringLiteral("Plik %1 ma %2 MB, a lista kategorii lub podkategorii może mieć najwyżej %3 MB. To nie jest "
                          "plik listy, więc pominięto go i lista jest pusta; plik nie został zmieniony.")
        .arg(QDir::toNativeSeparators(fileName))
        .arg((refusal.stamp.size + (1 << 20) - 1) >> 20)
        .arg(maxListBytes >> 20);
}

// Writing over a refused file would lose whatever it holds.
void checkNotRefused(const QString &fileName, const QString &key)
{
    const auto found = cache().refused.constFind(key);
    if (found != cache().refused.constEnd())
        throw AppError(refusalMessage(fileName, *found));
}

} // namespace

namespace ProfileStore {

QString takeRefusal(const QString &fileName)
{
    const auto found = cache().refused.find(keyOfName(fileName));
    if (found == cache().refused.end() || found->told)
        return {};
    found->told = true;
    return refusalMessage(fileName, *found);
}

const ProfileDocument *load(const QString &fileName, Reader &reader)
{
    // Asking the disk costs a system call; a reader that has already seen this version of the
    // file, and so knows it unchanged since, is answered from memory.
    Cache &c = cache();
    if (reader.seen && reader.seenGeneration == c.generation)
        return reader.seen;
    if (reader.key.isEmpty())
        reader.key = keyOfName(fileName);
    // Versions are never given twice, so the version alone tells the copy.
    const auto known = c.files.constFind(reader.key);
    if (known != c.files.constEnd() && known->version == reader.seenVersion) {
        reader.seen = known->document.get();
    } else if (c.walked.document && c.walked.version == reader.seenVersion) {
        reader.seen = c.walked.document.get();
    } else {
        Cached *entry = fresh(reader.key);
        reader.seenVersion = entry ? entry->version : 0;
        reader.seen = entry ? entry->document.get() : nullptr;
    }
    reader.seenGeneration = c.generation;
    return reader.seen;
}

void modify(const QString &fileName, const std::function<bool(ProfileDocument &)> &edit)
{
    const QString key = keyOfName(fileName);
    Cached *entry = fresh(key);
    // Edited in place: no reader keeps a copy past its call. A failed write drops it below.
    std::shared_ptr<ProfileDocument> document = entry ? entry->document : std::make_shared<ProfileDocument>();

    const QByteArray nativeName = entry ? entry->nativeName : QFile::encodeName(key);
    try {
        if (!entry)
            checkNotRefused(fileName, key);
        if (!edit(*document)) {
            // Nothing to write, but a file that could not be written must still be reported.
            if (const QFileInfo info(fileName);
                !entry && (info.exists() ? !info.isFile() : !QFileInfo(info.path()).isDir()))
                throw AppError::unableToWrite(fileName);
            return;
        }
        FileAccess::writeAtomically(fileName, document->bytes());
    } catch (...) {
        cache().forget(key); // the copy may hold edits that did not reach the disk
        throw;
    }
    ++cache().statistics.writes;
    const std::optional<Stamp> stamp = stampOf(nativeName);
    if (stamp)
        cache().remember(key, Cached{nativeName, *stamp, std::move(document)});
    else
        cache().forget(key);
}

void replace(const QString &fileName, const QByteArray &bytes)
{
    const QString key = keyOfName(fileName);
    try {
        FileAccess::writeAtomically(fileName, bytes);
    } catch (...) {
        cache().forget(key);
        throw;
    }
    ++cache().statistics.writes;
    cache().forget(key); // parsed again at its next read
}

QString keyOf(const QString &fileName)
{
    return keyOfName(fileName);
}

std::shared_ptr<ProfileDocument> checkOut(const QString &fileName, bool &existed)
{
    const QString key = keyOfName(fileName);
    Cached *entry = fresh(key);
    existed = entry != nullptr;
    std::shared_ptr<ProfileDocument> document = entry ? entry->document : std::make_shared<ProfileDocument>();
    cache().forget(key);
    return document;
}

void writing(const QString &fileName)
{
    cache().forget(keyOfName(fileName));
    ++cache().statistics.writes;
}

void checkWritable(const QString &fileName, bool existed)
{
    // A batch writes many files into few folders.
    static QString folderSeen;
    if (!existed)
        checkNotRefused(fileName, keyOfName(fileName));
    if (existed && (FileAccess::isReadOnly(fileName) || !QFileInfo(fileName).isFile()))
        throw AppError::unableToWrite(fileName);
    if (!folderSeen.isEmpty() && fileName.startsWith(folderSeen) && fileName.size() > folderSeen.size() + 1 &&
        fileName[folderSeen.size()] == QLatin1Char('/')) {
        const QStringView name = QStringView(fileName).sliced(folderSeen.size() + 1);
        if (!name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')))
            return;
    }
    const QString folder = QFileInfo(fileName).path();
    if (folder == folderSeen)
        return;
    if (!QFileInfo(folder).isDir())
        throw AppError::unableToWrite(fileName);
    folderSeen = folder;
}

void syncFile(const QString &fileName)
{
    FileAccess::syncFile(fileName);
}

void syncFolder(const QString &folder)
{
    FileAccess::syncFolder(folder);
}

void forget(const QString &fileName)
{
    cache().forget(keyOfName(fileName));
}

void remove(const QString &fileName)
{
    cache().forget(keyOfName(fileName));
    if (QFile::exists(fileName) && !QFile::remove(fileName))
        throw AppError(QStringLiteral("Unable to delete %1").arg(fileName));
}

Statistics statistics()
{
    return cache().statistics;
}

void clear()
{
    cache().letWalkedGo();
    cache().order.clear();
    cache().files.clear();
    cache().keys.clear();
    cache().bytes = 0;
}

} // namespace ProfileStore
