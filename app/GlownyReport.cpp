// The main window's report of the subcategory it shows.
#include "Glowny.h"

#include "Dialogs.h"
#include "exchange/Raport.h"
#include "items/ItemListProxy.h"
#include "store/DataDirectory.h"

#include <QTreeWidget>

void TfrmGlowny::Raport1Click()
{
    // Panel 1 keeps naming the last subcategory when another category is chosen; the list's own
    // choice tells whether the items shown are that subcategory's.
    const auto chosen = ListPodkategorie->selectedItems();
    const QString subcategory = chosen.isEmpty() ? QString() : chosen.first()->text(0);
    if (subcategory.isEmpty() || subcategory != panelText(1)) {
        Dialogs::information(this, QStringLiteral("Wybierz podkategorię, której raport ma powstać."));
        return;
    }
    // The rows in the order and with the filter the list shows them.
    QList<int> items;
    for (int row = 0; row < m_itemList->rowCount(); ++row)
        items.append(m_itemList->itemNumber(row));
    // Named with its category: subcategories of different categories are often named alike.
    const Report::Content content = Report::ofSubcategory(DataDirectory::path(), panelText(0), subcategory, items);
    frmRaport->setReport(content, content.title);
    showModal(frmRaport);
}
