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
    // Call once the dialog has its template size: no narrower than that, and no
    // lower either unless a control added gives its least height.
    void Begin(HWND dlg);
    void Add(int id, Anchor anchor);
    // The control `id`, added before, is never lower than `height` pixels: the
    // window may be made lower than its template down to there.
    void Least(int id, int height);
    // WM_SIZE: moves every control for the new client size.
    void Apply(int width, int height) const;
    // WM_GETMINMAXINFO: the template's width, and the least height that keeps
    // every control at its least.
    void Limit(MINMAXINFO& info) const;

private:
    struct Item {
        HWND control;
        RECT start;  // in the dialog's client area at the template size
        Anchor anchor;
        int least;   // pixels of height; 0: none given
    };
    // The most the client area may lose in height (0 or less).
    int LeastGrowth() const;
    HWND dlg_ = nullptr;
    SIZE startClient_ = {};
    SIZE minWindow_ = {};
    std::vector<Item> items_;
};

}  // namespace remote
