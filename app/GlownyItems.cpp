// The main window's item list and the item commands started from it.
#include "Glowny.h"

#include "Dialogs.h"
#include "Pozycje.h"
#include "items/ItemStore.h"
#include "items/ItemTable.h"
#include "items/Pozycje_dodaj.h"
#include "items/Pozycje_edytuj.h"
#include "store/CatalogueFiles.h"
#include "store/DataDirectory.h"
#include "store/Error.h"
#include "store/ProfileFile.h"
#include "viewer/Pokaz.h"

#include <QLabel>
#include <QTreeWidget>
#include <utility>

void TfrmGlowny::refreshItemList(const QString &itemFile, const QString &countText)
{
    ListPrzedmioty->clear();
    ListPrzedmioty->setColumnCount(0);
    const ProfileFile file(itemFile);
    const QList<ItemTable::Column> columns = ItemTable::readColumns(file);
    QStringList headers;
    for (const ItemTable::Column &column : columns)
        headers.append(column.name);
    ListPrzedmioty->setColumnCount(int(headers.size()));
    ListPrzedmioty->setHeaderLabels(headers);
    for (int c = 0; c < headers.size(); ++c)
        ListPrzedmioty->setColumnWidth(c, 50);

    const int count = ItemTable::countFromText(countText); // a damaged count leaves the columns
    QList<QTreeWidgetItem *> items;
    for (QStringList &values : ItemTable::readRows(file, columns, count))
        items.append(new QTreeWidgetItem(std::move(values)));
    ListPrzedmioty->addTopLevelItems(items);
    if (const QString problem = ItemTable::countProblem(file, count); !problem.isEmpty())
        throw AppError(problem); // the rows the file holds stay listed
}

void TfrmGlowny::Przedmioty1Click()
{
    showModal(frmPozycje);
    ListPodkategorieSelectItem();
}

int TfrmGlowny::selectedRow() const
{
    const auto selected = ListPrzedmioty->selectedItems();
    return selected.isEmpty() ? -1 : ListPrzedmioty->indexOfTopLevelItem(selected.first());
}

void TfrmGlowny::refreshAfterItemCommand()
{
    const QString itemFile = CatalogueFiles::itemFile(DataDirectory::path(), panelText(0), panelText(1));
    const int count = ProfileFile(itemFile).ReadNumber(QStringLiteral("config"), QStringLiteral("liczba_pozycji"), 0);
    refreshItemList(itemFile, QString::number(count));
}

void TfrmGlowny::ListPrzedmiotyDblClick()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    lblpozycja->setText(QString::number(row));
    showModal(frmPokaz);
}

void TfrmGlowny::Dodajnowpozycje1Click()
{
    showModal(frmDodaj_pozycje);
    refreshAfterItemCommand();
}

void TfrmGlowny::Edytujpozycje1Click()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    // Opened beside the main window from the viewer: it keeps its item and only comes forward.
    if (frmEdytuj_pozycje->isVisible()) {
        frmEdytuj_pozycje->raise();
        frmEdytuj_pozycje->activateWindow();
        return;
    }
    lblpozycja->setText(QString::number(row));
    showModal(frmEdytuj_pozycje);
    refreshAfterItemCommand();
}

void TfrmGlowny::Usuzaznaczonpozycje1Click()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    if (Dialogs::question(this, QStringLiteral("Czy chcesz usunąć wybraną pozycje ?"),
                          QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    ItemStore::remove({DataDirectory::path(), panelText(0), panelText(1)}, row);
    refreshAfterItemCommand();
}
