#pragma once

#include "FormStyle.h"

#include <QList>

class QLabel;
class QLineEdit;
class QPushButton;

// The names of the ten fields that describe the items of the subcategory chosen in the main window.
class TfrmPozycje : public Form
{
public:
    explicit TfrmPozycje(QWidget *parent = nullptr);

    QLabel *lblKategoria;
    QLabel *lblPodkategoria;
    QList<QLineEdit *> Edits; // Edit1 .. Edit10
    QPushButton *btnZapisz;
    QPushButton *btnZamknij;

    void FormShow() override;
    // Box `box` + 1 can be filled exactly while box `box` (1 .. 9) holds text.
    void EditChange(int box);
    void btnZapiszClick();

    // The colour a disabled box is drawn in: the system's scroll-bar grey.
    static QColor scrollBarColour();

private:
    QString itemFile() const;
};

extern TfrmPozycje *frmPozycje;
