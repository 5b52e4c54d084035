#include "PhotoLists.h"

#include "store/CatalogueFiles.h"
#include "store/Codepage.h"
#include "store/FileAccess.h"
#include "store/ProfileDocument.h"
#include "store/ProfileFile.h"
#include "store/StoredValues.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <optional>

#ifndef Q_OS_WIN
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace PhotoLists {

namespace {

using StoredValues::maxItemFileBytes;
using StoredValues::maxListBytes;
using StoredValues::text;

std::optional<ProfileDocument> document(const QString &fileName, qint64 maxSize)
{
    auto contents = StoredValues::readFile(fileName, maxSize);
    return contents ? std::optional<ProfileDocument>(std::move(contents->bytes)) : std::nullopt;
}

QStringList entries(const QString &fileName, const KeyedList &list)
{
    const auto file = document(fileName, maxListBytes);
    return file ? StoredValues::entries(*file, list) : QStringList();
}

bool eachInSubcategory(const QString &dir, Item &item, const std::function<bool(const Item &)> &visit)
{
    const auto items = document(CatalogueFiles::itemFile(dir, item.category, item.subcategory), maxItemFileBytes);
    if (!items)
        return true;
    QByteArray titleKey;
    for (int field = 1; field <= 10 && titleKey.isEmpty(); ++field) {
        if (!text(*items, "pozycje", QByteArray::number(field)).isEmpty())
            titleKey = "pozycja" + QByteArray::number(field);
    }
    const qsizetype count =
        std::clamp<qsizetype>(StoredValues::number(*items, "liczba_pozycji"), 0, items->numberedSections());
    for (qsizetype n = 0; n < count; ++n) {
        item.item = int(n);
        item.listFile = CatalogueFiles::photoList(dir, item.category, item.subcategory, item.item);
        item.paths = entries(item.listFile, KeyedList::photos);
        if (item.paths.isEmpty())
            continue;
        item.title = titleKey.isEmpty() ? QString() : text(*items, QByteArray::number(n), titleKey);
        if (!visit(item))
            return false;
    }
    return true;
}

#ifndef Q_OS_WIN
bool exists(const QByteArray &nativeName)
{
    struct stat info;
    return ::stat(nativeName.constData(), &info) == 0;
}

// Below this many files asked for in one folder, asking for each costs less than listing it.
constexpr qsizetype listFrom = 8;

struct Listing
{
    bool listed = false; // false: the folder could not be listed, each file is asked for
    bool gone = false;   // the folder itself does not exist
    QSet<QByteArray> names;
    QSet<QByteArray> links; // a link may lead nowhere: asked for one by one
};

Listing list(const QByteArray &folder)
{
    Listing listing;
    DIR *handle = ::opendir(folder.isEmpty() ? "/" : folder.constData());
    if (!handle) {
        listing.gone = errno == ENOENT || errno == ENOTDIR;
        return listing;
    }
    listing.listed = true;
    while (const dirent *entry = ::readdir(handle)) {
        const QByteArray name(entry->d_name);
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN)
            listing.links.insert(name);
        else
            listing.names.insert(name);
    }
    ::closedir(handle);
    return listing;
}
#endif

} // namespace

bool each(const QString &dir, const std::function<bool(const Item &)> &visit)
{
    for (const QString &category : entries(CatalogueFiles::categoryList(dir), KeyedList::categories)) {
        for (const QString &subcategory :
             entries(CatalogueFiles::subcategoryList(dir, category), KeyedList::subcategories)) {
            Item item{category, subcategory, -1, {}, {}, {}};
            if (!eachInSubcategory(dir, item, visit))
                return false;
        }
    }
    return true;
}

QString folderOf(const QString &path)
{
    const qsizetype separator = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    if (separator < 0)
        return path;
    return path.left(std::max<qsizetype>(separator, 1)); // the root keeps its separator
}

QList<bool> existing(const QStringList &paths)
{
    QList<bool> found(paths.size(), false);
#ifdef Q_OS_WIN
    for (qsizetype i = 0; i < paths.size(); ++i)
        found[i] = !paths[i].isEmpty() && QFileInfo::exists(paths[i]);
#else
    QList<QByteArray> names(paths.size());
    QHash<QByteArray, QList<qsizetype>> byFolder;
    for (qsizetype i = 0; i < paths.size(); ++i) {
        names[i] = QFile::encodeName(paths[i]);
        const qsizetype slash = names[i].lastIndexOf('/');
        if (slash < 0)
            found[i] = !names[i].isEmpty() && exists(names[i]);
        else
            byFolder[names[i].left(slash)].append(i);
    }
    for (auto folder = byFolder.cbegin(); folder != byFolder.cend(); ++folder) {
        const Listing listing = folder.value().size() < listFrom ? Listing{} : list(folder.key());
        if (listing.gone)
            continue;
        for (const qsizetype i : folder.value()) {
            const QByteArray name = names[i].mid(folder.key().size() + 1);
            if (!listing.listed || listing.links.contains(name))
                found[i] = exists(names[i]);
            else
                found[i] = listing.names.contains(name);
        }
    }
#endif
    return found;
}

} // namespace PhotoLists
