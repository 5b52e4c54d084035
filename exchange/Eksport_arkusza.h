#pragma once

#include "app/FormStyle.h"
#include "exchange/SpreadsheetExport.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

// The catalogue, one of its categories or the subcategory shown in the main window, written as a
// CSV file or an Excel workbook for a spreadsheet.
class TfrmEksport_arkusza : public Form
{
public:
    explicit TfrmEksport_arkusza(QWidget *parent = nullptr);

    QGroupBox *GroupBoxZakres;
    QRadioButton *radioPodkategoria;
    QRadioButton *radioKategoria;
    QRadioButton *radioKatalog;
    QGroupBox *GroupBoxFormat;
    QRadioButton *radioCSV;
    QRadioButton *radioXLSX;
    QComboBox *comboKodowanie;
    QComboBox *comboSeparator;
    QPushButton *btnEksportuj;
    QPushButton *btnAnuluj;

    void FormShow() override;
    void radioFormatClick();
    void btnEksportujClick();
    void btnAnulujClick();

private:
    SpreadsheetExport::Selection chosenSelection() const;
    // The file to write, with its extension; the empty text when the user gives none.
    QString chooseFile(const SpreadsheetExport::Selection &selection, bool xlsx);

    QLabel *m_encodingLabel = nullptr;
    QLabel *m_separatorLabel = nullptr;
    QString m_category;
    QString m_subcategory;
    QString m_lastFolder;
};

extern TfrmEksport_arkusza *frmEksport_arkusza;
