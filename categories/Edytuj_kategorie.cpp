#include "Edytuj_kategorie.h"

#include "CategoryStore.h"
#include "app/Command.h"
#include "app/Dialogs.h"
#include "store/CatalogueFiles.h"
#include "store/DataDirectory.h"

#include <QLineEdit>

TfrmEdytuj_kategorie *frmEdytuj_kategorie = nullptr;
TfrmEdytuj_podkategorie *frmEdytuj_podkategorie = nullptr;

namespace {

const QString config = QStringLiteral("config");
const QString missing = QStringLiteral("\x01");

struct Chosen
{
    QStringList names;
    int index = -1;
    QString name;
};

// The entry the editor recorded as chosen, when its keys are there and still agree with the list:
// a rename then changes exactly that entry.
std::optional<Chosen> chosenEntry(const ProfileFile &file, const KeyedList &list)
{
    Chosen chosen;
    chosen.name = file.ReadText(config, QStringLiteral("aktywna"), missing);
    const QString row = file.ReadText(config, QStringLiteral("aktywna_id"), missing);
    chosen.names = list.read(file);
    chosen.index = parseNumber(row).value_or(-1);
    if (chosen.name == missing || chosen.index < 0 || chosen.names.value(chosen.index) != chosen.name)
        return std::nullopt;
    return chosen;
}

const QString staleChoice = QStringLiteral("Nie wiadomo, której pozycji zmienić nazwę: wybierz ją ponownie "
                                           "w edytorze kategorii.");

} // namespace

TfrmEdytuj_kategorie::TfrmEdytuj_kategorie(QWidget *parent)
    : AddNameForm(parent, "frmEdytuj_kategorie", QStringLiteral("Edytuj kategorie"),
                  QStringLiteral("Zmień nazwe kategorii"), QSize(197, 139), QStringLiteral("Zmień nazwe"), "btnEdytuj")
{}

void TfrmEdytuj_kategorie::FormShow()
{
    const ProfileFile file(CatalogueFiles::categoryList(DataDirectory::path()));
    const int row = file.ReadNumber(config, QStringLiteral("aktywna_id"), 0);
    txtNazwa->setText(file.ReadText(QStringLiteral("kategorie"), QString::number(row), QString()));
}

void TfrmEdytuj_kategorie::btnEdytujClick()
{
    const QString dir = DataDirectory::path();
    const auto chosen = chosenEntry(ProfileFile(CatalogueFiles::categoryList(dir)), KeyedList::categories);
    if (!chosen) {
        Dialogs::information(this, staleChoice);
        return;
    }
    const QString newName = txtNazwa->text();
    if (const QString problem = CategoryStore::renameProblem(dir, QString(), chosen->names, chosen->index, newName);
        !problem.isEmpty()) {
        Dialogs::information(this, problem);
        return;
    }
    CategoryStore::renameCategory(dir, chosen->index, chosen->name, newName);
    close();
}

TfrmEdytuj_podkategorie::TfrmEdytuj_podkategorie(QWidget *parent)
    : AddNameForm(parent, "frmEdytuj_podkategorie", QStringLiteral("Edytuj podkategorie"),
                  QStringLiteral("Zmień nazwe podkategorii"), QSize(197, 140), QStringLiteral("Zmień nazwe"),
                  "btnEdytuj")
{}

void TfrmEdytuj_podkategorie::FormShow()
{
    const QString dir = DataDirectory::path();
    m_category = ProfileFile(CatalogueFiles::categoryList(dir)).ReadText(config, QStringLiteral("aktywna"), QString());
    const ProfileFile list(CatalogueFiles::subcategoryList(dir, m_category));
    const QString row = list.ReadText(config, QStringLiteral("aktywna_id"), QString());
    txtNazwa->setText(list.ReadText(QStringLiteral("podkategorie"), row, QString()));
}

void TfrmEdytuj_podkategorie::btnEdytujClick()
{
    const QString dir = DataDirectory::path();
    // The editor must still be open on the category this window was opened for.
    const ProfileFile categories(CatalogueFiles::categoryList(dir));
    const auto chosen =
        chosenEntry(ProfileFile(CatalogueFiles::subcategoryList(dir, m_category)), KeyedList::subcategories);
    if (categories.ReadText(config, QStringLiteral("aktywna"), missing) != m_category || !chosen) {
        Dialogs::information(this, staleChoice);
        return;
    }
    const QString newName = txtNazwa->text();
    if (const QString problem = CategoryStore::renameProblem(dir, m_category, chosen->names, chosen->index, newName);
        !problem.isEmpty()) {
        Dialogs::information(this, problem);
        return;
    }
    CategoryStore::renameSubcategory(dir, m_category, chosen->index, chosen->name, newName);
    close();
}
