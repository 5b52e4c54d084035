// Runs one multi-file command on the catalogue in a folder, for a test to kill it half way:
//   catalogue_command <data directory> <command> [export file | new photo folder | backup archive | CSV file]
// It says "ready" just before the command starts.
#include "categories/CategoryStore.h"
#include "exchange/CsvImport.h"
#include "exchange/Import.h"
#include "items/ItemStore.h"
#include "items/PhotoRelink.h"
#include "store/Backup.h"
#include "store/CatalogueFiles.h"
#include "store/ProfileFile.h"
#include "store/Trash.h"

#include <QString>
#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc < 3)
        return 2;
    const QString dir = QString::fromLocal8Bit(argv[1]);
    const QByteArray command = argv[2];
    const QStringList categories = KeyedList::categories.read(ProfileFile(CatalogueFiles::categoryList(dir)));
    std::puts("ready");
    std::fflush(stdout);
    if (command == "rename-category") {
        CategoryStore::renameCategory(dir, 0, QStringLiteral("Monety"), QStringLiteral("Monety PL"));
    } else if (command == "rename-subcategory") {
        CategoryStore::renameSubcategory(dir, QStringLiteral("Monety"), 0, QStringLiteral("Polska"),
                                         QStringLiteral("Polska 1918"));
    } else if (command == "delete-category") {
        CategoryStore::deleteCategory(dir, categories.mid(1), categories.value(0));
    } else if (command == "delete-subcategory") {
        CategoryStore::deleteSubcategory(dir, QStringLiteral("Monety"), {QStringLiteral("Polska")},
                                         QStringLiteral("Niemcy"));
    } else if (command == "delete-item") {
        ItemStore::remove({dir, QStringLiteral("Monety"), QStringLiteral("Polska")}, 3);
    } else if (command == "restore-item" && !Trash::entries(dir).isEmpty()) {
        Trash::restore(dir, Trash::entries(dir).first());
    } else if (command == "import" && argc == 4) {
        Import::run(dir, QString::fromLocal8Bit(argv[3]));
    } else if (command == "csv-import" && argc == 4) {
        const CsvImport::Source source = CsvImport::load(QString::fromLocal8Bit(argv[3]));
        CsvImport::run({dir, QStringLiteral("Monety"), QStringLiteral("Polska")}, source,
                       {source.encoding, source.separator, true, {0, 1, CsvImport::Description, CsvImport::Photos}});
    } else if (command == "relink" && argc == 4) {
        PhotoRelink::run(dir, QStringLiteral("C:\\Zdjecia"), QString::fromLocal8Bit(argv[3]));
    } else if (command == "restore" && argc == 4) {
        Backup::restore(dir, QString::fromLocal8Bit(argv[3]));
    } else {
        return 2;
    }
    std::puts("done");
    return 0;
}
