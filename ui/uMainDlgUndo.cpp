// Undoing the last treatment.
#include "ui/uMainDlg.h"

void TMainDlg::mniUndoClick() {}
