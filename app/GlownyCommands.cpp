// The main window's commands that open the other windows, and the export and import.
#include "Glowny.h"

#include "Application.h"
#include "Backups.h"
#include "Command.h"
#include "Dialogs.h"
#include "Info.h"
#include "Kosz.h"
#include "categories/Dodaj_kategorie.h"
#include "categories/Dodaj_podkategorie.h"
#include "categories/Frmedytor_kategorii.h"
#include "exchange/ExchangeDialogs.h"
#include "exchange/Export.h"
#include "exchange/Import.h"
#include "settings/Aktualizacja.h"
#include "settings/Konfiguracja.h"
#include "settings/Kopie_zapasowe.h"
#include "settings/StartupCheck.h"
#include "store/Config_files.h"
#include "store/DataDirectory.h"
#include "viewer/Brakujace_zdjecia.h"

#include <QTimer>

namespace {

// A list of places short enough for a message box.
QString firstLines(const QStringList &lines)
{
    constexpr qsizetype shown = 10;
    QString text = lines.mid(0, shown).join(QLatin1Char('\n'));
    if (lines.size() > shown)
        text += QStringLiteral("\n... i %1 innych").arg(lines.size() - shown);
    return text;
}

} // namespace

// The main window is active again once a window it opened closes. Not every platform reports that
// activation (a desktop without a window manager does not), so the refresh runs here as well.
void TfrmGlowny::showModal(QDialog *window)
{
    window->exec();
    m_startupCheck->windowClosed();
    FormActivate();
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

// A restored item, subcategory or category shows in the lists the main window holds now.
void TfrmGlowny::Kosz1Click()
{
    showModal(frmKosz);
    fillSubcategories(DataDirectory::path(), panelText(0));
    refreshAfterItemCommand();
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
    Backups::makeNow(); // the catalogue as it was, should the import bring the wrong data
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

// Modal, and ended with the activation refresh: a relink has changed photo lists the main window
// and the viewer read.
void TfrmGlowny::Brakujcezdjcia1Click()
{
    showModal(frmBrakujace_zdjecia);
}

void TfrmGlowny::Kopiezapasowe1Click()
{
    showModal(frmKopie_zapasowe); // its refresh lists a restored catalogue
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
