#include "Glowny.h"

#include "Application.h"
#include "Backups.h"
#include "Command.h"
#include "Dialogs.h"
#include "FormStyle.h"
#include "ItemGallery.h"
#include "items/ItemListModel.h"
#include "items/ItemListProxy.h"
#include "settings/StartupCheck.h"
#include "settings/ViewState.h"
#include "store/CatalogueFiles.h"
#include "store/Config_files.h"
#include "store/DataDirectory.h"
#include "store/Error.h"
#include "store/ProfileStore.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QKeyEvent>
#include <QShowEvent>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
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
    // Every way out ends the event loop; not every one closes this window first.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        ViewState::setWindowGeometry(saveGeometry());
        keepColumns();
    });
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
    QWidget *itemColumn = buildItemColumn(central);

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
    layout->addWidget(itemColumn, 1);
    setCentralWidget(central);

    connect(ListKategorie, &QTreeWidget::itemSelectionChanged, this,
            [this] { runCommand([this] { ListKategorieSelectItem(); }); });
    connect(ListPodkategorie, &QTreeWidget::itemSelectionChanged, this,
            [this] { runCommand([this] { ListPodkategorieSelectItem(); }); });
    for (QAbstractItemView *items : {static_cast<QAbstractItemView *>(ListPrzedmioty),
                                     static_cast<QAbstractItemView *>(GaleriaPrzedmiotow)})
        connect(items, &QAbstractItemView::doubleClicked, this,
                [this] { runCommand([this] { ListPrzedmiotyDblClick(); }); });
    connect(ListPrzedmioty->header(), &QHeaderView::sortIndicatorChanged, this, &TfrmGlowny::ListPrzedmiotySort);
    connect(txtSzukaj, &QLineEdit::textChanged, this, &TfrmGlowny::txtSzukajChange);
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
    Backups::showProgressIn(StatusBar1);
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
        // Where the user left it, once; centred when that place is no more on any screen.
        if (std::exchange(m_firstShow, false)) {
            const QByteArray geometry = ViewState::windowGeometry();
            if (geometry.isEmpty() || !restoreGeometry(geometry))
                centreOnScreen(this);
        } else {
            centreOnScreen(this);
        }
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
    if (event->type() != QEvent::ActivationChange)
        return;
    // Without a window manager the click that activates the window is handled before its
    // activation: a choice made since the window lost activation is that click's.
    if (isActiveWindow())
        queueActivationRefresh(m_choicesAtDeactivation);
    else
        m_choicesAtDeactivation = m_categoryChoices;
}

void TfrmGlowny::queueActivationRefresh()
{
    queueActivationRefresh(m_categoryChoices);
}

void TfrmGlowny::queueActivationRefresh(int choicesBefore)
{
    if (m_activationPending)
        return;
    m_activationPending = true;
    QTimer::singleShot(0, this, [this, choices = choicesBefore] {
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
    if (event->type() == QEvent::KeyPress && itemListKey(watched, static_cast<QKeyEvent *>(event)->key()))
        return true;
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
    if (std::exchange(m_choiceToRestore, false))
        restoreLastChoice();
}

// The category and subcategory the user worked in last time, chosen as if by a click, so that
// the lists and panels are filled as they would be.
void TfrmGlowny::restoreLastChoice()
{
    Galeria1->setChecked(ViewState::gallery());
    const ViewState::Choice last = ViewState::lastChoice();
    const auto categories = ListKategorie->findItems(last.category, Qt::MatchExactly);
    if (last.category.isEmpty() || categories.isEmpty())
        return;
    ListKategorie->setCurrentItem(categories.first());
    const auto subcategories = ListPodkategorie->findItems(last.subcategory, Qt::MatchExactly);
    if (!last.subcategory.isEmpty() && !subcategories.isEmpty())
        ListPodkategorie->setCurrentItem(subcategories.first());
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
    txtSzukaj->clear();
    m_items->clearRows();
    const QString category = selectedText(ListKategorie);
    ++m_categoryChoices;
    setPanelText(0, category);
    m_categoryChosen = !category.isEmpty();
    if (m_categoryChosen)
        ViewState::setLastChoice({category, QString()});
    fillSubcategories(dir, category);
}

void TfrmGlowny::ListPodkategorieSelectItem()
{
    const QString dir = DataDirectory::path();
    const QString category = panelText(0);
    const QString subcategory = selectedText(ListPodkategorie);
    setPanelText(1, subcategory);
    if (!subcategory.isEmpty())
        ViewState::setLastChoice({category, subcategory});
    const QString itemFile = CatalogueFiles::itemFile(dir, category, subcategory);
    const QString count =
        ProfileFile(itemFile).ReadText(QStringLiteral("config"), QStringLiteral("liczba_pozycji"), QStringLiteral("0"));
    txtSzukaj->clear(); // before the new rows, which it would filter for nothing
    m_countText = count;
    m_countShown = true;
    showItemCount();
    refreshItemList(itemFile, count);
    Dodajnowpozycje1->setEnabled(m_items->columnCount() > 0);
}
