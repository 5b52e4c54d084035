#include "Dodaj_podkategorie.h"

#include "app/Dialogs.h"
#include "app/Glowny.h"
#include "store/CatalogueFiles.h"
#include "store/DataDirectory.h"

#include <QLineEdit>

TfrmDodaj_podkategorie *frmDodaj_podkategorie = nullptr;

TfrmDodaj_podkategorie::TfrmDodaj_podkategorie(QWidget *parent)
    : AddNameForm(parent, "frmDodaj_podkategorie", QStringLiteral("Dodaj podkategorie"),
                  QStringLiteral("Podaj nazwę podkategorii:"), QSize(204, 132))
{}

void TfrmDodaj_podkategorie::btnDodajClick()
{
    const auto name = acceptedName(QStringLiteral("Najpierw podaj nazwę podkategorii"));
    if (!name)
        return;
    // Without a chosen category the subcategory would land in a list named after "Kategoria".
    if (!frmGlowny->hasChosenCategory()) {
        Dialogs::information(this, QStringLiteral("Najpierw wybierz kategorię w oknie głównym."));
        return;
    }
    const QString category = frmGlowny->panelText(0);
    ProfileFile subcategories(CatalogueFiles::subcategoryList(DataDirectory::path(), category));
    KeyedList::subcategories.append(subcategories, *name);
    txtNazwa->clear();
    txtNazwa->setFocus();
}
