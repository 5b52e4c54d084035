#pragma once

#include "ItemForm.h"

// Enters new items into the subcategory chosen in the main window, one after another.
class TfrmDodaj_pozycje : public ItemForm
{
public:
    explicit TfrmDodaj_pozycje(QWidget *parent = nullptr);

    void FormShow() override;
    void btnZapiszClick();

private:
    void clearForm();
};

extern TfrmDodaj_pozycje *frmDodaj_pozycje;
