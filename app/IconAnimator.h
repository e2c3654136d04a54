// The tray and window icon animation: the frames of a bitmap strip, one icon
// made per step, the one it replaces destroyed.
#pragma once

#include "app/TrayIcon.h"
#include "framework/Afx.h"
#include "platform/win32/Handle.h"

class CIconAnimator : public CImageList {
public:
    // Loads the strip of nFrames 16-pixel frames from bitmap nBitmapID. TRUE also
    // when the bitmap could not be loaded: every step then does nothing.
    // Each frame also goes to the tray through `shell`.
    BOOL Init(HWND hWnd, UINT nBitmapID, int nFrames, COLORREF crMask, ShellCalls& shell = SystemShell());
    // Shows the next frame as the owner's small icon and as the tray icon.
    BOOL NextFrame();

    int m_nFrame = -1;   // the frame shown last; the first step shows frame 0
    int m_nFrames = 0;
    // The icon of the frame shown last; destroyed by the next step or with the
    // animator, so at most one frame icon exists at a time.
    qrtl::win32::UniqueHIcon m_hFrameIcon;
    HWND m_hWndOwner = nullptr;
    ShellCalls* m_pShell = &SystemShell();
};
