#pragma once

#include "ItemForm.h"

// Enters new items into the subcategory chosen in the main window, one after another.
class TfrmDodaj_pozycje : public ItemForm
{
public:
    explicit TfrmDodaj_pozycje(QWidget *parent = nullptr);

    void FormShow();
    void btnZapiszClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void clearForm();
};

extern TfrmDodaj_pozycje *frmDodaj_pozycje;
