#include "Glowny.h"

#include "Application.h"
#include "Command.h"
#include "Dialogs.h"
#include "FormStyle.h"
#include "Info.h"
#include "Pozycje.h"
#include "categories/Dodaj_kategorie.h"
#include "categories/Dodaj_podkategorie.h"
#include "categories/Frmedytor_kategorii.h"
#include "exchange/ExchangeDialogs.h"
#include "exchange/Export.h"
#include "exchange/Import.h"
#include "items/ItemStore.h"
#include "items/ItemTable.h"
#include "items/Pozycje_dodaj.h"
#include "items/Pozycje_edytuj.h"
#include "settings/Aktualizacja.h"
#include "settings/Konfiguracja.h"
#include "settings/StartupCheck.h"
#include "store/CatalogueFiles.h"
#include "store/Config_files.h"
#include "store/DataDirectory.h"
#include "store/Error.h"
#include "store/ProfileStore.h"
#include "viewer/Pokaz.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <utility>

TfrmGlowny *frmGlowny = nullptr;

namespace {

constexpr int leftColumnWidth = 184;

QTreeWidget *makeList(QWidget *parent, const char *objectName, const QString &accessibleName)
{
    auto *list = new QTreeWidget(parent);
    list->setObjectName(QLatin1String(objectName));
    list->setAccessibleName(accessibleName);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    return list;
}

// Refilling a list must not count as the user's choice of an entry.
void refill(QTreeWidget *list, const QStringList &entries)
{
    const QSignalBlocker blocker(list);
    list->clear();
    QList<QTreeWidgetItem *> items;
    items.reserve(entries.size());
    for (const QString &entry : entries)
        items.append(new QTreeWidgetItem(QStringList{entry}));
    list->addTopLevelItems(items);
}

// A list of places short enough for a message box.
QString firstLines(const QStringList &lines)
{
    constexpr qsizetype shown = 10;
    QString text = lines.mid(0, shown).join(QLatin1Char('\n'));
    if (lines.size() > shown)
        text += QStringLiteral("\n... i %1 innych").arg(lines.size() - shown);
    return text;
}

QString selectedText(const QTreeWidget *list)
{
    const auto selected = list->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text(0);
}

} // namespace

TfrmGlowny::TfrmGlowny()
{
    setObjectName(QStringLiteral("frmGlowny"));
    setWindowTitle(QStringLiteral("Gromadnik - Menu główne"));
    applyFormColour(this);
    buildLists();
    buildStatusBar();
    buildMenus();
    buildPopUps();
    m_startupCheck = new StartupCheck(this, Memo1);
    resize(700, 516);
}

void TfrmGlowny::buildLists()
{
    auto *central = new QWidget(this);
    m_leftColumn = new QWidget(central);
    m_leftColumn->setFixedWidth(leftColumnWidth);
    m_leftColumn->installEventFilter(this);
    ListKategorie = makeList(m_leftColumn, "ListKategorie", QStringLiteral("Kategorie"));
    ListKategorie->setHeaderLabels({QStringLiteral("Kategorie")});
    ListPodkategorie = makeList(m_leftColumn, "ListPodkategorie", QStringLiteral("Podkategorie"));
    ListPodkategorie->setHeaderLabels({QStringLiteral("Podkategorie")});
    ListPodkategorie->setColumnWidth(0, 176);
    ListPrzedmioty = makeList(central, "ListPrzedmioty", QStringLiteral("Przedmioty"));
    ListPrzedmioty->setColumnCount(0);
    ListPrzedmioty->header()->setStretchLastSection(false);
    ListPrzedmioty->header()->setMinimumSectionSize(20);

    lblpozycja = new QLabel(QStringLiteral("lblpozycja"), central);
    lblpozycja->setObjectName(QStringLiteral("lblpozycja"));
    lblpozycja->hide();
    Memo1 = new QPlainTextEdit(central);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->hide();
    Memo2 = new QPlainTextEdit(central);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->hide();

    auto *layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_leftColumn);
    layout->addWidget(ListPrzedmioty, 1);
    setCentralWidget(central);

    connect(ListKategorie, &QTreeWidget::itemSelectionChanged, this,
            [this] { runCommand([this] { ListKategorieSelectItem(); }); });
    connect(ListPodkategorie, &QTreeWidget::itemSelectionChanged, this,
            [this] { runCommand([this] { ListPodkategorieSelectItem(); }); });
    connect(ListPrzedmioty, &QTreeWidget::itemDoubleClicked, this,
            [this] { runCommand([this] { ListPrzedmiotyDblClick(); }); });
}

void TfrmGlowny::buildStatusBar()
{
    StatusBar1 = statusBar();
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    const struct
    {
        int width;
        const char *text;
        const char *description;
    } panels[] = {{130, "Kategoria", "Wybrana kategoria"},
                  {130, "Podkategoria", "Wybrana podkategoria"},
                  {150, "Liczba_pozycji", "Liczba pozycji w podkategorii"},
                  {50, "Gromadnik", "Wersja programu"}};
    for (const auto &panel : panels) {
        auto *label = new QLabel(QString::fromLatin1(panel.text), StatusBar1);
        label->setObjectName(QStringLiteral("Panel%1").arg(m_panels.size()));
        label->setAccessibleDescription(QString::fromUtf8(panel.description));
        label->setMinimumWidth(panel.width);
        m_panels.append(label);
    }
    for (int i = 0; i < 3; ++i) {
        m_panels[i]->setFixedWidth(m_panels[i]->minimumWidth());
        StatusBar1->addWidget(m_panels[i]);
    }
    m_panels[3]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    StatusBar1->addPermanentWidget(m_panels[3]);
}

QString TfrmGlowny::panelText(int panel) const
{
    return m_panels.at(panel)->text();
}

void TfrmGlowny::setPanelText(int panel, const QString &text)
{
    m_panels.at(panel)->setText(text);
}

void TfrmGlowny::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) {
        centreOnScreen(this);
        // Once the window is on screen: the handler may open a modal window over it.
        QTimer::singleShot(0, this, [this] { runCommand([this] { FormShow(); }); });
    }
}

// Closing the main window ends the program, whatever other window is open.
void TfrmGlowny::closeEvent(QCloseEvent *event)
{
    QMainWindow::closeEvent(event);
    Application::requestQuit();
}

void TfrmGlowny::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Run after the activation event, and after a pending show handler, since the refresh too may
    // open a modal window.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        queueActivationRefresh();
}

void TfrmGlowny::queueActivationRefresh()
{
    if (m_activationPending)
        return;
    m_activationPending = true;
    QTimer::singleShot(0, this, [this, choices = m_categoryChoices] {
        m_activationPending = false;
        // A category the user chose after the refresh was asked for, often with the very click that
        // activated the window, stays chosen.
        const QString chosen = m_categoryChoices != choices ? selectedText(ListKategorie) : QString();
        runCommand([this] { FormActivate(); });
        const auto found = ListKategorie->findItems(chosen, Qt::MatchExactly);
        if (!chosen.isEmpty() && !found.isEmpty()) {
            const QSignalBlocker blocker(ListKategorie);
            ListKategorie->setCurrentItem(found.first());
        }
    });
}

bool TfrmGlowny::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_leftColumn && event->type() == QEvent::Resize)
        FormResize();
    return QMainWindow::eventFilter(watched, event);
}

void TfrmGlowny::FormResize()
{
    const int half = m_leftColumn->height() / 2;
    ListKategorie->setGeometry(0, 0, leftColumnWidth, half);
    ListPodkategorie->setGeometry(0, m_leftColumn->height() - half, leftColumnWidth, half);
    ListKategorie->setColumnWidth(0, leftColumnWidth - 8);
}

QString TfrmGlowny::dataDirectoryOrAsk()
{
    // A stored value that is no path is told once; the window below is where the user mends it.
    const QString problem = DataDirectory::problem();
    if (problem != std::exchange(m_toldPathProblem, problem) && !problem.isEmpty())
        Dialogs::error(problem);
    const QString dir = problem.isEmpty() ? DataDirectory::path() : QString();
    if (!dir.isEmpty() || frmConfig_files->isVisible())
        return dir;
    frmConfig_files->exec();
    if (Application::quitRequested())
        return {};
    // The window becomes active again now, but not every desktop reports it: the refresh that
    // lists the folder just saved is asked for here as well.
    queueActivationRefresh();
    // The folder just saved, never the program's working folder, which a name without its folder
    // would lead to.
    return DataDirectory::problem().isEmpty() ? DataDirectory::path() : QString();
}

// A list file refused for its size reads as empty; the user is told once for each version of it.
static void tellRefusal(const QString &fileName)
{
    if (const QString refusal = ProfileStore::takeRefusal(fileName); !refusal.isEmpty())
        throw AppError(refusal);
}

void TfrmGlowny::fillCategories(const QString &dir)
{
    if (dir.isEmpty())
        return; // no folder chosen yet: there is no catalogue to list

    const QString fileName = CatalogueFiles::categoryList(dir);
    const QStringList names = KeyedList::categories.read(ProfileFile(fileName));
    QList<QTreeWidgetItem *> items;
    for (const QString &name : names)
        items.append(new QTreeWidgetItem(QStringList{name}));
    const QSignalBlocker blocker(ListKategorie);
    ListKategorie->addTopLevelItems(items);
    tellRefusal(fileName);
}

void TfrmGlowny::fillSubcategories(const QString &dir, const QString &category)
{
    const QString fileName = CatalogueFiles::subcategoryList(dir, category);
    const ProfileFile file(fileName);
    refill(ListPodkategorie, KeyedList::subcategories.read(file));
    tellRefusal(fileName);
    if (const QString problem = KeyedList::subcategories.problem(file); !problem.isEmpty())
        throw AppError(problem);
}

void TfrmGlowny::FormShow()
{
    setPanelText(3, QStringLiteral("Gromadnik ver. ") + Application::version);
    // Appended to what the list holds; the activation refresh that follows starts it anew.
    fillCategories(dataDirectoryOrAsk());
}

void TfrmGlowny::FormActivate()
{
    const QString dir = dataDirectoryOrAsk();
    refill(ListKategorie, {});
    fillCategories(dir);
    m_startupCheck->activate(dir);
    const QString problem = KeyedList::categories.problem(ProfileFile(CatalogueFiles::categoryList(dir)));
    if (problem != std::exchange(m_toldCategoryProblem, problem) && !problem.isEmpty())
        Dialogs::error(problem); // told, not thrown: the command that ran the refresh goes on
}

void TfrmGlowny::ListKategorieSelectItem()
{
    const QString dir = DataDirectory::path();
    refill(ListPodkategorie, {});
    ListPrzedmioty->clear();
    const QString category = selectedText(ListKategorie);
    ++m_categoryChoices;
    setPanelText(0, category);
    m_categoryChosen = !category.isEmpty();
    fillSubcategories(dir, category);
}

void TfrmGlowny::ListPodkategorieSelectItem()
{
    const QString dir = DataDirectory::path();
    const QString category = panelText(0);
    const QString subcategory = selectedText(ListPodkategorie);
    setPanelText(1, subcategory);
    const QString itemFile = CatalogueFiles::itemFile(dir, category, subcategory);
    const QString count =
        ProfileFile(itemFile).ReadText(QStringLiteral("config"), QStringLiteral("liczba_pozycji"), QStringLiteral("0"));
    setPanelText(2, QStringLiteral("Liczba pozycji: ") + count);
    refreshItemList(itemFile, count);
    Dodajnowpozycje1->setEnabled(ListPrzedmioty->columnCount() > 0);
}

void TfrmGlowny::refreshItemList(const QString &itemFile, const QString &countText)
{
    ListPrzedmioty->clear();
    ListPrzedmioty->setColumnCount(0);
    const ProfileFile file(itemFile);
    const QList<ItemTable::Column> columns = ItemTable::readColumns(file);
    QStringList headers;
    for (const ItemTable::Column &column : columns)
        headers.append(column.name);
    ListPrzedmioty->setColumnCount(int(headers.size()));
    ListPrzedmioty->setHeaderLabels(headers);
    for (int c = 0; c < headers.size(); ++c)
        ListPrzedmioty->setColumnWidth(c, 50);

    const int count = ItemTable::countFromText(countText); // a damaged count leaves the columns
    QList<QTreeWidgetItem *> items;
    for (QStringList &values : ItemTable::readRows(file, columns, count))
        items.append(new QTreeWidgetItem(std::move(values)));
    ListPrzedmioty->addTopLevelItems(items);
    if (const QString problem = ItemTable::countProblem(file, count); !problem.isEmpty())
        throw AppError(problem); // the rows the file holds stay listed
}

// The main window is active again once a window it opened closes. Not every platform reports that
// activation (a desktop without a window manager does not), so the refresh runs here as well.
void TfrmGlowny::showModal(QDialog *window)
{
    window->exec();
    m_startupCheck->windowClosed();
    FormActivate();
}

void TfrmGlowny::Przedmioty1Click()
{
    showModal(frmPozycje);
    ListPodkategorieSelectItem();
}

int TfrmGlowny::selectedRow() const
{
    const auto selected = ListPrzedmioty->selectedItems();
    return selected.isEmpty() ? -1 : ListPrzedmioty->indexOfTopLevelItem(selected.first());
}

void TfrmGlowny::refreshAfterItemCommand()
{
    const QString itemFile = CatalogueFiles::itemFile(DataDirectory::path(), panelText(0), panelText(1));
    const int count = ProfileFile(itemFile).ReadNumber(QStringLiteral("config"), QStringLiteral("liczba_pozycji"), 0);
    refreshItemList(itemFile, QString::number(count));
}

void TfrmGlowny::ListPrzedmiotyDblClick()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    lblpozycja->setText(QString::number(row));
    showModal(frmPokaz);
}

void TfrmGlowny::Dodajnowpozycje1Click()
{
    showModal(frmDodaj_pozycje);
    refreshAfterItemCommand();
}

void TfrmGlowny::Edytujpozycje1Click()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    // Opened beside the main window from the viewer: it keeps its item and only comes forward.
    if (frmEdytuj_pozycje->isVisible()) {
        frmEdytuj_pozycje->raise();
        frmEdytuj_pozycje->activateWindow();
        return;
    }
    lblpozycja->setText(QString::number(row));
    showModal(frmEdytuj_pozycje);
    refreshAfterItemCommand();
}

void TfrmGlowny::Usuzaznaczonpozycje1Click()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    if (Dialogs::question(this, QStringLiteral("Czy chcesz usunąć wybraną pozycje ?"),
                          QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    ItemStore::remove({DataDirectory::path(), panelText(0), panelText(1)}, row);
    refreshAfterItemCommand();
}

void TfrmGlowny::Dodajnowkategorie1Click()
{
    showModal(frmDodaj_kategorie); // its refresh lists the categories just added
}

void TfrmGlowny::Dodajnowpodkategorie1Click()
{
    showModal(frmDodaj_podkategorie);
    fillSubcategories(DataDirectory::path(), panelText(0));
}

void TfrmGlowny::Edytorkategorii1Click()
{
    // Modal to the main window only, so that the add and rename windows it shows stay usable.
    frmKategorie->setWindowModality(Qt::WindowModal);
    showModal(frmKategorie);
}

void TfrmGlowny::Oprogramie1Click()
{
    showModal(frmInfo);
}

void TfrmGlowny::Plikikonfiguracyjne1Click()
{
    showModal(frmConfig_files);
}

void TfrmGlowny::Eksportdanych1Click()
{
    const QString file = ExchangeDialogs::chooseExportFile(this);
    if (file.isEmpty())
        return;
    const QString dir = DataDirectory::path();
    QStringList damaged;
    const bool done =
        ExchangeDialogs::runWithProgress(this, QStringLiteral("Eksport danych..."), true, [&](const auto &progress) {
            return Export::run(dir, file, progress, Exchange::Writing::Batched, &damaged);
        });
    if (done && !damaged.isEmpty())
        Dialogs::information(this,
                             QStringLiteral("Dane zostały wyeksportowane, ale niektóre liczby w katalogu nie "
                                            "zgadzają się z zawartością plików:\n%1\nW pliku eksportu zapisano "
                                            "liczby tego, co wyeksportowano. Pliki katalogu nie zostały zmienione.")
                                 .arg(firstLines(damaged)));
    else if (done)
        Dialogs::information(this, QStringLiteral("Dane zostały wyeksportowane poprawnie"));
    else
        Dialogs::information(this, QStringLiteral("Eksport danych przerwano. Plik %1 nie został zmieniony.").arg(file));
}

void TfrmGlowny::Import1Click()
{
    const QString file = ExchangeDialogs::chooseImportFile(this);
    if (file.isEmpty())
        return;
    const QString dir = DataDirectory::path();
    ExchangeDialogs::runWithProgress(this, QStringLiteral("Import danych..."), false, [&](const auto &progress) {
        Import::run(dir, file, progress);
        return true;
    });
    // Shown anew, the window lists the categories again: the show handler appends them and the
    // activation refresh, which not every desktop reports, lists them once.
    hide();
    show();
    QTimer::singleShot(0, this, [this] { runCommand([this] { FormActivate(); }); });
    Dialogs::information(this, QStringLiteral("Dane zostały zaimportowane poprawnie"));
}

void TfrmGlowny::Konfiguracja1Click()
{
    showModal(frmKonfiguracja);
}

void TfrmGlowny::Aktualizacja1Click()
{
    showModal(frmAktualizacja);
}

void TfrmGlowny::Zamknijprogram1Click()
{
    Application::requestQuit();
}
