// The About box: icon, name, version. Ended by the default OK and Cancel handling.
#pragma once

#include "framework/Afx.h"
#include "res/resource.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(res::kDlgAbout) {}
};
