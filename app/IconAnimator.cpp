#include "app/IconAnimator.h"

#include <utility>

#include "app/TrayIcon.h"

namespace {
constexpr int kFrameWidth = 16;
constexpr int kGrowBy = 1;
}  // namespace

BOOL CIconAnimator::Init(HWND hWnd, UINT nBitmapID, int nFrames, COLORREF crMask, ShellCalls& shell) {
    m_hWndOwner = hWnd;
    m_pShell = &shell;
    if (nFrames <= 0) return FALSE;
    m_nFrames = nFrames;
    Create(nBitmapID, kFrameWidth, kGrowBy, crMask);  // a missing strip leaves no list
    return TRUE;
}

BOOL CIconAnimator::NextFrame() {
    if (GetSafeHandle() == nullptr) return FALSE;
    ++m_nFrame;
    if (m_nFrame >= m_nFrames) m_nFrame = 0;

    qrtl::win32::UniqueHIcon frameIcon(ExtractImageIcon(m_nFrame));
    if (!frameIcon) return FALSE;

    // The window hands back its previous small icon: the application icon before
    // the first step (shared, never destroyed), else the previous frame icon.
    ::SendMessageA(m_hWndOwner, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(frameIcon.get()));

    NotifyTray(*m_pShell, NIM_MODIFY, m_hWndOwner, frameIcon.get());

    // Neither the window nor the tray uses the previous frame icon any more.
    m_hFrameIcon = std::move(frameIcon);
    return TRUE;
}
