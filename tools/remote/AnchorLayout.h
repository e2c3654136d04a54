// Controls of a resizable dialog that follow its size: each edge of a control
// moves by a share of the growth of the dialog's client area, so a list can take
// the new room while the buttons beside it keep their size and move along.
#pragma once

#include <windows.h>

#include <vector>

namespace remote {

// Shares in percent of the growth in width (left, right) and height (top, bottom).
struct Anchor {
    int left;
    int top;
    int right;
    int bottom;
};

class AnchorLayout {
public:
    // Call once the dialog has its template size: that size is the smallest one.
    void Begin(HWND dlg);
    void Add(int id, Anchor anchor);
    // WM_SIZE: moves every control for the new client size.
    void Apply(int width, int height) const;
    // WM_GETMINMAXINFO: the window is never smaller than its template.
    void Limit(MINMAXINFO& info) const;

private:
    struct Item {
        HWND control;
        RECT start;  // in the dialog's client area at the template size
        Anchor anchor;
    };
    HWND dlg_ = nullptr;
    SIZE startClient_ = {};
    SIZE minWindow_ = {};
    std::vector<Item> items_;
};

}  // namespace remote
