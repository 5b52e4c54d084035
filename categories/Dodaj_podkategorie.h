#pragma once

#include "AddNameForm.h"

// Adds subcategories to the end of the list of the category chosen in the main window.
class TfrmDodaj_podkategorie : public AddNameForm
{
public:
    explicit TfrmDodaj_podkategorie(QWidget *parent = nullptr);

    QPushButton *btnDodaj = btnAction;

    void btnDodajClick();
    void actionClick() override { btnDodajClick(); }
};

extern TfrmDodaj_podkategorie *frmDodaj_podkategorie;
