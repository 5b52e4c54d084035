#include "Windows.h"

#include "Glowny.h"
#include "Info.h"
#include "Kosz.h"
#include "Pozycje.h"
#include "categories/Dodaj_kategorie.h"
#include "categories/Dodaj_podkategorie.h"
#include "categories/Edytuj_kategorie.h"
#include "categories/Frmedytor_kategorii.h"
#include "exchange/Eksport_arkusza.h"
#include "exchange/Import_CSV.h"
#include "exchange/Raport.h"
#include "items/Pozycje_dodaj.h"
#include "items/Pozycje_edytuj.h"
#include "search/Szukaj.h"
#include "settings/Aktualizacja.h"
#include "settings/Konfiguracja.h"
#include "settings/Kopie_zapasowe.h"
#include "store/Config_files.h"
#include "viewer/Brakujace_zdjecia.h"
#include "viewer/Dodaj_zdjecie.h"
#include "viewer/Image.h"
#include "viewer/Pokaz.h"
#include "viewer/Usun_zdjecie.h"

void createWindows()
{
    frmGlowny = new TfrmGlowny;
    frmKategorie = new TfrmKategorie(frmGlowny);
    // The add and rename windows are the editor's own: its modality blocks every other window, and
    // these are shown beside it without a modal loop.
    frmDodaj_podkategorie = new TfrmDodaj_podkategorie(frmKategorie);
    frmDodaj_kategorie = new TfrmDodaj_kategorie(frmKategorie);
    frmEdytuj_podkategorie = new TfrmEdytuj_podkategorie(frmKategorie);
    frmEdytuj_kategorie = new TfrmEdytuj_kategorie(frmKategorie);
    frmKategorie->followNameWindows();
    frmInfo = new TfrmInfo(frmGlowny);
    frmPokaz = new TfrmPokaz(frmGlowny);
    frmPozycje = new TfrmPozycje(frmGlowny);
    frmEdytuj_pozycje = new TfrmEdytuj_pozycje(frmGlowny);
    frmDodaj_pozycje = new TfrmDodaj_pozycje(frmGlowny);
    frmImage = new TfrmImage(frmGlowny);
    frmConfig_files = new TfrmConfig_files(frmGlowny);
    frmDodaj_zdjecie = new TfrmDodaj_zdjecie(frmGlowny);
    frmLista_zdjec = new TfrmLista_zdjec(frmGlowny);
    frmKonfiguracja = new TfrmKonfiguracja(frmGlowny);
    frmKopie_zapasowe = new TfrmKopie_zapasowe(frmGlowny);
    frmAktualizacja = new TfrmAktualizacja(frmGlowny);
    frmSzukaj = new TfrmSzukaj(frmGlowny);
    frmBrakujace_zdjecia = new TfrmBrakujace_zdjecia(frmGlowny);
    frmKosz = new TfrmKosz(frmGlowny);
    frmEksport_arkusza = new TfrmEksport_arkusza(frmGlowny);
    frmImport_CSV = new TfrmImport_CSV(frmGlowny);
    frmRaport = new TfrmRaport(frmGlowny);
}
