#pragma once

#include "AddNameForm.h"
#include "Frmedytor_kategorii.h"

// Renames the category chosen in the category editor, carrying every file named after it.
class TfrmEdytuj_kategorie : public AddNameForm
{
public:
    explicit TfrmEdytuj_kategorie(QWidget *parent = nullptr);

    QPushButton *btnEdytuj = btnAction;

    void FormShow() override;
    void btnEdytujClick();
    void actionClick() override { btnEdytujClick(); }

protected:
    void hideEvent(QHideEvent *event) override;

private:
    std::optional<TfrmKategorie::Choice> m_entry; // the category shown at opening
};

// Renames the subcategory chosen in the category editor, carrying its item and photo list files.
class TfrmEdytuj_podkategorie : public AddNameForm
{
public:
    explicit TfrmEdytuj_podkategorie(QWidget *parent = nullptr);

    QPushButton *btnEdytuj = btnAction;

    void FormShow() override;
    void btnEdytujClick();
    void actionClick() override { btnEdytujClick(); }

protected:
    void hideEvent(QHideEvent *event) override;

private:
    std::optional<TfrmKategorie::Choice> m_entry; // the subcategory shown at opening, with its category
};

extern TfrmEdytuj_kategorie *frmEdytuj_kategorie;
extern TfrmEdytuj_podkategorie *frmEdytuj_podkategorie;
