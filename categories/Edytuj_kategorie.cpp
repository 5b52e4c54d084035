#include "Edytuj_kategorie.h"

#include "CategoryStore.h"
#include "Frmedytor_kategorii.h"
#include "store/DataDirectory.h"

#include <QHideEvent>
#include <QLineEdit>

TfrmEdytuj_kategorie *frmEdytuj_kategorie = nullptr;
TfrmEdytuj_podkategorie *frmEdytuj_podkategorie = nullptr;

namespace {

const QString notRenamed = QStringLiteral("Nazwa nie została zmieniona.");

// Whether the list still holds the chosen entry in the chosen row.
bool stillThere(const QStringList &names, const TfrmKategorie::Choice &entry)
{
    return entry.row >= 0 && entry.row < names.size() && names[entry.row] == entry.name;
}

} // namespace

TfrmEdytuj_kategorie::TfrmEdytuj_kategorie(QWidget *parent)
    : AddNameForm(parent, "frmEdytuj_kategorie", QStringLiteral("Edytuj kategorie"),
                  QStringLiteral("Zmień nazwe kategorii"), QSize(197, 139), QStringLiteral("Zmień nazwe"), "btnEdytuj")
{}

// The entry to rename is the row chosen in the editor when the window opens, never the
// active-selection keys of the files, which may be left from an earlier run.
void TfrmEdytuj_kategorie::FormShow()
{
    m_entry = frmKategorie->chosenCategory();
    txtNazwa->setText(m_entry ? m_entry->name : QString());
}

void TfrmEdytuj_kategorie::hideEvent(QHideEvent *event)
{
    AddNameForm::hideEvent(event);
    if (!event->spontaneous()) // closed, not minimised with the main window
        m_entry.reset();
}

void TfrmEdytuj_kategorie::btnEdytujClick()
{
    if (!m_entry) {
        refuse(QStringLiteral("Najpierw wybierz w edytorze kategorii kategorię, której nazwę chcesz zmienić."),
               notRenamed);
        return;
    }
    const QString dir = DataDirectory::path();
    const auto catalogue = CategoryStore::catalogueNames(dir);
    QStringList names;
    for (const auto &category : catalogue)
        names.append(category.name);
    if (!stillThere(names, *m_entry)) {
        refuse(QStringLiteral("Kategoria \"%1\" została w międzyczasie przesunięta, przemianowana lub usunięta. "
                              "Zamknij to okno i wybierz ją ponownie w edytorze kategorii.")
                   .arg(m_entry->name),
               notRenamed);
        return;
    }
    const auto newName = acceptedName(
        QStringLiteral("Najpierw podaj nową nazwę kategorii."),
        [&](const QString &name) {
            return CategoryStore::renameProblem(dir, catalogue, {m_entry->row, -1, name});
        },
        notRenamed);
    if (!newName)
        return;
    CategoryStore::renameCategory(dir, m_entry->row, m_entry->name, *newName);
    close();
}

TfrmEdytuj_podkategorie::TfrmEdytuj_podkategorie(QWidget *parent)
    : AddNameForm(parent, "frmEdytuj_podkategorie", QStringLiteral("Edytuj podkategorie"),
                  QStringLiteral("Zmień nazwe podkategorii"), QSize(197, 140), QStringLiteral("Zmień nazwe"),
                  "btnEdytuj")
{}

void TfrmEdytuj_podkategorie::FormShow()
{
    m_entry = frmKategorie->chosenSubcategory();
    txtNazwa->setText(m_entry ? m_entry->name : QString());
}

void TfrmEdytuj_podkategorie::hideEvent(QHideEvent *event)
{
    AddNameForm::hideEvent(event);
    if (!event->spontaneous()) // closed, not minimised with the main window
        m_entry.reset();
}

void TfrmEdytuj_podkategorie::btnEdytujClick()
{
    if (!m_entry) {
        refuse(QStringLiteral("Najpierw wybierz w edytorze kategorii podkategorię, której nazwę chcesz zmienić."),
               notRenamed);
        return;
    }
    const QString dir = DataDirectory::path();
    const auto catalogue = CategoryStore::catalogueNames(dir);
    int category = 0;
    while (category < catalogue.size() && catalogue[category].name != m_entry->category)
        ++category;
    if (category == catalogue.size() || !stillThere(catalogue[category].subcategories, *m_entry)) {
        refuse(QStringLiteral("Podkategoria \"%1\" kategorii \"%2\" została w międzyczasie przesunięta, przemianowana "
                              "lub usunięta. Zamknij to okno i wybierz ją ponownie w edytorze kategorii.")
                   .arg(m_entry->name, m_entry->category),
               notRenamed);
        return;
    }
    const auto newName = acceptedName(
        QStringLiteral("Najpierw podaj nową nazwę podkategorii."),
        [&](const QString &name) {
            return CategoryStore::renameProblem(dir, catalogue, {category, m_entry->row, name});
        },
        notRenamed);
    if (!newName)
        return;
    CategoryStore::renameSubcategory(dir, m_entry->category, m_entry->row, m_entry->name, *newName);
    close();
}
