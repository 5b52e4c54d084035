#include "CategoryStore.h"

#include "store/CatalogueFiles.h"
#include "store/Error.h"
#include "store/Journal.h"
#include "store/ProfileFile.h"
#include "store/Trash.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString config = QStringLiteral("config");

void writeList(const QString &fileName, const KeyedList &list, const QStringList &names)
{
    ProfileFile(fileName).Edit([&](ProfileEdit &edit) {
        edit.DropSection(list.section);
        for (int k = 0; k < names.size(); ++k)
            edit.WriteText(list.section, QString::number(k), names[k]);
        edit.WriteNumber(config, list.counterKey, int(names.size()));
    });
}

// The files of the folder that holds the catalogue files, listed once for a whole command.
class Folder
{
public:
    explicit Folder(const QString &dir)
        : m_folder(QFileInfo(dir + QLatin1Char('x')).dir()), m_names(m_folder.entryList(QDir::Files | QDir::Hidden))
    {}

    // The photo list files of one subcategory: its prefix followed by an item number.
    QStringList photoLists(const QString &dir, const QString &category, const QString &subcategory) const
    {
        const QString namePrefix =
            QFileInfo(CatalogueFiles::photoList(dir, category, subcategory, 0)).fileName().chopped(5);
        QStringList files;
        for (const QString &name : m_names) {
            if (name.size() > namePrefix.size() + 4 && name.startsWith(namePrefix) &&
                isNumbered(name, namePrefix.size()))
                files.append(m_folder.filePath(name));
        }
        return files;
    }

private:
    static bool isNumbered(const QString &name, qsizetype from)
    {
        const qsizetype end = name.size() - 4;
        if (name.mid(end).compare(QLatin1String(".gmd"), Qt::CaseInsensitive) != 0)
            return false;
        for (qsizetype i = from; i < end; ++i) {
            if (!name[i].isDigit() || name[i].unicode() > 0x7f)
                return false;
        }
        return true;
    }

    QDir m_folder;
    QStringList m_names;
};

// The files to carry to their new names, planned before anything moves.
class Moves
{
public:
    void add(const QString &from, const QString &to, bool known = false)
    {
        if (known || QFile::exists(from))
            m_planned.append({from, to});
    }

    // A change of letter case alone leaves a file where it is on a file system that ignores case;
    // on one that does not, the new name may be another entry's file.
    QStringList targetsThatExist() const
    {
        QStringList existing;
        for (const auto &[from, to] : m_planned) {
            if (QFile::exists(to) && !Journal::sameFile(from, to))
                existing.append(to);
        }
        return existing;
    }

    void addTo(Journal::Command &command) const
    {
        for (const auto &[from, to] : m_planned)
            command.rename(from, to);
    }

private:
    QList<std::pair<QString, QString>> m_planned;
};

// The file's new bytes after `changes`, for a journal to record before anything is written.
QByteArray edited(const QString &fileName, const std::function<void(ProfileEdit &)> &changes)
{
    ProfileBatch batch;
    ProfileFile(fileName, batch).Edit(changes);
    return batch.contents(fileName);
}

void planSubcategoryMoves(Moves &moves, const Folder &folder, const QString &dir, const QString &oldCategory,
                          const QString &oldSub, const QString &newCategory, const QString &newSub)
{
    moves.add(CatalogueFiles::itemFile(dir, oldCategory, oldSub), CatalogueFiles::itemFile(dir, newCategory, newSub));
    const QString oldPrefix = CatalogueFiles::photoList(dir, oldCategory, oldSub, 0).chopped(5);
    const QString newPrefix = CatalogueFiles::photoList(dir, newCategory, newSub, 0).chopped(5);
    const qsizetype numberAt = QFileInfo(oldPrefix + QLatin1Char('x')).fileName().size() - 1;
    for (const QString &file : folder.photoLists(dir, oldCategory, oldSub)) {
        const QString numbered = QFileInfo(file).fileName().mid(numberAt);
        moves.add(file, newPrefix + numbered, true);
    }
}

Moves planCategoryMoves(const QString &dir, const QString &oldName, const QString &newName)
{
    const Folder folder(dir);
    Moves moves;
    moves.add(CatalogueFiles::subcategoryList(dir, oldName), CatalogueFiles::subcategoryList(dir, newName));
    const QStringList subcategories =
        KeyedList::subcategories.read(ProfileFile(CatalogueFiles::subcategoryList(dir, oldName)));
    for (const QString &sub : subcategories)
        planSubcategoryMoves(moves, folder, dir, oldName, sub, newName, sub);
    return moves;
}

Moves planSubcategoryRename(const QString &dir, const QString &category, const QString &oldName, const QString &newName)
{
    Moves moves;
    planSubcategoryMoves(moves, Folder(dir), dir, category, oldName, category, newName);
    return moves;
}

} // namespace

namespace CategoryStore {

QByteArray listBytes(const QString &fileName, const KeyedList &list, const QStringList &names)
{
    return edited(fileName, [&](ProfileEdit &edit) {
        edit.DropSection(list.section);
        for (int k = 0; k < names.size(); ++k)
            edit.WriteText(list.section, QString::number(k), names[k]);
        edit.WriteNumber(config, list.counterKey, int(names.size()));
    });
}

void writeCategories(const QString &dir, const QStringList &names)
{
    writeList(CatalogueFiles::categoryList(dir), KeyedList::categories, names);
}

void writeSubcategories(const QString &dir, const QString &category, const QStringList &names)
{
    writeList(CatalogueFiles::subcategoryList(dir, category), KeyedList::subcategories, names);
}

// A catalogue made before such names were refused may hold two entries whose names give one set of
// files (category "X" with "Y_Z" beside "X_Y" with "Z"): deleting one must not take the other's items.
static bool filesStayInUse(const QList<CatalogueFiles::CategoryNames> &others, const QString &category,
                           const QString &subcategory)
{
#ifdef Q_OS_WIN
    constexpr Qt::CaseSensitivity fileNames = Qt::CaseInsensitive;
#else
    constexpr Qt::CaseSensitivity fileNames = Qt::CaseSensitive;
#endif
    const QString own = category + QLatin1Char('_') + subcategory;
    for (const CatalogueFiles::CategoryNames &other : others) {
        for (const QString &sub : other.subcategories) {
            if (QString::compare(other.name + QLatin1Char('_') + sub, own, fileNames) == 0)
                return true;
        }
    }
    return false;
}

// The files go into the trash entry as they are.
static void deleteSubcategoryFiles(Journal::Command &command, const Trash::Entry &trash, const Folder &folder,
                                   const QString &dir, const QString &category, const QString &subcategory,
                                   const QList<CatalogueFiles::CategoryNames> &others)
{
    if (filesStayInUse(others, category, subcategory))
        return;
    if (const QString items = CatalogueFiles::itemFile(dir, category, subcategory); QFile::exists(items))
        Trash::keepFile(command, trash, items);
    for (const QString &file : folder.photoLists(dir, category, subcategory))
        Trash::keepFile(command, trash, file);
}

void deleteCategory(const QString &dir, const QStringList &remaining, const QString &category)
{
    const QString list = CatalogueFiles::categoryList(dir);
    Journal::Command command(dir, QStringLiteral("usunięcie kategorii \"%1\"").arg(category));
    const QStringList before = KeyedList::categories.read(ProfileFile(list));
    const Trash::Entry trash =
        Trash::begin(dir, Trash::Kind::Category, category, {}, std::max(0, int(before.indexOf(category))));
    command.write(list, listBytes(list, KeyedList::categories, remaining));
    QList<CatalogueFiles::CategoryNames> others;
    for (const QString &name : remaining)
        others.append({name, KeyedList::subcategories.read(ProfileFile(CatalogueFiles::subcategoryList(dir, name)))});
    // The same name twice in the list shares one subcategory list: the other row keeps it all.
    if (!remaining.contains(category)) {
        const Folder folder(dir);
        const QString subcategoryList = CatalogueFiles::subcategoryList(dir, category);
        for (const QString &sub : KeyedList::subcategories.read(ProfileFile(subcategoryList)))
            deleteSubcategoryFiles(command, trash, folder, dir, category, sub, others);
        if (QFile::exists(subcategoryList))
            Trash::keepFile(command, trash, subcategoryList);
    }
    Trash::describe(command, trash);
    command.run();
}

void deleteSubcategory(const QString &dir, const QString &category, const QStringList &remaining,
                       const QString &subcategory)
{
    const QString list = CatalogueFiles::subcategoryList(dir, category);
    Journal::Command command(
        dir, QStringLiteral("usunięcie podkategorii \"%1\" z kategorii \"%2\"").arg(subcategory, category));
    const int place = int(KeyedList::subcategories.read(ProfileFile(list)).indexOf(subcategory));
    const Trash::Entry trash = Trash::begin(dir, Trash::Kind::Subcategory, category, subcategory, std::max(0, place));
    command.write(list, listBytes(list, KeyedList::subcategories, remaining));
    QList<CatalogueFiles::CategoryNames> others = catalogueNames(dir);
    for (CatalogueFiles::CategoryNames &other : others) {
        if (other.name == category)
            other.subcategories = remaining;
    }
    deleteSubcategoryFiles(command, trash, Folder(dir), dir, category, subcategory, others);
    Trash::describe(command, trash);
    command.run();
}

QList<CatalogueFiles::CategoryNames> catalogueNames(const QString &dir)
{
    QList<CatalogueFiles::CategoryNames> catalogue;
    for (const QString &name : KeyedList::categories.read(ProfileFile(CatalogueFiles::categoryList(dir))))
        catalogue.append(
            {name, KeyedList::subcategories.read(ProfileFile(CatalogueFiles::subcategoryList(dir, name)))});
    return catalogue;
}

QString renameProblem(const QString &dir, const QList<CatalogueFiles::CategoryNames> &catalogue,
                      const CatalogueFiles::NewName &change)
{
    if (const QString problem = CatalogueFiles::clashProblem(catalogue, change); !problem.isEmpty())
        return problem;
    const CatalogueFiles::CategoryNames category = catalogue.value(change.category);
    const bool ofCategory = change.subcategory < 0;
    const QString oldName = ofCategory ? category.name : category.subcategories.value(change.subcategory);
    if (oldName.compare(change.name, Qt::CaseInsensitive) == 0)
        return {}; // only the letter case changes: the files are the entry's own
    const Moves moves = ofCategory ? planCategoryMoves(dir, oldName, change.name)
                                   : planSubcategoryRename(dir, category.name, oldName, change.name);
    const QStringList clashes = moves.targetsThatExist();
    if (!clashes.isEmpty())
        return QStringLiteral("Pod nazwą \"%1\" są już pliki katalogu (%2), które zostałyby nadpisane.")
            .arg(change.name, QFileInfo(clashes.first()).fileName());
    return {};
}

void renameCategory(const QString &dir, int index, const QString &oldName, const QString &newName)
{
    if (oldName == newName)
        return;
    const QString list = CatalogueFiles::categoryList(dir);
    Journal::Command command(dir, QStringLiteral("zmiana nazwy kategorii \"%1\" na \"%2\"").arg(oldName, newName));
    planCategoryMoves(dir, oldName, newName).addTo(command);
    command.write(list, edited(list, [&](ProfileEdit &edit) {
                      edit.WriteText(KeyedList::categories.section, QString::number(index), newName);
                      edit.WriteText(config, QStringLiteral("aktywna"), newName);
                  }));
    command.run();
}

void renameSubcategory(const QString &dir, const QString &category, int index, const QString &oldName,
                       const QString &newName)
{
    if (oldName == newName)
        return;
    const QString list = CatalogueFiles::subcategoryList(dir, category);
    Journal::Command command(
        dir,
        QStringLiteral("zmiana nazwy podkategorii \"%1\" kategorii \"%2\" na \"%3\"").arg(oldName, category, newName));
    planSubcategoryRename(dir, category, oldName, newName).addTo(command);
    command.write(list, edited(list, [&](ProfileEdit &edit) {
                      edit.WriteText(KeyedList::subcategories.section, QString::number(index), newName);
                      edit.WriteText(config, QStringLiteral("aktywna"), newName);
                  }));
    command.run();
}

} // namespace CategoryStore
