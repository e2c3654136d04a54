// The setup dialog: which client the POWER key starts, whether a second POWER
// press shuts Windows down, and whether the program starts with Windows.
#pragma once

#include "app/framework/Afx.h"
#include "config/setup/SetupData.h"

class CQRTLIRMoniSetupDlg : public CDialog, public CSetupData {
public:
    explicit CQRTLIRMoniSetupDlg(CQRTLIRSet& set);

protected:
    // Loading: the profile's values into the controls. Saving (OK): the controls
    // into the profile and the Run value. Escape and the close box save nothing.
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(UINT nID, UINT nCode) override;

    void OnAbout();
};
