#include "app/PowerPromptDlg.h"

void CPowerPromptWindow::Show() {
    if (!m_pDlg) m_pDlg = std::make_unique<CPowerPromptDlg>();
    if (m_pDlg->m_hWnd == nullptr && !m_pDlg->Create()) return;
    const HWND hWnd = m_pDlg->m_hWnd;
    ::ShowWindow(hWnd, SW_SHOW);
    ::SetWindowPos(hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::UpdateWindow(hWnd);
}

void CPowerPromptWindow::Destroy() {
    if (m_pDlg) m_pDlg->DestroyWindow();
}
