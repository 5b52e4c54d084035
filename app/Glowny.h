#pragma once

#include "settings/ViewState.h"

#include <QMainWindow>

class QAbstractItemView;
class QModelIndex;
class QAction;
class QDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QStackedWidget;
class QToolButton;
class QTreeView;
class QTreeWidget;
class ItemGallery;
class ItemListModel;
class ItemListProxy;
class StartupCheck;

// The main window: the hub from which every command starts, and the state the other windows read
// (status panels 0 and 1 name the category and subcategory, lblpozycja the item).
class TfrmGlowny : public QMainWindow
{
public:
    TfrmGlowny();

    QTreeWidget *ListKategorie;
    QTreeWidget *ListPodkategorie;
    // Sorted and filtered; its rows map to item numbers through itemList().
    QTreeView *ListPrzedmioty;
    // The same rows as tiles of their first photos, sharing the list's selection; one of the two
    // is shown, as Galeria1 says.
    ItemGallery *GaleriaPrzedmiotow;
    QLineEdit *txtSzukaj;
    QAction *Galeria1;
    QToolButton *btnGaleria;
    QStatusBar *StatusBar1;
    QLabel *lblpozycja;
    QPlainTextEdit *Memo1;
    QPlainTextEdit *Memo2;
    QMenu *KategoriePopUp;
    QMenu *PodkategoriePopUp;
    QMenu *PrzedmiotyPopUp;
    QAction *Dodajnowpozycje1;

    // Status panels 0 .. 3.
    QString panelText(int panel) const;
    void setPanelText(int panel, const QString &text);
    // Whether panel 0 names a category the user chose, rather than its starting text.
    bool hasChosenCategory() const { return m_categoryChosen; }

    void FormShow();
    void FormActivate();
    void FormResize();
    void ListKategorieSelectItem();
    void ListPodkategorieSelectItem();
    // The item list refresh: columns and rows of ListPrzedmioty from an item file.
    void refreshItemList(const QString &itemFile, const QString &countText);
    // Rebuilds the item list after an item command; the count panel and "Dodaj nową pozycje" stay.
    void refreshAfterItemCommand();
    // The number in the item file of the item selected in the list, or -1.
    int selectedItemNumber() const;
    // Selects and shows the item with this number, clearing the filter when it hides the item;
    // false when the list has no such item.
    bool selectItemNumber(int itemNumber);
    ItemListProxy *itemList() const { return m_itemList; }
    void Przedmioty1Click();
    void Dodajnowpozycje1Click();
    void Edytujpozycje1Click();
    void Usuzaznaczonpozycje1Click();
    void ListPrzedmiotyDblClick();
    void Dodajnowkategorie1Click();
    void Dodajnowpodkategorie1Click();
    void Oprogramie1Click();
    void Edytorkategorii1Click();
    void Plikikonfiguracyjne1Click();
    void Eksportdanych1Click();
    void Eksportdoarkusza1Click();
    void Import1Click();
    void ImportCSV1Click();
    void Kopiezapasowe1Click();
    void Zamknijprogram1Click();
    void Konfiguracja1Click();
    void Aktualizacja1Click();
    void Szukaj1Click();
    void Brakujcezdjcia1Click();
    void Galeria1Click(bool on);
    void Kosz1Click();
    void Raport1Click();
    // Chooses the category, the subcategory and the item's row as the user would, then opens the
    // item in the viewer; stops where an entry is not listed.
    void goToItem(const QString &category, const QString &subcategory, int itemNumber);
    // Shows a window modally, then the activation refresh.
    void showModal(QDialog *window);
    // The start-up version check, which the activation refresh ends with.
    StartupCheck *startupCheck() const { return m_startupCheck; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLists();
    QWidget *buildItemColumn(QWidget *parent);
    // The item list or the gallery, whichever is on screen.
    QAbstractItemView *shownItems() const;
    // Brings a row of the item list into sight, in the list or in the gallery.
    void scrollItemsTo(const QModelIndex &row);
    void buildStatusBar();
    void buildMenus();
    void buildPopUps();
    // Asks for the data directory while none is set; answers the path read before asking.
    QString dataDirectoryOrAsk();
    // The item number of the selected row of the item list, or -1.
    int selectedRow() const;
    void txtSzukajChange();
    void ListPrzedmiotySort(int column, Qt::SortOrder order);
    void keepColumns() const;
    bool restoreColumns();
    void showItemCount();
    bool itemListKey(QObject *watched, int key);
    void fillCategories(const QString &dir);
    void fillSubcategories(const QString &dir, const QString &category);
    // The activation refresh, run once the events queued now are handled.
    void queueActivationRefresh();
    // The same, keeping a category chosen after `choicesBefore` choices.
    void queueActivationRefresh(int choicesBefore);
    void restoreLastChoice();

    QWidget *m_leftColumn = nullptr;
    QStackedWidget *m_itemViews = nullptr;
    ItemListModel *m_items = nullptr;
    ItemListProxy *m_itemList = nullptr;
    // Panel 2's count as the subcategory's file gives it; nothing before a subcategory is chosen.
    QString m_countText;
    bool m_countShown = false;
    QString m_itemFile; // the file the item list shows
    // The subcategory whose columns the item list shows, under which their widths, order and sort
    // are kept.
    ViewState::Choice m_columnsShown;
    QList<QLabel *> m_panels;
    StartupCheck *m_startupCheck = nullptr;
    bool m_activationPending = false;
    bool m_categoryChosen = false;
    int m_categoryChoices = 0; // categories chosen by the user so far
    int m_choicesAtDeactivation = 0;
    QString m_toldPathProblem;
    // The activation refresh runs again when the error display closes: a damaged category count
    // is told once, not in a loop.
    QString m_toldCategoryProblem;
    bool m_firstShow = true;
    bool m_choiceToRestore = true;
};

extern TfrmGlowny *frmGlowny;
