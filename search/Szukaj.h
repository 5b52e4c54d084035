#pragma once

#include <QDialog>

class CatalogueSearch;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QTreeView;
class SearchResults;
struct SearchHit;

// The search through the whole catalogue, shown beside the main window, which stays usable.
// Searching starts as the user types; a chosen hit leads the main window to its item.
class TfrmSzukaj : public QDialog
{
public:
    explicit TfrmSzukaj(QWidget *parent);

    QLineEdit *txtSzukaj;
    QComboBox *cmbGdzie; // all fields, description and comment, then every field name
    QTreeView *lstWyniki;
    QLabel *lblStan;
    QPushButton *btnRaport;
    QPushButton *btnZamknij;

    // Shows the window, or brings it forward, with the text box ready for new text.
    void showSearch();
    void runSearch();
    void lstWynikiActivate(int row);
    // The report of the results shown.
    void btnRaportClick();
    const SearchResults &results() const { return *m_results; }
    bool isSearching() const;

private:
    void fillFieldNames(const QStringList &names);
    void hitsFound(const QList<SearchHit> &hits);
    void searchFinished(int total);

    CatalogueSearch *m_search;
    SearchResults *m_results;
    QTimer *m_typing;
    bool m_placed = false;
};

extern TfrmSzukaj *frmSzukaj;
