// The setup dialog: which client the POWER key starts, whether a second POWER
// press shuts Windows down, and whether the program starts with Windows.
#pragma once

#include "framework/Afx.h"
#include "config/SetupData.h"

class CQRTLIRMoniSetupDlg : public CDialog, public CSetupData {
public:
    // `aboutBox` is what the About button runs, modally over this dialog.
    CQRTLIRMoniSetupDlg(CQRTLIRSet& set, CDialog& aboutBox);

protected:
    // Loading: the profile's values into the controls. Saving (OK): the controls
    // into the profile and the Run value. Escape and the close box save nothing.
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(UINT nID, UINT nCode) override;

    void OnAbout();

private:
    CDialog& m_aboutBox;
};
