#pragma once

#include "ItemForm.h"

// Changes one item in place and adds photos to it. It keeps working on the item it was opened
// for, whatever the main window's selection does while it is open beside it; when that item has
// changed or gone meanwhile (a delete moves the last item into its number), it refuses.
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

    // Whether the item still holds what the window was filled with; if not, tells the user so
    // and that `nothingDone`.
    bool itemUnchanged(QWidget *parent, const QString &nothingDone) const;
    // The photo list window changed the item's photos: what it holds now is what is kept.
    void photosChanged();

private:
    // What the item held when the window was filled or last wrote it: its stored values and its photos.
    struct Held
    {
        ItemValues values;
        QStringList photos;
    };

    ItemStore::Place m_place;
    int m_item = -1;
    Held m_held;
};

extern TfrmEdytuj_pozycje *frmEdytuj_pozycje;
