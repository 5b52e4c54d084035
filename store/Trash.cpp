#include "Trash.h"

#include "Codepage.h"
#include "Error.h"
#include "Journal.h"
#include "ProfileDocument.h"
#include "ProfileFile.h"
#include "ProfileStore.h"
#include "categories/CategoryStore.h"
#include "items/ItemStore.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {

const QString descriptionName = QStringLiteral("wpis.gmd");
const QString section = QStringLiteral("wpis");

const QList<std::pair<Trash::Kind, QString>> kindNames{{Trash::Kind::Item, QStringLiteral("pozycja")},
                                                       {Trash::Kind::Subcategory, QStringLiteral("podkategoria")},
                                                       {Trash::Kind::Category, QStringLiteral("kategoria")}};

QString kindName(Trash::Kind kind)
{
    for (const auto &[known, name] : kindNames) {
        if (known == kind)
            return name;
    }
    return {};
}

std::optional<Trash::Kind> kindOf(const QString &name)
{
    for (const auto &[kind, known] : kindNames) {
        if (known == name)
            return kind;
    }
    return std::nullopt;
}

// A folder name that sorts by the time of the delete; two deletes in one millisecond get a number.
QString newFolder(const QString &trash, const QDateTime &when)
{
    const QString stem = when.toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    QString name = stem;
    for (int n = 2; QFileInfo::exists(trash + QLatin1Char('/') + name); ++n)
        name = stem + QLatin1Char('-') + QString::number(n);
    if (!QDir().mkpath(trash + QLatin1Char('/') + name))
        throw AppError::unableToWrite(trash + QLatin1Char('/') + name);
    return trash + QLatin1Char('/') + name;
}

std::optional<Trash::Entry> readEntry(const QString &folder)
{
    const QString file = folder + QLatin1Char('/') + descriptionName;
    if (!QFileInfo::exists(file))
        return std::nullopt;
    const ProfileFile description(file);
    const auto kind = kindOf(description.ReadText(section, QStringLiteral("rodzaj"), {}));
    if (!kind)
        return std::nullopt;
    Trash::Entry entry;
    entry.folder = folder;
    entry.kind = *kind;
    entry.name = *kind == Trash::Kind::Item
                     ? description.ReadWholeText(QStringLiteral("pozycja"), QStringLiteral("pozycja1"))
                     : description.ReadText(section, QStringLiteral("nazwa"), {});
    entry.category = description.ReadText(section, QStringLiteral("kategoria"), {});
    entry.subcategory = description.ReadText(section, QStringLiteral("podkategoria"), {});
    entry.place = description.ReadNumber(section, QStringLiteral("miejsce"), 0);
    entry.deleted =
        QDateTime::fromString(description.ReadText(section, QStringLiteral("usunieto"), {}), Qt::ISODateWithMs);
    return entry;
}

QStringList entryFolders(const QString &dir)
{
    const QDir trash(Trash::folderOf(dir));
    QStringList folders;
    for (const QString &name : trash.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden))
        folders << trash.filePath(name);
    return folders;
}

} // namespace

namespace Trash {

QString Entry::description() const
{
    return folder + QLatin1Char('/') + descriptionName;
}

QStringList Entry::files() const
{
    QStringList files;
    const QDir here(folder);
    for (const QString &name : here.entryList({QStringLiteral("*.gmd")}, QDir::Files | QDir::Hidden)) {
        if (name != descriptionName)
            files << here.filePath(name);
    }
    return files;
}

QString folderOf(const QString &dir)
{
    return Journal::folderOf(dir) + QStringLiteral("/Kosz");
}

Entry begin(const QString &dir, Kind kind, const QString &category, const QString &subcategory, int place)
{
    Entry entry;
    entry.deleted = QDateTime::currentDateTimeUtc();
    entry.folder = newFolder(folderOf(dir), entry.deleted);
    entry.kind = kind;
    entry.category = category;
    entry.subcategory = subcategory;
    entry.place = place;
    entry.name = kind == Kind::Category ? category : subcategory;
    return entry;
}

void keepFile(Journal::Command &command, const Entry &entry, const QString &file)
{
    command.rename(file, entry.folder + QLatin1Char('/') + QFileInfo(file).fileName());
}

void describe(Journal::Command &command, const Entry &entry, QByteArray base)
{
    ProfileDocument document(std::move(base));
    const QByteArray wpis = section.toLatin1();
    document.setValue(wpis, "rodzaj", kindName(entry.kind).toLatin1());
    if (entry.kind != Kind::Item)
        document.setValue(wpis, "nazwa", Codepage::encode(entry.name));
    document.setValue(wpis, "kategoria", Codepage::encode(entry.category));
    if (entry.kind != Kind::Category)
        document.setValue(wpis, "podkategoria", Codepage::encode(entry.subcategory));
    document.setValue(wpis, "miejsce", QByteArray::number(entry.place));
    document.setValue(wpis, "usunieto", entry.deleted.toString(Qt::ISODateWithMs).toLatin1());
    command.write(entry.description(), document.bytes());
}

std::optional<Entry> entryIn(const QString &folder)
{
    return readEntry(folder);
}

QList<Entry> entries(const QString &dir)
{
    QList<Entry> found;
    for (const QString &folder : entryFolders(dir)) {
        if (auto entry = readEntry(folder))
            found.append(*entry);
    }
    std::sort(found.begin(), found.end(), [](const Entry &a, const Entry &b) {
        return a.deleted != b.deleted ? a.deleted > b.deleted : a.folder > b.folder;
    });
    return found;
}

void restore(const QString &dir, const Entry &entry)
{
    switch (entry.kind) {
    case Kind::Item:
        ItemStore::restore(dir, entry);
        break;
    case Kind::Subcategory:
        CategoryStore::restoreSubcategory(dir, entry);
        break;
    case Kind::Category:
        CategoryStore::restoreCategory(dir, entry);
        break;
    }
}

void forget(Journal::Command &command, const Entry &entry)
{
    command.remove(entry.description());
}

void removeFolder(const Entry &entry)
{
    ProfileStore::forget(entry.description());
    QDir().rmdir(entry.folder);
}

void empty(const QString &dir)
{
    // The description first: a folder cut short while it goes is no entry any more.
    for (const QString &folder : entryFolders(dir)) {
        ProfileStore::remove(folder + QLatin1Char('/') + descriptionName);
        QDir(folder).removeRecursively();
    }
    ProfileStore::clear();
}

int tidy(const QString &dir)
{
    int removed = 0;
    for (const QString &folder : entryFolders(dir)) {
        removed += Journal::removeTemporaries(folder);
        if (!QFileInfo::exists(folder + QLatin1Char('/') + descriptionName))
            QDir().rmdir(folder); // only when empty: catalogue files are never lost
    }
    return removed;
}

} // namespace Trash
