// The set-up window's key list: one row per remote key, its columns, the row
// selected. It shows rows the model works out and keeps no key state of its own.
#pragma once

#include <windows.h>

#include <vector>

#include "setup/RemoteRows.h"

namespace remote {

class KeyList {
public:
    // The list control `id` of `dlg`: its columns and one row per remote key, named.
    void Attach(HWND dlg, int id);
    HWND Handle() const { return list_; }

    void Show(const std::vector<qrtl::setup::KeyRow>& rows);
    // The row selected, -1 for none.
    int Selected() const;
    // Selects and shows the row `index`.
    void Select(int index);
    // After the list changed its width: the Action column takes what the others leave.
    void FitColumns();
    // The focus to the list, through the dialog manager, so that it keeps its idea
    // of the focus and of the default button. Call it before disabling the control
    // that has the focus: a disabled window passes it to nobody.
    void Focus() const;

private:
    HWND dlg_ = nullptr;
    HWND list_ = nullptr;
};

}  // namespace remote
