#include "Frmedytor_kategorii.h"

#include "CategoryStore.h"
#include "Dodaj_kategorie.h"
#include "Dodaj_podkategorie.h"
#include "Edytuj_kategorie.h"
#include "app/Command.h"
#include "app/Dialogs.h"
#include "app/Glowny.h"
#include "store/CatalogueFiles.h"
#include "store/DataDirectory.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

TfrmKategorie *frmKategorie = nullptr;

namespace {

const QString config = QStringLiteral("config");

QPushButton *button(QWidget *parent, const char *caption, const char *objectName, const char *hint)
{
    auto *result = new QPushButton(QString::fromUtf8(caption), parent);
    result->setObjectName(QLatin1String(objectName));
    result->setToolTip(QString::fromUtf8(hint));
    result->setAutoDefault(false);
    return result;
}

QListWidget *list(QWidget *parent, const char *objectName, const char *hint, const char *accessibleName)
{
    auto *result = new QListWidget(parent);
    result->setObjectName(QLatin1String(objectName));
    result->setToolTip(QString::fromUtf8(hint));
    result->setAccessibleName(QString::fromUtf8(accessibleName));
    result->setSelectionMode(QAbstractItemView::SingleSelection);
    return result;
}

QGroupBox *group(QWidget *parent, const QString &caption, QListWidget *list, const QList<QPushButton *> &buttons)
{
    auto *box = new QGroupBox(caption, parent);
    auto *grid = new QGridLayout(box);
    grid->addWidget(list, 0, 0, int(buttons.size()) + 1, 1);
    for (int i = 0; i < buttons.size(); ++i)
        grid->addWidget(buttons[i], i, 1);
    grid->setRowStretch(int(buttons.size()), 1);
    list->setParent(box);
    for (QPushButton *button : buttons)
        button->setParent(box);
    return box;
}

// The chosen row, or -1: the current row counts only while it is selected.
int chosenRow(const QListWidget *list)
{
    return list->currentItem() && list->currentItem()->isSelected() ? list->currentRow() : -1;
}

// Moves the chosen row by `step`, keeping it chosen; answers its new row, or -1 when nothing moved.
int moveChosenRow(QListWidget *list, int step)
{
    const int row = chosenRow(list);
    const int target = row + step;
    if (row < 0 || target < 0 || target >= list->count())
        return -1;
    const QSignalBlocker blocker(list);
    list->insertItem(target, list->takeItem(row));
    list->setCurrentRow(target);
    return target;
}

QStringList rows(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

} // namespace

TfrmKategorie::TfrmKategorie(QWidget *parent)
    : Form(parent, "frmKategorie", QStringLiteral("Gromadnik - Edytor kategorii i podkategorii"),
           Frame::FixedMinimizable)
{
    ListBox1 = list(this, "ListBox1", "Pokazuje dostępne kategorie", "Kategorie");
    btnDodaj = button(this, "Dodaj nową kategorie", "btnDodaj", "Dodaje nową kategorie");
    btnEdytuj = button(this, "Edytuj  nazwę kategorii", "btnEdytuj", "Pozwala zmienić nazwę zaznaczonej kategorii");
    btnUsun = button(this, "Usuń kategorie", "btnUsun", "Usuwa zaznaczoną kategorie");
    btnKategoria_dogory =
        button(this, "Przesuń w górę", "btnKategoria_dogory", "Przesuwa zaznaczoną kategorie o jedną pozycje do góry");
    btnKategoria_wdol =
        button(this, "Przesuń w dół", "btnKategoria_wdol", "Przesuwa zaznaczoną kategorie o jedną pozycje w dół");
    ListBox2 = list(this, "ListBox2", "Pokazuje wszystkie podkategorie dla zaznaczonej kategorii", "Podkategorie");
    btnDodaj_podkategorie = button(this, "Dodaj nową podkategorie", "btnDodaj_podkategorie",
                                   "Dodaje nową podkategorie dla zaznaczonej kategorii");
    btnEdytuj_podkategorie =
        button(this, "Edytuj nazwę podkategorii", "btnEdytuj_podkategorie", "Edytuje zaznaczoną podkategorie");
    btnUsun_podkategorie = button(this, "Usuń podkategorie", "btnUsun_podkategorie", "Usuwa zaznaczoną podkategorie");
    btnPodkategoria_dogory = button(this, "Przesuń w górę", "btnPodkategoria_dogory",
                                    "Przesuwa zaznaczoną podkategorie o jedną pozycje do góry");
    btnPodkategoria_wdol =
        button(this, "Przesuń w dół", "btnPodkategoria_wdol", "Przesuwa zaznaczoną podkategorie o jedną pozycje w dół");
    btnZamknij = button(this, "Zamknij", "btnZamknij", "Zamyka to okno");

    auto *pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("PageControl1"));
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet1"));
    auto *pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(group(page, QStringLiteral("Dostępne kategorie:"), ListBox1,
                                {btnDodaj, btnEdytuj, btnUsun, btnKategoria_dogory, btnKategoria_wdol}));
    pageLayout->addWidget(group(page, QStringLiteral("Dla wybranej kategorii dostępne są następujące podkategorie: "),
                                ListBox2,
                                {btnDodaj_podkategorie, btnEdytuj_podkategorie, btnUsun_podkategorie,
                                 btnPodkategoria_dogory, btnPodkategoria_wdol}));
    pageLayout->addWidget(btnZamknij, 0, Qt::AlignRight);
    pages->addTab(page, QStringLiteral("Aktualne kategorie/podkategorie"));
    (new QVBoxLayout(this))->addWidget(pages);
    setFixedSize(sizeHint().expandedTo(QSize(427, 513)));
    setSubcategoryButtons(false);
    ListBox2->setEnabled(false);
    btnDodaj_podkategorie->setEnabled(false);

    connect(ListBox1, &QListWidget::itemSelectionChanged, this, [this] { runCommand([this] { ListBox1Click(); }); });
    connect(ListBox2, &QListWidget::itemSelectionChanged, this, [this] { runCommand([this] { ListBox2Click(); }); });
    connect(btnDodaj, &QPushButton::clicked, this, [this] { showBeside(frmDodaj_kategorie); });
    connect(btnDodaj_podkategorie, &QPushButton::clicked, this, [this] { showBeside(frmDodaj_podkategorie); });
    connect(btnEdytuj, &QPushButton::clicked, this, [this] { showBeside(frmEdytuj_kategorie); });
    connect(btnEdytuj_podkategorie, &QPushButton::clicked, this, [this] { showBeside(frmEdytuj_podkategorie); });
    connectCommand(btnUsun, &QPushButton::clicked, this, &TfrmKategorie::btnUsunClick);
    connectCommand(btnUsun_podkategorie, &QPushButton::clicked, this, &TfrmKategorie::btnUsun_podkategorieClick);
    connect(btnKategoria_dogory, &QPushButton::clicked, this, [this] { runCommand([this] { moveCategory(-1); }); });
    connect(btnKategoria_wdol, &QPushButton::clicked, this, [this] { runCommand([this] { moveCategory(1); }); });
    connect(btnPodkategoria_dogory, &QPushButton::clicked, this,
            [this] { runCommand([this] { moveSubcategory(-1); }); });
    connect(btnPodkategoria_wdol, &QPushButton::clicked, this, [this] { runCommand([this] { moveSubcategory(1); }); });
    connect(btnZamknij, &QPushButton::clicked, this, &QDialog::close);
    // Every way out (the button, the close box, Esc) ends in finished().
    connect(this, &QDialog::finished, this, [this] { runCommand([this] { FormClose(); }); });
}

void TfrmKategorie::followNameWindows()
{
    for (QDialog *window : std::initializer_list<QDialog *>{frmDodaj_kategorie, frmDodaj_podkategorie,
                                                            frmEdytuj_kategorie, frmEdytuj_podkategorie})
        connect(window, &QDialog::finished, this, [this] {
            if (isVisible())
                runCommand([this] { FormActivate(); });
        });
}

void TfrmKategorie::showBeside(QDialog *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

void TfrmKategorie::showEvent(QShowEvent *event)
{
    Form::showEvent(event);
    runCommand([this] { FormActivate(); });
}

void TfrmKategorie::changeEvent(QEvent *event)
{
    Form::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_activationPending) {
        m_activationPending = true;
        QTimer::singleShot(0, this, [this, choices = m_choices] {
            m_activationPending = false;
            // The lists were read at showing and after every add or rename window: a row the user
            // chose meanwhile, often with the very click that activated the editor, stays chosen.
            if (m_choices == choices)
                runCommand([this] { FormActivate(); });
        });
    }
}

void TfrmKategorie::setCategoryButtons(bool enabled)
{
    for (QWidget *control :
         std::initializer_list<QWidget *>{ListBox1, btnKategoria_wdol, btnKategoria_dogory, btnUsun, btnEdytuj})
        control->setEnabled(enabled);
}

void TfrmKategorie::setSubcategoryButtons(bool enabled)
{
    for (QWidget *control : std::initializer_list<QWidget *>{btnPodkategoria_wdol, btnPodkategoria_dogory,
                                                             btnUsun_podkategorie, btnEdytuj_podkategorie})
        control->setEnabled(enabled);
}

std::optional<TfrmKategorie::Choice> TfrmKategorie::chosenCategory() const
{
    const int row = chosenRow(ListBox1);
    if (row < 0)
        return std::nullopt;
    return Choice{row, ListBox1->item(row)->text(), {}};
}

std::optional<TfrmKategorie::Choice> TfrmKategorie::chosenSubcategory() const
{
    const int row = chosenRow(ListBox2);
    if (row < 0)
        return std::nullopt;
    return Choice{row, ListBox2->item(row)->text(), m_category};
}

void TfrmKategorie::FormActivate()
{
    const QStringList names =
        KeyedList::categories.read(ProfileFile(CatalogueFiles::categoryList(DataDirectory::path())));
    const QSignalBlocker blockCategories(ListBox1);
    const QSignalBlocker blockSubcategories(ListBox2);
    ListBox1->clear();
    ListBox2->clear();
    ListBox1->addItems(names);
    setCategoryButtons(!names.isEmpty());
    btnDodaj->setEnabled(true);
    setSubcategoryButtons(false);
    ListBox2->setEnabled(false);
    btnDodaj_podkategorie->setEnabled(false);
}

void TfrmKategorie::ListBox1Click()
{
    ++m_choices;
    const QSignalBlocker blocker(ListBox2);
    ListBox2->clear();
    setSubcategoryButtons(false);
    const int row = chosenRow(ListBox1);
    if (row < 0) {
        btnDodaj_podkategorie->setEnabled(false);
        return;
    }
    const QString dir = DataDirectory::path();
    m_category = ListBox1->item(row)->text();
    ProfileFile(CatalogueFiles::categoryList(dir)).Edit([&](ProfileEdit &edit) {
        edit.WriteText(config, QStringLiteral("aktywna"), m_category);
        edit.WriteNumber(config, QStringLiteral("aktywna_id"), row);
    });
    const QStringList subcategories =
        KeyedList::subcategories.read(ProfileFile(CatalogueFiles::subcategoryList(dir, m_category)));
    ListBox2->addItems(subcategories);
    ListBox2->setEnabled(!subcategories.isEmpty());
    btnDodaj_podkategorie->setEnabled(true);
}

void TfrmKategorie::ListBox2Click()
{
    ++m_choices;
    const int row = chosenRow(ListBox2);
    if (row < 0)
        return;
    setSubcategoryButtons(true);
    ProfileFile(CatalogueFiles::subcategoryList(DataDirectory::path(), m_category)).Edit([&](ProfileEdit &edit) {
        edit.WriteText(config, QStringLiteral("aktywna"), ListBox2->item(row)->text());
        edit.WriteNumber(config, QStringLiteral("aktywna_id"), row);
    });
}

void TfrmKategorie::btnUsunClick()
{
    if (Dialogs::question(this, QStringLiteral("Czy chcesz usunąć wybraną kategorie ?"),
                          QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    const QString dir = DataDirectory::path();
    const int row = chosenRow(ListBox1);
    if (row < 0) {
        CategoryStore::writeCategories(dir, rows(ListBox1));
        return;
    }
    QStringList remaining = rows(ListBox1);
    const QString name = remaining.takeAt(row);
    CategoryStore::deleteCategory(dir, remaining, name);
    const QSignalBlocker blocker(ListBox1);
    delete ListBox1->takeItem(row);
    // Its subcategories are gone with it: nothing on the right may act on them any more.
    const QSignalBlocker subBlocker(ListBox2);
    ListBox2->clear();
    ListBox2->setEnabled(false);
    setSubcategoryButtons(false);
    btnDodaj_podkategorie->setEnabled(false);
}

void TfrmKategorie::btnUsun_podkategorieClick()
{
    if (Dialogs::question(this, QStringLiteral("Czy chcesz usunąć wybraną podkategorie ?"),
                          QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    const QString dir = DataDirectory::path();
    const int row = chosenRow(ListBox2);
    if (row < 0) {
        CategoryStore::writeSubcategories(dir, m_category, rows(ListBox2));
        return;
    }
    QStringList remaining = rows(ListBox2);
    const QString name = remaining.takeAt(row);
    CategoryStore::deleteSubcategory(dir, m_category, remaining, name);
    const QSignalBlocker blocker(ListBox2);
    delete ListBox2->takeItem(row);
}

// A move is written at once, with the chosen row's new number, so the stored row numbers and the
// file order always agree for the rename windows.
void TfrmKategorie::moveCategory(int step)
{
    const int target = moveChosenRow(ListBox1, step);
    if (target < 0)
        return;
    const QString dir = DataDirectory::path();
    m_category = ListBox1->item(target)->text();
    CategoryStore::writeCategories(dir, rows(ListBox1));
    ProfileFile(CatalogueFiles::categoryList(dir)).WriteNumber(config, QStringLiteral("aktywna_id"), target);
}

void TfrmKategorie::moveSubcategory(int step)
{
    const int target = moveChosenRow(ListBox2, step);
    if (target < 0)
        return;
    const QString dir = DataDirectory::path();
    CategoryStore::writeSubcategories(dir, m_category, rows(ListBox2));
    ProfileFile(CatalogueFiles::subcategoryList(dir, m_category))
        .WriteNumber(config, QStringLiteral("aktywna_id"), target);
}

void TfrmKategorie::FormClose()
{
    // The add and rename windows work on what the editor shows: they close with it.
    for (QDialog *window : std::initializer_list<QDialog *>{frmDodaj_kategorie, frmDodaj_podkategorie,
                                                            frmEdytuj_kategorie, frmEdytuj_podkategorie})
        window->close();
    ProfileFile categories(CatalogueFiles::categoryList(DataDirectory::path()));
    categories.DropKey(config, QStringLiteral("aktywna_id"));
    categories.DropKey(config, QStringLiteral("aktywna"));
    frmGlowny->FormActivate();
}
