// The application object: start-up in InitInstance, the framework's message loop,
// and the clean-up in ExitInstance.
#pragma once

#include <memory>

#include "framework/Afx.h"

// The word on the command line that writes the autorun value and ends at once.
constexpr char kSetAutoWord[] = "SetAuto";

class CQRTLIRMoniDlg;

class CQRTLIRMoniApp : public CWinApp {
public:
    CQRTLIRMoniApp();
    ~CQRTLIRMoniApp() override;

    // "SetAuto": writes the autorun value and declines. Otherwise loads the driver
    // (declines silently without it) and starts the main window for the loop.
    BOOL InitInstance() override;
    // Closes the driver after everything else has stopped and takes the platform
    // back from the configuration object; the process always ends with 0.
    int ExitInstance() override;

private:
    struct Platform;  // the platform objects the configuration object works on
    std::unique_ptr<Platform> m_pPlatform;
    std::unique_ptr<CQRTLIRMoniDlg> m_pMainDlg;
};

extern CQRTLIRMoniApp theApp;
