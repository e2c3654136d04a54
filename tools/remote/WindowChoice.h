// The set-up window's list of the windows the owner could mean as the TV
// application. It keeps the windows it lists, so that the line chosen names one.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace remote {

class WindowChoice {
public:
    // The combo box `id` of `dlg`.
    void Attach(HWND dlg, int id);
    HWND Handle() const { return combo_; }

    // The open application windows anew, the one chosen kept chosen; only those
    // whose program (its item name) `offered` says yes to.
    void Fill(const std::function<bool(const std::string& item)>& offered);
    // The window of the line chosen; null when none is.
    HWND Chosen() const;

private:
    HWND combo_ = nullptr;
    std::vector<HWND> windows_;  // in the order of the lines
};

}  // namespace remote
