#pragma once

#include "app/FormStyle.h"

class QLineEdit;
class QPushButton;

// Adds photos to the item entered last in the subcategory chosen in the main window.
class TfrmDodaj_zdjecie : public Form
{
public:
    explicit TfrmDodaj_zdjecie(QWidget *parent = nullptr);

    QLineEdit *txtImage;
    QPushButton *btnPrzegladaj;
    QPushButton *Button1;
    QPushButton *btnZamknij;

    void btnPrzegladajClick();
    void Button1Click();
};

extern TfrmDodaj_zdjecie *frmDodaj_zdjecie;

// Runs the picture-open dialog; a chosen file's full path goes into `box`, a cancel leaves it.
void choosePicture(QWidget *parent, QLineEdit *box);
