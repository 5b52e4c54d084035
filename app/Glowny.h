#pragma once

#include <QMainWindow>

class QAction;
class QDialog;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QTreeWidget;
class StartupCheck;

// The main window: the hub from which every command starts, and the state the other windows read
// (status panels 0 and 1 name the category and subcategory, lblpozycja the item).
class TfrmGlowny : public QMainWindow
{
public:
    TfrmGlowny();

    QTreeWidget *ListKategorie;
    QTreeWidget *ListPodkategorie;
    QTreeWidget *ListPrzedmioty;
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
    void Import1Click();
    void Zamknijprogram1Click();
    void Konfiguracja1Click();
    void Aktualizacja1Click();
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
    void buildStatusBar();
    void buildMenus();
    void buildPopUps();
    // Asks for the data directory while none is set; answers the path read before asking.
    QString dataDirectoryOrAsk();
    // The index of the selected row of the item list, or -1.
    int selectedRow() const;
    void fillCategories(const QString &dir);
    void fillSubcategories(const QString &dir, const QString &category);
    // The activation refresh, run once the events queued now are handled.
    void queueActivationRefresh();
    // The same, keeping a category chosen after `choicesBefore` choices.
    void queueActivationRefresh(int choicesBefore);
    void restoreLastChoice();

    QWidget *m_leftColumn = nullptr;
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
