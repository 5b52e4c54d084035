#include "CategoryStore.h"

#include "store/CatalogueFiles.h"
#include "store/Error.h"
#include "store/ProfileFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

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

// The photo list files of one subcategory: its prefix followed by an item number.
QStringList photoLists(const QString &dir, const QString &category, const QString &subcategory)
{
    const QString prefix = CatalogueFiles::photoList(dir, category, subcategory, 0).chopped(5);
    const QFileInfo prefixInfo(prefix + QLatin1Char('x'));
    const QString namePrefix = prefixInfo.fileName().chopped(1);
    static const QRegularExpression number(QStringLiteral("^\\d+\\.gmd$"), QRegularExpression::CaseInsensitiveOption);
    QStringList files;
    const QDir folder = prefixInfo.dir();
    for (const QString &name : folder.entryList({namePrefix + QStringLiteral("*.gmd")}, QDir::Files)) {
        if (name.startsWith(namePrefix) && number.match(QStringView(name).mid(namePrefix.size())).hasMatch())
            files.append(folder.filePath(name));
    }
    return files;
}

// Renames files one by one; a failure renames back what was done and throws.
class Moves
{
public:
    void add(const QString &from, const QString &to)
    {
        if (QFile::exists(from))
            m_planned.append({from, to});
    }

    QStringList targetsThatExist() const
    {
        QStringList existing;
        for (const auto &[from, to] : m_planned) {
            if (QFile::exists(to))
                existing.append(to);
        }
        return existing;
    }

    void run()
    {
        QList<std::pair<QString, QString>> done;
        for (const auto &[from, to] : std::as_const(m_planned)) {
            ProfileStore::forget(from);
            ProfileStore::forget(to);
            const bool caseOnly = from.compare(to, Qt::CaseInsensitive) == 0;
            if ((QFile::exists(to) && !caseOnly) || !QFile::rename(from, to)) {
                undo(done);
                throw AppError(QStringLiteral("Nie można przenieść pliku %1 do %2; nazwa nie została zmieniona.")
                                   .arg(from, to));
            }
            done.append({from, to});
        }
        m_done = done;
    }

    void undo() { undo(m_done); }

private:
    static void undo(const QList<std::pair<QString, QString>> &done)
    {
        for (auto it = done.crbegin(); it != done.crend(); ++it)
            QFile::rename(it->second, it->first);
    }

    QList<std::pair<QString, QString>> m_planned;
    QList<std::pair<QString, QString>> m_done;
};

void planSubcategoryMoves(Moves &moves, const QString &dir, const QString &oldCategory, const QString &oldSub,
                          const QString &newCategory, const QString &newSub)
{
    moves.add(CatalogueFiles::itemFile(dir, oldCategory, oldSub), CatalogueFiles::itemFile(dir, newCategory, newSub));
    const QString oldPrefix = CatalogueFiles::photoList(dir, oldCategory, oldSub, 0).chopped(5);
    const QString newPrefix = CatalogueFiles::photoList(dir, newCategory, newSub, 0).chopped(5);
    for (const QString &file : photoLists(dir, oldCategory, oldSub))
        moves.add(file, newPrefix + file.mid(oldPrefix.size()));
}

Moves planCategoryMoves(const QString &dir, const QString &oldName, const QString &newName)
{
    Moves moves;
    moves.add(CatalogueFiles::subcategoryList(dir, oldName), CatalogueFiles::subcategoryList(dir, newName));
    const QStringList subcategories =
        KeyedList::subcategories.read(ProfileFile(CatalogueFiles::subcategoryList(dir, oldName)));
    for (const QString &sub : subcategories)
        planSubcategoryMoves(moves, dir, oldName, sub, newName, sub);
    return moves;
}

} // namespace

namespace CategoryStore {

void writeCategories(const QString &dir, const QStringList &names)
{
    writeList(CatalogueFiles::categoryList(dir), KeyedList::categories, names);
}

void writeSubcategories(const QString &dir, const QString &category, const QStringList &names)
{
    writeList(CatalogueFiles::subcategoryList(dir, category), KeyedList::subcategories, names);
}

void deleteSubcategoryFiles(const QString &dir, const QString &category, const QString &subcategory)
{
    ProfileStore::remove(CatalogueFiles::itemFile(dir, category, subcategory));
    for (const QString &file : photoLists(dir, category, subcategory))
        ProfileStore::remove(file);
}

void deleteCategoryFiles(const QString &dir, const QString &category, const QStringList &subcategories)
{
    for (const QString &sub : subcategories)
        deleteSubcategoryFiles(dir, category, sub);
    ProfileStore::remove(CatalogueFiles::subcategoryList(dir, category));
}

QString renameProblem(const QString &dir, const QString &category, const QStringList &names, int index,
                      const QString &newName)
{
    if (const QString problem = CatalogueFiles::nameProblem(newName); !problem.isEmpty())
        return problem;
    for (int k = 0; k < names.size(); ++k) {
        if (k != index && names[k].compare(newName, Qt::CaseInsensitive) == 0)
            return QStringLiteral("Nazwa \"%1\" jest już na liście.").arg(names[k]);
    }
    const QString oldName = names.value(index);
    if (oldName.compare(newName, Qt::CaseInsensitive) == 0)
        return {}; // only the letter case changes: the files are the entry's own
    const Moves moves = category.isEmpty() ? planCategoryMoves(dir, oldName, newName) : [&] {
        Moves subMoves;
        planSubcategoryMoves(subMoves, dir, category, oldName, category, newName);
        return subMoves;
    }();
    const QStringList clashes = moves.targetsThatExist();
    if (!clashes.isEmpty())
        return QStringLiteral("Pod nazwą \"%1\" są już pliki katalogu (%2), które zostałyby nadpisane.")
            .arg(newName, QFileInfo(clashes.first()).fileName());
    return {};
}

void renameCategory(const QString &dir, int index, const QString &oldName, const QString &newName)
{
    if (oldName == newName)
        return;
    Moves moves = planCategoryMoves(dir, oldName, newName);
    moves.run();
    try {
        ProfileFile(CatalogueFiles::categoryList(dir)).Edit([&](ProfileEdit &edit) {
            edit.WriteText(KeyedList::categories.section, QString::number(index), newName);
            edit.WriteText(config, QStringLiteral("aktywna"), newName);
        });
    } catch (...) {
        moves.undo();
        throw;
    }
}

void renameSubcategory(const QString &dir, const QString &category, int index, const QString &oldName,
                       const QString &newName)
{
    if (oldName == newName)
        return;
    Moves moves;
    planSubcategoryMoves(moves, dir, category, oldName, category, newName);
    moves.run();
    try {
        ProfileFile(CatalogueFiles::subcategoryList(dir, category)).Edit([&](ProfileEdit &edit) {
            edit.WriteText(KeyedList::subcategories.section, QString::number(index), newName);
            edit.WriteText(config, QStringLiteral("aktywna"), newName);
        });
    } catch (...) {
        moves.undo();
        throw;
    }
}

} // namespace CategoryStore
