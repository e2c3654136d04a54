// CAboutDlg has no behaviour of its own: its template (100) is all there is.
#include "app/AboutDlg.h"
