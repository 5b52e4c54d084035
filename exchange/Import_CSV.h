#pragma once

#include "CsvImport.h"
#include "app/FormStyle.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableView;
class CsvPreviewModel;

// Items of a CSV file appended to the main window's subcategory: the reading of the file is
// chosen and a target given to each column while a preview shows what will be read.
class TfrmImport_CSV : public Form
{
public:
    explicit TfrmImport_CSV(QWidget *parent = nullptr);

    QLabel *lblPlik;
    QComboBox *cmbKodowanie;
    QComboBox *cmbSeparator;
    QCheckBox *chkNaglowki;
    QWidget *panelCele;
    QTableView *gridPodglad;
    QPushButton *btnImportuj;
    QPushButton *btnAnuluj;

    // The file to import into the subcategory; the choices start from what its bytes suggest.
    void setSource(const CsvImport::Source &source, const ItemStore::Place &place);
    // The target combo above column `column`.
    QComboBox *targetBox(int column) const;
    // How many items the last import added; 0 until one is done.
    int added() const { return m_added; }

    void btnImportujClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    CsvImport::Options options() const;
    // Reads the file again as the choices say and gives each column a combo, preset.
    void redraw();
    // Sets each target over its column as the preview has scrolled and sized them.
    void placeTargets();

    CsvImport::Source m_source;
    ItemStore::Place m_place;
    QStringList m_fieldNames;
    CsvPreviewModel *m_model;
    QLabel *m_targetsLabel;
    QWidget *m_targetArea; // clips the targets of columns scrolled out of the preview's sight
    QList<QComboBox *> m_targets;
    int m_added = 0;
};

extern TfrmImport_CSV *frmImport_CSV;
