#include "Dodaj_podkategorie.h"

#include "CategoryStore.h"
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
    const QString notAdded = QStringLiteral("Podkategoria nie została dodana.");
    // Without a chosen category the subcategory would land in a list named after "Kategoria".
    if (!txtNazwa->text().isEmpty() && !frmGlowny->hasChosenCategory()) {
        Dialogs::information(this, QStringLiteral("Najpierw wybierz kategorię w oknie głównym."));
        return;
    }
    // The category chosen in the main window, which must still be on the list: one deleted or
    // renamed meanwhile would get a subcategory list that no category owns.
    const QString dir = DataDirectory::path();
    const QString category = frmGlowny->panelText(0);
    const auto catalogue = CategoryStore::catalogueNames(dir);
    qsizetype index = 0;
    while (index < catalogue.size() && catalogue[index].name != category)
        ++index;
    const auto name = acceptedName(
        QStringLiteral("Najpierw podaj nazwę podkategorii"),
        [&](const QString &name) {
            if (index == catalogue.size())
                return QStringLiteral("Kategorii \"%1\" nie ma już na liście: została usunięta albo przemianowana. "
                                      "Wybierz kategorię ponownie w oknie głównym.")
                    .arg(category);
            return CatalogueFiles::clashProblem(catalogue,
                                                {int(index), int(catalogue[index].subcategories.size()), name});
        },
        notAdded);
    if (!name)
        return;
    ProfileFile subcategories(CatalogueFiles::subcategoryList(dir, category));
    KeyedList::subcategories.append(subcategories, *name);
    txtNazwa->clear();
    txtNazwa->setFocus();
}
