// The main window's CSV import into the chosen subcategory.
#include "Dialogs.h"
#include "Glowny.h"

#include "exchange/Import_CSV.h"
#include "settings/StartupCheck.h"
#include "store/DataDirectory.h"

#include <QDir>
#include <QTreeWidget>

void TfrmGlowny::ImportCSV1Click()
{
    const QString subcategory = ListPodkategorie->selectedItems().isEmpty() ? QString() : panelText(1);
    if (!hasChosenCategory() || subcategory.isEmpty()) {
        Dialogs::information(this, QStringLiteral("Najpierw wybierz podkategorię, do której mają trafić pozycje "
                                                  "z pliku CSV."));
        return;
    }
    static QString last = QDir::homePath();
    const QString file = Dialogs::current().openFileName(
        this, {QStringLiteral("Import z pliku CSV"), QStringLiteral("Pliki CSV (*.csv *.txt);;Wszystkie pliki (*)"),
               last, true});
    if (file.isEmpty())
        return;
    last = file;
    frmImport_CSV->setSource(CsvImport::load(file), {DataDirectory::path(), panelText(0), subcategory});
    frmImport_CSV->exec();
    startupCheck()->windowClosed();
    if (frmImport_CSV->added() == 0)
        return;
    ListPodkategorieSelectItem(); // the new rows, and the columns when the file named the fields
    Dialogs::information(this, QStringLiteral("Dodano pozycji z pliku CSV: %1.").arg(frmImport_CSV->added()));
}
