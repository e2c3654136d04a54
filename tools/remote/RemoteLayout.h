// The set-up window's fixed parts, set once when it opens: its icons, the
// prompt's font, and which controls follow its size.
#pragma once

#include <windows.h>

#include "AnchorLayout.h"
#include "platform/win32/Handle.h"

namespace remote {

void SetWindowIcons(HWND dlg);
// The dialog's font in bold, for the prompt; empty when it cannot be made.
qrtl::win32::UniqueHFont BoldFontOf(HWND dlg);
// The key list and the findings take the room a larger window gives; the buttons
// beside and below them move along.
void AnchorControls(AnchorLayout& layout, HWND dlg);
// A window taller than the screen's work area (a large font on a small screen) is
// made lower, down to its least height, and moved up onto the screen.
void FitOnScreen(HWND dlg, const AnchorLayout& layout);

}  // namespace remote
