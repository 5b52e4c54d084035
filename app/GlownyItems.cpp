// The main window's item list and the item commands started from it.
#include "Glowny.h"

#include "Command.h"
#include "Dialogs.h"
#include "ItemGallery.h"
#include "ItemListView.h"
#include "Pozycje.h"
#include "items/ItemListModel.h"
#include "items/ItemListProxy.h"
#include "items/ItemStore.h"
#include "items/Pozycje_dodaj.h"
#include "items/Pozycje_edytuj.h"
#include "store/CatalogueFiles.h"
#include "store/DataDirectory.h"
#include "store/Error.h"
#include "store/ProfileFile.h"
#include "viewer/Pokaz.h"

#include <QDataStream>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTreeView>
#include <utility>

namespace {

QStringList columnNames(const ItemListModel &items)
{
    QStringList names;
    for (const ItemTable::Column &column : items.columns())
        names.append(column.name);
    return names;
}

} // namespace

void TfrmGlowny::refreshItemList(const QString &itemFile, const QString &countText)
{
    const QStringList before = columnNames(*m_items);
    const bool otherFile = itemFile != m_itemFile;
    if (otherFile)
        keepColumns();
    m_items->load(itemFile, countText);
    m_itemFile = itemFile;
    // The widths the user dragged stay while the list shows the same columns of the same file.
    if (otherFile || columnNames(*m_items) != before) {
        m_columnsShown = {panelText(0), panelText(1)};
        if (!restoreColumns()) {
            QHeaderView *header = ListPrzedmioty->header();
            for (int column = 0; column < header->count(); ++column)
                header->moveSection(header->visualIndex(column), column);
            ItemListView::fitColumns(ListPrzedmioty);
        }
    }
    {
        // The sort kept over the new rows, or dropped with its column: the header only shows it.
        const QSignalBlocker blocker(ListPrzedmioty->header());
        ListPrzedmioty->header()->setSortIndicator(m_itemList->sortColumn(), m_itemList->sortOrder());
    }
    showItemCount();
    if (!m_items->problem().isEmpty())
        throw AppError(m_items->problem()); // the columns, and the rows the file holds, stay listed
}

// Kept with the column names they were made for: a header state of other columns means nothing.
void TfrmGlowny::keepColumns() const
{
    if (m_columnsShown.subcategory.isEmpty() || m_items->columnCount() == 0)
        return;
    QByteArray state;
    QDataStream out(&state, QIODevice::WriteOnly);
    out << columnNames(*m_items) << ListPrzedmioty->header()->saveState();
    ViewState::setColumns(m_columnsShown.category, m_columnsShown.subcategory, state);
}

bool TfrmGlowny::restoreColumns()
{
    QDataStream in(ViewState::columns(m_columnsShown.category, m_columnsShown.subcategory));
    QStringList names;
    QByteArray state;
    in >> names >> state;
    QHeaderView *header = ListPrzedmioty->header();
    if (in.status() != QDataStream::Ok || names.isEmpty() || names != columnNames(*m_items))
        return false;
    {
        const QSignalBlocker blocker(header);
        if (!header->restoreState(state))
            return false;
    }
    const int column = header->sortIndicatorSection();
    m_itemList->sort(column >= 0 && column < m_items->columnCount() ? column : -1, header->sortIndicatorOrder());
    return true;
}

void TfrmGlowny::Przedmioty1Click()
{
    showModal(frmPozycje);
    ListPodkategorieSelectItem();
}

int TfrmGlowny::selectedRow() const
{
    const QModelIndexList selected = ListPrzedmioty->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : m_itemList->itemNumber(selected.first().row());
}

int TfrmGlowny::selectedItemNumber() const
{
    return selectedRow();
}

bool TfrmGlowny::selectItemNumber(int itemNumber)
{
    if (itemNumber < 0 || itemNumber >= m_items->rowCount())
        return false;
    if (m_itemList->viewRow(itemNumber) < 0)
        txtSzukaj->clear();
    const QModelIndex index = m_itemList->index(m_itemList->viewRow(itemNumber), 0);
    ListPrzedmioty->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollItemsTo(index);
    return true;
}

void TfrmGlowny::txtSzukajChange()
{
    m_itemList->setFilterText(txtSzukaj->text());
    showItemCount();
}

void TfrmGlowny::ListPrzedmiotySort(int column, Qt::SortOrder order)
{
    m_itemList->sort(column, order);
    if (const QModelIndex current = ListPrzedmioty->currentIndex(); current.isValid())
        scrollItemsTo(current);
}

// Panel 2 says how many items the subcategory's file counts; while a filter hides some, how many
// of them are shown.
void TfrmGlowny::showItemCount()
{
    if (!m_countShown)
        return;
    const QString shown = m_itemList->filterText().isEmpty()
                              ? m_countText
                              : QStringLiteral("%1 z %2").arg(m_itemList->rowCount()).arg(m_countText);
    setPanelText(2, QStringLiteral("Liczba pozycji: ") + shown);
}

bool TfrmGlowny::itemListKey(QObject *watched, int key)
{
    const bool onItems = watched == ListPrzedmioty || watched == GaleriaPrzedmiotow;
    if (!onItems && watched != txtSzukaj)
        return false;
    if (key == Qt::Key_Escape && !txtSzukaj->text().isEmpty()) {
        txtSzukaj->clear();
        return true;
    }
    if (!onItems || selectedRow() < 0)
        return false;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        runCommand([this] { ListPrzedmiotyDblClick(); });
        return true;
    }
    if (key == Qt::Key_Delete) {
        runCommand([this] { Usuzaznaczonpozycje1Click(); });
        return true;
    }
    return false;
}

void TfrmGlowny::refreshAfterItemCommand()
{
    const QString itemFile = CatalogueFiles::itemFile(DataDirectory::path(), panelText(0), panelText(1));
    const int count = ProfileFile(itemFile).ReadNumber(QStringLiteral("config"), QStringLiteral("liczba_pozycji"), 0);
    // The count panel follows the items the command added or deleted, as the list does.
    m_countText = QString::number(count);
    refreshItemList(itemFile, m_countText);
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
    // The edited item stays selected, unless the change took it out of the filter's rows.
    if (m_itemList->viewRow(row) >= 0)
        selectItemNumber(row);
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
