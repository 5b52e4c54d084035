#include "Windows.h"

#include "Glowny.h"
#include "store/Config_files.h"

void createWindows()
{
    frmGlowny = new TfrmGlowny;
    frmConfig_files = new TfrmConfig_files(frmGlowny);
}
