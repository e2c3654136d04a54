// The application object, its message pump and the process entry it runs.
#include "framework/Afx.h"

namespace {
CWinApp* s_pApp = nullptr;
HINSTANCE s_hResource = nullptr;
}  // namespace

CWinApp::CWinApp() { s_pApp = this; }

CWinApp::~CWinApp() {
    if (s_pApp == this) s_pApp = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return static_cast<int>(m_msgCur.wParam); }

BOOL CWinApp::PumpMessage() {
    // 0 is the quit message; -1 (a broken queue) must not spin the loop either.
    const BOOL bGot = ::GetMessageA(&m_msgCur, nullptr, 0, 0);
    if (bGot == 0 || bGot == -1) return FALSE;
    if (!PreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageA(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg) {
    const CWnd* pMainWnd = m_pMainWnd;
    if (pMainWnd == nullptr || pMainWnd->m_hWnd == nullptr) return FALSE;
    return ::IsDialogMessageA(pMainWnd->m_hWnd, pMsg);
}

int CWinApp::Run() {
    while (PumpMessage()) {
    }
    return ExitInstance();
}

CWinApp* AfxGetApp() { return s_pApp; }

CWnd* AfxGetMainWnd() { return s_pApp != nullptr ? s_pApp->m_pMainWnd : nullptr; }

HINSTANCE AfxGetResourceHandle() {
    return s_hResource != nullptr ? s_hResource : ::GetModuleHandleA(nullptr);
}

int AfxWinMain(HINSTANCE hInstance, LPSTR lpCmdLine) {
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr) return 0;
    pApp->m_lpCmdLine = lpCmdLine;
    s_hResource = hInstance;
    if (!pApp->InitInstance()) return pApp->ExitInstance();
    return pApp->Run();
}
