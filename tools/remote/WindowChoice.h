// The set-up window's list of the windows the owner could mean as the TV
// application. It keeps the windows it lists, so that the line chosen names one.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "config/ProfileReader.h"

namespace remote {

class WindowChoice {
public:
    // The combo box `id` of `dlg`.
    void Attach(HWND dlg, int id);
    HWND Handle() const { return combo_; }

    // The open application windows anew, the one chosen kept chosen; without the
    // programs that entries of `document` other than `slot` have: one program, one entry.
    void Fill(const qrtl::ProfileDocument& document, int32_t slot);
    // The window of the line chosen; null when none is.
    HWND Chosen() const;

private:
    HWND combo_ = nullptr;
    std::vector<HWND> windows_;  // in the order of the lines
};

}  // namespace remote
