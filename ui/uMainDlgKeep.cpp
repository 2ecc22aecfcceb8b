// Keep rules in the window.
#include "ui/uMainDlg.h"
