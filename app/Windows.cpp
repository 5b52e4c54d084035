#include "Windows.h"

#include "Glowny.h"
#include "Info.h"
#include "Pozycje.h"
#include "categories/Dodaj_kategorie.h"
#include "categories/Dodaj_podkategorie.h"
#include "store/Config_files.h"

void createWindows()
{
    frmGlowny = new TfrmGlowny;
    frmDodaj_podkategorie = new TfrmDodaj_podkategorie(frmGlowny);
    frmDodaj_kategorie = new TfrmDodaj_kategorie(frmGlowny);
    frmInfo = new TfrmInfo(frmGlowny);
    frmPozycje = new TfrmPozycje(frmGlowny);
    frmConfig_files = new TfrmConfig_files(frmGlowny);
}
