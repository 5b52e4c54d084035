// The main window's search command and the way from a hit to its item.
#include "Glowny.h"

#include "search/Szukaj.h"

#include <QLabel>
#include <QTreeWidget>

namespace {

// The entry of that text, made current without its selection handler; false when there is none.
bool selectEntry(QTreeWidget *list, const QString &text)
{
    const auto found = list->findItems(text, Qt::MatchExactly);
    if (found.isEmpty())
        return false;
    const QSignalBlocker blocker(list);
    list->setCurrentItem(found.first());
    return true;
}

} // namespace

void TfrmGlowny::Szukaj1Click()
{
    frmSzukaj->showSearch();
}

void TfrmGlowny::goToItem(const QString &category, const QString &subcategory, int itemNumber)
{
    // The handlers run whether or not the entry was current already: the lists below are listed
    // anew from the files, as the user's own choice would list them.
    if (!selectEntry(ListKategorie, category))
        return;
    ListKategorieSelectItem();
    if (!selectEntry(ListPodkategorie, subcategory))
        return;
    ListPodkategorieSelectItem();
    if (!selectItemNumber(itemNumber))
        return;
    raise();
    activateWindow();
    ListPrzedmiotyDblClick();
}
