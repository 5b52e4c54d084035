// Giving a subcategory or a category back from the trash.
#include "CategoryStore.h"

#include "store/Error.h"
#include "store/Journal.h"
#include "store/ProfileFile.h"
#include "store/Trash.h"

#include <QFile>
#include <QFileInfo>

namespace CategoryStore {

// A name given back goes to the place it had, or to the end of a list grown shorter; its files
// come back under their own names.
static void restoreEntry(const QString &dir, const Trash::Entry &entry, const CatalogueFiles::NewName &change,
                         const QString &list, const KeyedList &keyed)
{
    const bool ofCategory = entry.kind == Trash::Kind::Category;
    const QString what = ofCategory ? QStringLiteral("kategorii") : QStringLiteral("podkategorii");
    Journal::Command command(dir, QStringLiteral("przywrócenie %1 \"%2\" z kosza").arg(what, entry.name));
    if (const QString problem = CatalogueFiles::clashProblem(catalogueNames(dir), change); !problem.isEmpty())
        throw AppError(QStringLiteral("Nie można przywrócić %1 \"%2\": %3").arg(what, entry.name, problem));
    const QString folder = Journal::folderOf(dir);
    for (const QString &file : entry.files()) {
        const QString target = folder + QLatin1Char('/') + QFileInfo(file).fileName();
        if (QFile::exists(target))
            throw AppError(QStringLiteral("Nie można przywrócić %1 \"%2\": plik %3 należy już do katalogu. Nic nie "
                                          "zostało zmienione.")
                               .arg(what, entry.name, QFileInfo(target).fileName()));
        command.rename(file, target);
    }
    QStringList names = keyed.read(ProfileFile(list));
    names.insert(std::clamp(qsizetype(entry.place), qsizetype(0), names.size()), entry.name);
    command.write(list, listBytes(list, keyed, names));
    Trash::forget(command, entry);
    command.run();
    Trash::removeFolder(entry);
}

void restoreSubcategory(const QString &dir, const Trash::Entry &entry)
{
    const QList<CatalogueFiles::CategoryNames> catalogue = catalogueNames(dir);
    const auto category = std::find_if(catalogue.begin(), catalogue.end(), [&](const CatalogueFiles::CategoryNames &c) {
        return c.name == entry.category;
    });
    if (category == catalogue.end())
        throw AppError(QStringLiteral("Nie można przywrócić podkategorii \"%1\": kategoria \"%2\" już nie istnieje. "
                                      "Dodaj ją ponownie i spróbuj jeszcze raz.")
                           .arg(entry.name, entry.category));
    restoreEntry(dir, entry, {int(category - catalogue.begin()), int(category->subcategories.size()), entry.name},
                 CatalogueFiles::subcategoryList(dir, entry.category), KeyedList::subcategories);
}

void restoreCategory(const QString &dir, const Trash::Entry &entry)
{
    restoreEntry(dir, entry, {int(catalogueNames(dir).size()), -1, entry.name}, CatalogueFiles::categoryList(dir),
                 KeyedList::categories);
}

} // namespace CategoryStore
