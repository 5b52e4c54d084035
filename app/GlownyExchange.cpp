// The main window's spreadsheet export.
#include "Glowny.h"

#include "exchange/Eksport_arkusza.h"

// The window names the category and subcategory chosen here; it changes no catalogue file.
void TfrmGlowny::Eksportdoarkusza1Click()
{
    showModal(frmEksport_arkusza);
}
