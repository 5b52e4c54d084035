#include "Szukaj.h"

#include "CatalogueSearch.h"
#include "SearchResults.h"
#include "app/Command.h"
#include "app/Dialogs.h"
#include "app/FormStyle.h"
#include "app/Glowny.h"
#include "exchange/Raport.h"
#include "store/DataDirectory.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTreeView>

TfrmSzukaj *frmSzukaj = nullptr;

namespace {

// Long enough that a word typed at speed is searched once, short enough to feel immediate.
constexpr int typingPauseMs = 150;

enum FixedScope { AllFields, DescriptionAndComment, FieldNamesFrom };

} // namespace

TfrmSzukaj::TfrmSzukaj(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint),
      m_search(new CatalogueSearch(this)), m_results(new SearchResults(this)), m_typing(new QTimer(this))
{
    setObjectName(QStringLiteral("frmSzukaj"));
    setWindowTitle(QStringLiteral("Gromadnik - Szukaj"));
    applyFormColour(this);

    txtSzukaj = new QLineEdit(this);
    txtSzukaj->setObjectName(QStringLiteral("txtSzukaj"));
    txtSzukaj->setAccessibleName(QStringLiteral("Szukany tekst"));
    cmbGdzie = new QComboBox(this);
    cmbGdzie->setObjectName(QStringLiteral("cmbGdzie"));
    cmbGdzie->setAccessibleName(QStringLiteral("Gdzie szukać"));
    cmbGdzie->addItems({QStringLiteral("Wszystkie pola"), QStringLiteral("Opis i komentarz")});
    lstWyniki = new QTreeView(this);
    lstWyniki->setObjectName(QStringLiteral("lstWyniki"));
    lstWyniki->setAccessibleName(QStringLiteral("Wyniki"));
    lstWyniki->setModel(m_results);
    lstWyniki->setItemDelegateForColumn(SearchResults::TextColumn, new MatchDelegate(lstWyniki));
    lstWyniki->setRootIsDecorated(false);
    lstWyniki->setUniformRowHeights(true);
    lstWyniki->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstWyniki->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstWyniki->header()->resizeSection(SearchResults::CategoryColumn, 110);
    lstWyniki->header()->resizeSection(SearchResults::SubcategoryColumn, 110);
    lstWyniki->header()->resizeSection(SearchResults::ItemColumn, 150);
    lblStan = new QLabel(this);
    lblStan->setObjectName(QStringLiteral("lblStan"));
    lblStan->setAccessibleDescription(QStringLiteral("Stan wyszukiwania"));
    btnRaport = new QPushButton(QStringLiteral("Raport…"), this);
    btnRaport->setObjectName(QStringLiteral("btnRaport"));
    btnRaport->setAutoDefault(false);
    useButtonKeys(btnRaport);
    btnZamknij = new QPushButton(QStringLiteral("Zamknij"), this);
    btnZamknij->setObjectName(QStringLiteral("btnZamknij"));
    // Enter on a result opens it; it must not press the button as a dialog's default.
    btnZamknij->setAutoDefault(false);
    useButtonKeys(btnZamknij);

    auto *layout = new QGridLayout(this);
    auto *textLabel = new QLabel(QStringLiteral("Szukaj:"), this);
    textLabel->setBuddy(txtSzukaj);
    auto *scopeLabel = new QLabel(QStringLiteral("Gdzie:"), this);
    scopeLabel->setBuddy(cmbGdzie);
    layout->addWidget(textLabel, 0, 0);
    layout->addWidget(txtSzukaj, 0, 1);
    layout->addWidget(scopeLabel, 0, 2);
    layout->addWidget(cmbGdzie, 0, 3);
    layout->addWidget(lstWyniki, 1, 0, 1, 4);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnRaport);
    buttons->addWidget(btnZamknij);
    layout->addWidget(lblStan, 2, 0, 1, 3);
    layout->addLayout(buttons, 2, 3, Qt::AlignRight);
    layout->setColumnStretch(1, 1);
    resize(640, 420);

    m_typing->setSingleShot(true);
    m_typing->setInterval(typingPauseMs);
    connect(m_typing, &QTimer::timeout, this, [this] { runCommand([this] { runSearch(); }); });
    connect(txtSzukaj, &QLineEdit::textChanged, m_typing, qOverload<>(&QTimer::start));
    connect(cmbGdzie, &QComboBox::currentIndexChanged, this, [this] { runCommand([this] { runSearch(); }); });
    connect(lstWyniki, &QAbstractItemView::activated, this,
            [this](const QModelIndex &index) { runCommand([&] { lstWynikiActivate(index.row()); }); });
    connectCommand(btnRaport, &QPushButton::clicked, this, &TfrmSzukaj::btnRaportClick);
    connect(btnZamknij, &QPushButton::clicked, this, &QDialog::close);
    connect(m_search, &CatalogueSearch::hitsFound, this, &TfrmSzukaj::hitsFound);
    connect(m_search, &CatalogueSearch::finished, this, &TfrmSzukaj::searchFinished);
    connect(m_search, &CatalogueSearch::fieldNamesFound, this, &TfrmSzukaj::fillFieldNames);
}

bool TfrmSzukaj::isSearching() const
{
    return m_search->isRunning() || m_typing->isActive();
}

void TfrmSzukaj::showSearch()
{
    if (!m_placed && parentWidget()) {
        // Beside the main window where the screen has room, so that both stay in sight.
        m_placed = true;
        const QRect main = parentWidget()->frameGeometry();
        const QRect screen = parentWidget()->screen()->availableGeometry();
        const int left = main.right() + 1 + width() <= screen.right() ? main.right() + 1 : screen.right() - width();
        move(std::max(screen.left(), left), main.top());
    }
    show();
    raise();
    activateWindow();
    txtSzukaj->setFocus();
    txtSzukaj->selectAll();
    runSearch(); // the catalogue may have changed while the window was hidden
    // After the search, which reads the files not read yet on several threads at once.
    m_search->requestFieldNames(DataDirectory::path());
}

void TfrmSzukaj::runSearch()
{
    m_typing->stop();
    m_results->clear();
    SearchQuery query{txtSzukaj->text(), SearchQuery::Scope::AllFields, {}};
    if (cmbGdzie->currentIndex() == DescriptionAndComment)
        query.scope = SearchQuery::Scope::DescriptionAndComment;
    else if (cmbGdzie->currentIndex() >= FieldNamesFrom)
        query = {query.text, SearchQuery::Scope::Field, cmbGdzie->currentText()};
    if (query.text.isEmpty()) {
        m_search->cancel();
        lblStan->clear();
        return;
    }
    lblStan->setText(QStringLiteral("Szukam…"));
    m_search->start(DataDirectory::path(), query);
}

void TfrmSzukaj::hitsFound(const QList<SearchHit> &hits)
{
    m_results->append(hits);
    lblStan->setText(QStringLiteral("Szukam… znaleziono: %1").arg(m_results->rowCount()));
}

void TfrmSzukaj::searchFinished(int total)
{
    const int shown = m_results->rowCount();
    lblStan->setText(total > shown ? QStringLiteral("Znaleziono: %1 (pokazano pierwsze %2)").arg(total).arg(shown)
                                   : QStringLiteral("Znaleziono: %1").arg(total));
    if (!lstWyniki->currentIndex().isValid() && shown > 0)
        lstWyniki->setCurrentIndex(m_results->index(0, 0));
}

void TfrmSzukaj::fillFieldNames(const QStringList &names)
{
    const QString chosen = cmbGdzie->currentIndex() >= FieldNamesFrom ? cmbGdzie->currentText() : QString();
    const QSignalBlocker blocker(cmbGdzie);
    while (cmbGdzie->count() > FieldNamesFrom)
        cmbGdzie->removeItem(FieldNamesFrom);
    cmbGdzie->addItems(names);
    if (!chosen.isEmpty()) {
        const int found = cmbGdzie->findText(chosen);
        cmbGdzie->setCurrentIndex(found >= 0 ? found : AllFields);
        if (found < 0)
            runSearch(); // the field is gone: what it found no longer stands
    }
}

void TfrmSzukaj::lstWynikiActivate(int row)
{
    if (row < 0 || row >= m_results->rowCount())
        return;
    const SearchHit hit = m_results->hit(row);
    if (!hitStillStands(DataDirectory::path(), hit)) {
        Dialogs::information(this, QStringLiteral("Tej pozycji nie ma już w katalogu w postaci, w jakiej została "
                                                  "znaleziona. Wyszukiwanie zostanie powtórzone."));
        runSearch();
        return;
    }
    frmGlowny->goToItem(hit.category, hit.subcategory, hit.item);
}

void TfrmSzukaj::btnRaportClick()
{
    if (isSearching() || m_results->rowCount() == 0) {
        Dialogs::information(this, QStringLiteral("Raport powstaje z wyników wyszukiwania: wpisz szukany tekst "
                                                  "i poczekaj na wyniki."));
        return;
    }
    frmRaport->setReport(Report::ofSearch(DataDirectory::path(), txtSzukaj->text(), m_results->hits()),
                         QStringLiteral("Wyniki wyszukiwania"));
    frmRaport->exec();
}
