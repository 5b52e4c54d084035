#include "Pozycje_dodaj.h"

#include "app/Command.h"
#include "app/Dialogs.h"
#include "viewer/Dodaj_zdjecie.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

TfrmDodaj_pozycje *frmDodaj_pozycje = nullptr;

TfrmDodaj_pozycje::TfrmDodaj_pozycje(QWidget *parent)
    : ItemForm(parent, "frmDodaj_pozycje", QStringLiteral("Gromadnik - Dodaj pozycje"))
{
    addButtons();
    setTabOrder(Memo2, btnZapisz);
    setTabOrder(btnZapisz, btnZamknij);
    clearForm();
    connectCommand(btnZapisz, &QPushButton::clicked, this, &TfrmDodaj_pozycje::btnZapiszClick);
}

void TfrmDodaj_pozycje::clearForm()
{
    for (QLineEdit *box : std::as_const(Edits))
        box->clear();
    Memo1->setPlainText(QStringLiteral("Opis..."));
    Memo2->setPlainText(QStringLiteral("Komentarz..."));
}

void TfrmDodaj_pozycje::FormShow()
{
    showFieldNames(currentPlace());
    Edits[0]->setFocus(); // without a name for field 1 the focus stays where Qt puts it
}

void TfrmDodaj_pozycje::btnZapiszClick()
{
    ItemStore::checkStorable(values(), fieldNames()); // refused by the field's own name
    ItemStore::add(currentPlace(), values());
    clearForm();
    const auto answer = Dialogs::question(
        this, QStringLiteral("Wprowadzone dane zostały zapisane pomyślnie.\nCzy chcesz dodać teraz zdjęcia ?"),
        QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes)
        frmDodaj_zdjecie->exec();
}
