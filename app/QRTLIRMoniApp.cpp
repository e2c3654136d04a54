#include "app/QRTLIRMoniApp.h"

#include <cstring>

#include "app/PowerPromptDlg.h"
#include "app/QRTLIRMoniDlg.h"
#include "config/QRTLIRSet.h"
#include "driver/CardDriver.h"
#include "app/Win32Platform.h"
#include "trace/Trace.h"

// The process's global objects, in this order: built before WinMain runs and
// destroyed in reverse order at exit.
CQRTLIRMoniApp theApp;
CQRTLIRSet theSet;

namespace {

// Hands the configuration object and the trace channel their platform, and takes
// it back on every way out, before the platform objects go.
class PlatformScope {
public:
    PlatformScope(qrtl::win32::Win32Platform& platform, qrtl::IPromptWindow& prompt) {
        SetTraceTransport(&platform.trace);
        theSet.SetServices(platform.Services(&prompt));
    }
    ~PlatformScope() {
        theSet.SetServices(qrtl::Services{});
        SetTraceTransport(nullptr);
    }
    PlatformScope(const PlatformScope&) = delete;
    PlatformScope& operator=(const PlatformScope&) = delete;
};

}  // namespace

struct CQRTLIRMoniApp::Platform {
    qrtl::win32::Win32Platform platform;
    CPowerPromptWindow prompt;  // its dialog object stays until the program ends
    PlatformScope scope{platform, prompt};
};

CQRTLIRMoniApp::CQRTLIRMoniApp() = default;

CQRTLIRMoniApp::~CQRTLIRMoniApp() = default;

BOOL CQRTLIRMoniApp::InitInstance() {
    // The manifest asks for common controls 6; their classes must be registered.
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);

    m_pPlatform = std::make_unique<Platform>();

    // A case-sensitive substring anywhere: "/SetAuto", "-SetAuto", "xSetAutoy".
    const char* pszCmdLine = m_lpCmdLine != nullptr ? m_lpCmdLine : "";
    if (std::strstr(pszCmdLine, kSetAutoWord) != nullptr) {
        theSet.SetAutoRun(TRUE);
        return FALSE;
    }

    // The driver is loaded by bare name: never from the folder the monitor was started in.
    if (!qrtl::LoadWithProgramFolderSearch(LoadCardDriver))
        return FALSE;  // silently: no box, no trace, no window

    m_pMainDlg = std::make_unique<CQRTLIRMoniDlg>();
    m_pMainWnd = m_pMainDlg.get();
    m_pMainDlg->StartMonitor();
    return TRUE;
}

int CQRTLIRMoniApp::ExitInstance() {
    if (m_pMainDlg) {
        // After everything else has stopped; harmless after a shutdown's close.
        CloseCardDriver();
        m_pMainWnd = nullptr;
        m_pMainDlg.reset();
    }
    // Before the global configuration object goes at exit.
    m_pPlatform.reset();
    return 0;
}
