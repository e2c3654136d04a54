// The application object: the program's whole lifetime runs in its start-up hook.
#pragma once

#include "app/framework/Afx.h"

// The word on the command line that writes the autorun value and ends at once.
constexpr char kSetAutoWord[] = "SetAuto";

class CQRTLIRMoniApp : public CWinApp {
public:
    CQRTLIRMoniApp();

    // "SetAuto", else: driver, main window, message loop, driver closed. Always
    // FALSE, so the framework's own loop never runs and the process ends with 0.
    BOOL InitInstance() override;
};

extern CQRTLIRMoniApp theApp;
