#pragma once

#include "ItemForm.h"

// Changes one item in place and adds photos to it. It keeps working on the item it was opened
// for, whatever the main window's selection does while it is open beside it.
class TfrmEdytuj_pozycje : public ItemForm
{
public:
    explicit TfrmEdytuj_pozycje(QWidget *parent = nullptr);

    QGroupBox *GroupBox3;
    QLineEdit *Edit11;
    QPushButton *btnPrzegladaj;
    QPushButton *btnDodaj;
    QPushButton *btnUsun;

    const ItemStore::Place &place() const { return m_place; }
    int item() const { return m_item; }

    void FormShow() override;
    void btnZapiszClick();
    void btnPrzegladajClick();
    void btnDodajClick();
    void btnUsunClick();

private:
    ItemStore::Place m_place;
    int m_item = -1;
};

extern TfrmEdytuj_pozycje *frmEdytuj_pozycje;
