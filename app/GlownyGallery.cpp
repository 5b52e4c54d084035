// The main window's item column: the filter box over the item list, or over its gallery.
#include "Glowny.h"

#include "ItemGallery.h"
#include "ItemListView.h"
#include "items/ItemListModel.h"
#include "items/ItemListProxy.h"
#include "items/ItemStore.h"
#include "settings/ViewState.h"
#include "store/DataDirectory.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

QWidget *TfrmGlowny::buildItemColumn(QWidget *parent)
{
    auto *column = new QWidget(parent);
    txtSzukaj = new QLineEdit(column);
    txtSzukaj->setObjectName(QStringLiteral("txtSzukaj"));
    txtSzukaj->setPlaceholderText(QStringLiteral("Szukaj w podkategorii…"));
    txtSzukaj->setAccessibleName(QStringLiteral("Szukaj w podkategorii"));
    txtSzukaj->setClearButtonEnabled(true);
    txtSzukaj->installEventFilter(this);

    Galeria1 = new QAction(QStringLiteral("Galeria"), this);
    Galeria1->setObjectName(QStringLiteral("Galeria1"));
    Galeria1->setCheckable(true);
    Galeria1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    Galeria1->setToolTip(QStringLiteral("Przedmioty jako galeria zdjęć (Ctrl+G)"));
    btnGaleria = new QToolButton(column);
    btnGaleria->setObjectName(QStringLiteral("btnGaleria"));
    btnGaleria->setDefaultAction(Galeria1);
    btnGaleria->setFocusPolicy(Qt::TabFocus);

    m_items = new ItemListModel(this);
    m_itemList = new ItemListProxy(m_items, this);
    ListPrzedmioty = ItemListView::make(column);
    ListPrzedmioty->installEventFilter(this);
    ListPrzedmioty->setModel(m_itemList);
    GaleriaPrzedmiotow = new ItemGallery(
        [this](int item) {
            return ItemStore::photos({DataDirectory::path(), panelText(0), panelText(1)}, item).value(0);
        },
        column);
    GaleriaPrzedmiotow->showItems(m_itemList, ListPrzedmioty->selectionModel());
    GaleriaPrzedmiotow->installEventFilter(this);
    connect(m_items, &QAbstractItemModel::modelReset, GaleriaPrzedmiotow, &ItemGallery::forgetPhotos);
    m_itemViews = new QStackedWidget(column);
    m_itemViews->addWidget(ListPrzedmioty);
    m_itemViews->addWidget(GaleriaPrzedmiotow);
    connect(Galeria1, &QAction::toggled, this, &TfrmGlowny::Galeria1Click);

    auto *top = new QHBoxLayout;
    top->setSpacing(2);
    top->addWidget(txtSzukaj, 1);
    top->addWidget(btnGaleria);
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(top);
    layout->addWidget(m_itemViews, 1);
    return column;
}

QAbstractItemView *TfrmGlowny::shownItems() const
{
    return m_itemViews->currentIndex() == 1 ? static_cast<QAbstractItemView *>(GaleriaPrzedmiotow) : ListPrzedmioty;
}

void TfrmGlowny::scrollItemsTo(const QModelIndex &row)
{
    if (shownItems() == GaleriaPrzedmiotow)
        GaleriaPrzedmiotow->scrollToRow(row.row());
    else
        ListPrzedmioty->scrollTo(row);
}

void TfrmGlowny::Galeria1Click(bool on)
{
    const bool hadFocus = shownItems()->hasFocus();
    m_itemViews->setCurrentIndex(on ? 1 : 0);
    if (const QModelIndex current = ListPrzedmioty->currentIndex(); current.isValid())
        scrollItemsTo(current);
    if (hadFocus || isActiveWindow())
        shownItems()->setFocus();
    ViewState::setGallery(on);
}
