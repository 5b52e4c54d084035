#include "Dodaj_kategorie.h"

#include "CategoryStore.h"
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
    const QString dir = DataDirectory::path();
    const auto name = acceptedName(
        QStringLiteral("Najpierw podaj nazwę kategorii."),
        [&](const QString &name) {
            const auto catalogue = CategoryStore::catalogueNames(dir);
            return CatalogueFiles::clashProblem(catalogue, {int(catalogue.size()), -1, name});
        },
        QStringLiteral("Kategoria nie została dodana."));
    if (!name)
        return;
    ProfileFile categories(CatalogueFiles::categoryList(dir));
    KeyedList::categories.append(categories, *name);
    txtNazwa->clear();
    Dialogs::information(this, QStringLiteral("Kategoria została dodana"));
    txtNazwa->setFocus();
}
