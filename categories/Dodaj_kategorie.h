#pragma once

#include "AddNameForm.h"

// Adds categories to the end of the category list, one after another.
class TfrmDodaj_kategorie : public AddNameForm
{
public:
    explicit TfrmDodaj_kategorie(QWidget *parent = nullptr);

    QPushButton *btnDodaj = btnAction;

    void btnDodajClick();
    void actionClick() override { btnDodajClick(); }
};

extern TfrmDodaj_kategorie *frmDodaj_kategorie;
