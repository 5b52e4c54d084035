// The main window's menus and pop-up menus. Entries whose windows are not part of the program yet
// are present and do nothing.
#include "Command.h"
#include "Glowny.h"
#include "ItemGallery.h"
#include "WebLinks.h"

#include <QMenuBar>
#include <QTreeWidget>

namespace {

QAction *addEntry(QMenu *menu, const QString &caption, const char *objectName)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(objectName));
    return action;
}

QAction *addCommand(QMenu *menu, const QString &caption, const char *objectName, TfrmGlowny *window,
                    void (TfrmGlowny::*handler)())
{
    QAction *action = addEntry(menu, caption, objectName);
    connectCommand(action, &QAction::triggered, window, handler);
    return action;
}

QAction *addLink(QMenu *menu, const WebLinks::Link &link)
{
    QAction *action = menu->addAction(link.picture, link.caption);
    action->setObjectName(link.objectName);
    QObject::connect(action, &QAction::triggered, menu, [address = link.address] { WebLinks::open(address); });
    return action;
}

} // namespace

void TfrmGlowny::buildMenus()
{
    QMenuBar *bar = menuBar();
    QMenu *main = bar->addMenu(QStringLiteral("Menu"));
    main->setObjectName(QStringLiteral("Menu1"));
    addCommand(main, QStringLiteral("Konfiguracja"), "Konfiguracja1", this, &TfrmGlowny::Konfiguracja1Click);
    addCommand(main, QStringLiteral("Edytor kategorii"), "Edytorkategorii1", this, &TfrmGlowny::Edytorkategorii1Click);
    addCommand(main, QStringLiteral("Szukaj"), "Szukaj1", this, &TfrmGlowny::Szukaj1Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    main->addAction(Galeria1);
    addCommand(main, QStringLiteral("Brakujące zdjęcia…"), "Brakujcezdjcia1", this, &TfrmGlowny::Brakujcezdjcia1Click);
    addCommand(main, QStringLiteral("Kosz…"), "Kosz1", this, &TfrmGlowny::Kosz1Click);
    QMenu *exchange = main->addMenu(QStringLiteral("Import/Eksport"));
    exchange->setObjectName(QStringLiteral("ImportEksport1"));
    addCommand(exchange, QStringLiteral("Import danych"), "Importdanych1", this, &TfrmGlowny::Import1Click);
    addCommand(exchange, QStringLiteral("Import z pliku CSV…"), "ImportzplikuCSV1", this, &TfrmGlowny::ImportCSV1Click);
    addCommand(exchange, QStringLiteral("Eksport danych"), "Eksportdanych1", this, &TfrmGlowny::Eksportdanych1Click);
    addCommand(exchange, QStringLiteral("Eksport do arkusza…"), "Eksportdoarkusza1", this,
               &TfrmGlowny::Eksportdoarkusza1Click);
    addCommand(exchange, QStringLiteral("Raport…"), "Raport1", this, &TfrmGlowny::Raport1Click);
    addCommand(main, QStringLiteral("Kopie zapasowe…"), "Kopiezapasowe1", this, &TfrmGlowny::Kopiezapasowe1Click);
    QAction *update =
        addCommand(main, QStringLiteral("Aktualizacja"), "Aktualizacja1", this, &TfrmGlowny::Aktualizacja1Click);
    QFont bold = update->font();
    bold.setBold(true);
    update->setFont(bold);
    main->setDefaultAction(update);
    addCommand(main, QStringLiteral("Pliki konfiguracyjne"), "Plikikonfiguracyjne1", this,
               &TfrmGlowny::Plikikonfiguracyjne1Click);
    main->addSeparator();
    addCommand(main, QStringLiteral("Zamknij program"), "Zamknijprogram1", this, &TfrmGlowny::Zamknijprogram1Click);

    QMenu *others = bar->addMenu(QStringLiteral("Inne Dziejownik"));
    others->setObjectName(QStringLiteral("InneDziejownik1"));
    for (const WebLinks::Link &link : WebLinks::otherSites())
        addLink(others, link);

    QMenu *recommended = bar->addMenu(QStringLiteral("Polecamy"));
    recommended->setObjectName(QStringLiteral("Polecamy1"));
    addLink(recommended, WebLinks::recommended());

    QMenu *help = bar->addMenu(QStringLiteral("Gromadnik - Pomoc"));
    help->setObjectName(QStringLiteral("GromadnikPomoc1"));
    addCommand(help, QStringLiteral("O programie"), "Oprogramie1", this, &TfrmGlowny::Oprogramie1Click);
    addLink(help, WebLinks::homePage());
    addLink(help, WebLinks::supportForum());
}

void TfrmGlowny::buildPopUps()
{
    KategoriePopUp = new QMenu(this);
    KategoriePopUp->setObjectName(QStringLiteral("KategoriePopUp"));
    addCommand(KategoriePopUp, QStringLiteral("Edytor kategorii"), "Edytorkategorii2", this,
               &TfrmGlowny::Edytorkategorii1Click);
    KategoriePopUp->addSeparator();
    addCommand(KategoriePopUp, QStringLiteral("Dodaj nową kategorie"), "Dodajnowkategorie1", this,
               &TfrmGlowny::Dodajnowkategorie1Click);
    addCommand(KategoriePopUp, QStringLiteral("Kosz…"), "Kosz2", this, &TfrmGlowny::Kosz1Click);

    PodkategoriePopUp = new QMenu(this);
    PodkategoriePopUp->setObjectName(QStringLiteral("PodkategoriePopUp"));
    addCommand(PodkategoriePopUp, QStringLiteral("Edytor kategorii"), "Edytorkategorii3", this,
               &TfrmGlowny::Edytorkategorii1Click);
    PodkategoriePopUp->addSeparator();
    addCommand(PodkategoriePopUp, QStringLiteral("Dodaj nową podkategorie"), "Dodajnowpodkategorie1", this,
               &TfrmGlowny::Dodajnowpodkategorie1Click);
    addCommand(PodkategoriePopUp, QStringLiteral("Kosz…"), "Kosz3", this, &TfrmGlowny::Kosz1Click);

    PrzedmiotyPopUp = new QMenu(this);
    PrzedmiotyPopUp->setObjectName(QStringLiteral("PrzedmiotyPopUp"));
    addCommand(PrzedmiotyPopUp, QStringLiteral("Edytuj nagłówki kolumn"), "Przedmioty1", this,
               &TfrmGlowny::Przedmioty1Click);
    PrzedmiotyPopUp->addSeparator();
    addCommand(PrzedmiotyPopUp, QStringLiteral("Pokaż pozycje"), "Pokapozycje1", this,
               &TfrmGlowny::ListPrzedmiotyDblClick);
    addCommand(PrzedmiotyPopUp, QStringLiteral("Edytuj pozycje"), "Edytujpozycje1", this,
               &TfrmGlowny::Edytujpozycje1Click);
    Dodajnowpozycje1 = addCommand(PrzedmiotyPopUp, QStringLiteral("Dodaj nową pozycje"), "Dodajnowpozycje1", this,
                                  &TfrmGlowny::Dodajnowpozycje1Click);
    addCommand(PrzedmiotyPopUp, QStringLiteral("Usuń zaznaczoną pozycje"), "Usuzaznaczonpozycje1", this,
               &TfrmGlowny::Usuzaznaczonpozycje1Click);
    addCommand(PrzedmiotyPopUp, QStringLiteral("Eksport do arkusza…"), "Eksportdoarkusza2", this,
               &TfrmGlowny::Eksportdoarkusza1Click);
    addCommand(PrzedmiotyPopUp, QStringLiteral("Kosz…"), "Kosz4", this, &TfrmGlowny::Kosz1Click);
    addCommand(PrzedmiotyPopUp, QStringLiteral("Raport…"), "Raport2", this, &TfrmGlowny::Raport1Click);

    const auto popUpOn = [this](QAbstractItemView *list, QMenu *menu) {
        connect(list, &QWidget::customContextMenuRequested, menu,
                [list, menu](const QPoint &at) { menu->popup(list->viewport()->mapToGlobal(at)); });
    };
    popUpOn(ListKategorie, KategoriePopUp);
    popUpOn(ListPodkategorie, PodkategoriePopUp);
    popUpOn(ListPrzedmioty, PrzedmiotyPopUp);
    popUpOn(GaleriaPrzedmiotow, PrzedmiotyPopUp);
}
