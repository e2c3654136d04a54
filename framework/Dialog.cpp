// Dialogs from resource templates: the dialog procedure that hands every message
// to the C++ object, the modal and modeless starts, and the quit on the final
// destruction of the registered main window.
#include "framework/Afx.h"

CDialog::CDialog(UINT nIDTemplate) : m_nIDTemplate(nIDTemplate) {}

CDialog::~CDialog() {
    // Only CDialog's handlers run from here on; the derived part is gone.
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) DestroyWindow();
}

INT_PTR CDialog::DoModal(HWND hWndParent) {
    HWND hWndOwner = hWndParent;
    if (hWndOwner == nullptr) {
        CWnd* pMainWnd = AfxGetMainWnd();
        if (pMainWnd != nullptr && pMainWnd != this && pMainWnd->m_hWnd != nullptr)
            hWndOwner = ::GetLastActivePopup(pMainWnd->m_hWnd);
    }
    // The system's dialog loop reposts a quit message it takes, so an outer loop
    // ends next.
    const INT_PTR nResult =
        ::DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), hWndOwner,
                          &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    return nResult;
}

BOOL CDialog::Create(HWND hWndParent) {
    if (m_hWnd != nullptr) return FALSE;
    if (hWndParent == nullptr) {
        CWnd* pMainWnd = AfxGetMainWnd();
        if (pMainWnd != nullptr && pMainWnd != this) hWndParent = pMainWnd->m_hWnd;
    }
    const HWND hWnd =
        ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), hWndParent,
                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    return hWnd != nullptr;
}

BOOL CDialog::DestroyWindow() {
    if (m_hWnd == nullptr) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

void CDialog::EndDialog(int nResult) {
    if (m_hWnd != nullptr) ::EndDialog(m_hWnd, nResult);
}

void CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx{bSaveAndValidate, this};
    DoDataExchange(&dx);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT lResult = 0;
    if (OnWndMsg(message, wParam, lParam, &lResult)) return lResult;
    return Default();
}

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    switch (message) {
    case WM_INITDIALOG:
        *pResult = OnInitDialog();
        return TRUE;
    case WM_COMMAND: {
        // Menus and accelerators carry no control; their code counts as a plain command.
        const UINT nCode = lParam != 0 ? HIWORD(wParam) : 0;
        if (OnCommand(LOWORD(wParam), nCode)) {
            *pResult = 0;
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

BOOL CDialog::OnCommand(UINT nID, UINT nCode) {
    if (nCode != BN_CLICKED) return FALSE;
    switch (nID) {
    case IDOK:
        OnOK();
        return TRUE;
    case IDCANCEL:
        OnCancel();
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;  // the focus goes to the first control in tab order
}

void CDialog::OnOK() {
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

LRESULT CDialog::Default() {
    m_bDefault = true;
    return 0;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* pDlg = nullptr;
    if (message == WM_INITDIALOG) {
        pDlg = reinterpret_cast<CDialog*>(lParam);
        if (pDlg == nullptr) return FALSE;
        pDlg->m_hWnd = hWnd;
        ::SetWindowLongPtrA(hWnd, DWLP_USER, reinterpret_cast<LONG_PTR>(pDlg));
    } else {
        pDlg = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, DWLP_USER));
    }
    // Messages before WM_INITDIALOG (WM_SETFONT ...) get the default processing.
    if (pDlg == nullptr) return FALSE;

    // Handlers may dispatch nested messages (modal loops), each with its own flag.
    const bool bOuterDefault = pDlg->m_bDefault;
    pDlg->m_bDefault = false;
    const LRESULT lResult = pDlg->WindowProc(message, wParam, lParam);
    const bool bDefault = pDlg->m_bDefault;
    pDlg->m_bDefault = bOuterDefault;

    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hWnd, DWLP_USER, 0);
        pDlg->m_hWnd = nullptr;
        CWinApp* pApp = AfxGetApp();
        if (pApp != nullptr && pApp->m_pMainWnd == pDlg) {
            pApp->m_pMainWnd = nullptr;
            ::PostQuitMessage(0);
        }
        pDlg->PostNcDestroy();
        return FALSE;  // the system still frees its dialog data
    }
    if (bDefault) return FALSE;

    switch (message) {
    // These return their result directly instead of through DWLP_MSGRESULT.
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return static_cast<INT_PTR>(lResult);
    default:
        // Every write is a round trip to the window server (under Wine at least); the
        // poll timer's ticks would pay it each time to store the same 0.
        if (::GetWindowLongPtrA(hWnd, DWLP_MSGRESULT) != lResult)
            ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, lResult);
        return TRUE;
    }
}
