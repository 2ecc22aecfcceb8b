// Exporting the results.
#include "ui/uMainDlg.h"

void TMainDlg::mniExportClick() {}
