#include "Dodaj_kategorie.h"

#include "app/Dialogs.h"
#include "store/CatalogueFiles.h"
#include "store/DataDirectory.h"

#include <QLineEdit>

TfrmDodaj_kategorie *frmDodaj_kategorie = nullptr;

TfrmDodaj_kategorie::TfrmDodaj_kategorie(QWidget *parent)
    : AddNameForm(parent, "frmDodaj_kategorie", QStringLiteral("Dodaj kategorie"),
                  QStringLiteral("Podaj nazwę kategorii:"), QSize(203, 128))
{}

void TfrmDodaj_kategorie::btnDodajClick()
{
    const auto name = acceptedName(QStringLiteral("Najpierw podaj nazwę kategorii."));
    if (!name)
        return;
    ProfileFile categories(CatalogueFiles::categoryList(DataDirectory::path()));
    KeyedList::categories.append(categories, *name);
    txtNazwa->clear();
    Dialogs::information(this, QStringLiteral("Kategoria została dodana"));
    txtNazwa->setFocus();
}
