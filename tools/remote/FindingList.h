// The set-up window's "What is wrong" list: one owner-drawn row per finding, the
// icon of its severity before its text wrapped at words, or a line that says all
// is well. Each row keeps its severity as its item data: the list holds what it
// shows and nothing of the model.
#pragma once

#include <windows.h>

#include <vector>

#include "setup/RemoteRows.h"

namespace remote {

class FindingList {
public:
    // The list box `id` of `dlg` (LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS).
    void Attach(HWND dlg, int id);
    HWND Handle() const { return list_; }

    void Show(const std::vector<qrtl::setup::FindingRow>& findings);
    // WM_DRAWITEM for the list.
    void Draw(const DRAWITEMSTRUCT& item) const;
    // The rows as tall as their texts need at the list's width (after a resize).
    void FitRows() const;
    // The row selected, -1 for none.
    int Selected() const;

private:
    HWND list_ = nullptr;
};

}  // namespace remote
