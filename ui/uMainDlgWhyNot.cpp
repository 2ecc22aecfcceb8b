// Comparing two messages and the near misses.
#include "ui/uMainDlg.h"

void TMainDlg::mniCompareClick() {}
void TMainDlg::mniNearMissesClick() {}
