#include "WindowChoice.h"

#include <algorithm>

#include "UiText.h"
#include "WindowList.h"
#include "platform/win32/Win32Desktop.h"
#include "setup/ClientSlots.h"
#include "setup/win32/Win32ClientWindow.h"

namespace remote {

void WindowChoice::Attach(HWND dlg, int id) { combo_ = ::GetDlgItem(dlg, id); }

HWND WindowChoice::Chosen() const {
    const auto at = ::SendMessageW(combo_, CB_GETCURSEL, 0, 0);
    return at >= 0 && static_cast<std::size_t>(at) < windows_.size() ? windows_[static_cast<std::size_t>(at)]
                                                                      : nullptr;
}

void WindowChoice::Fill(const qrtl::ProfileDocument& document, int32_t slot) {
    const HWND chosen = Chosen();
    windows_ = ApplicationWindows();
    qrtl::win32::Win32Desktop desktop;
    windows_.erase(std::remove_if(windows_.begin(), windows_.end(),
                                  [&](HWND wnd) {
                                      return qrtl::setup::SlotWithProgram(
                                                 document, qrtl::win32::ItemOfWindow(desktop, wnd), slot) >= 0;
                                  }),
                   windows_.end());
    ::SendMessageW(combo_, CB_RESETCONTENT, 0, 0);
    int select = -1;
    for (std::size_t i = 0; i < windows_.size(); ++i) {
        ::SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(WindowListLine(windows_[i])).c_str()));
        if (windows_[i] == chosen) select = static_cast<int>(i);
    }
    ::SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(select), 0);
}

}  // namespace remote
