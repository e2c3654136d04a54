#include "AnchorLayout.h"

#include <algorithm>

namespace remote {

void AnchorLayout::Begin(HWND dlg) {
    dlg_ = dlg;
    RECT client;
    ::GetClientRect(dlg, &client);
    startClient_ = {client.right, client.bottom};
    RECT window;
    ::GetWindowRect(dlg, &window);
    minWindow_ = {window.right - window.left, window.bottom - window.top};
}

void AnchorLayout::Add(int id, Anchor anchor) {
    const HWND control = ::GetDlgItem(dlg_, id);
    if (control == nullptr) return;
    RECT r;
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, dlg_, reinterpret_cast<POINT*>(&r), 2);
    items_.push_back({control, r, anchor, 0});
}

void AnchorLayout::Least(int id, int height) {
    const HWND control = ::GetDlgItem(dlg_, id);
    for (Item& item : items_)
        if (item.control == control) item.least = height;
}

int AnchorLayout::LeastGrowth() const {
    int growth = 0;
    bool first = true;
    for (const Item& item : items_) {
        const int share = item.anchor.bottom - item.anchor.top;
        if (item.least <= 0 || share <= 0) continue;
        // The control's height at growth g is its start height + g * share / 100.
        const int startHeight = item.start.bottom - item.start.top;
        const int need = -((startHeight - item.least) * 100 / share);  // rounded towards no growth
        growth = first ? need : std::max(growth, need);
        first = false;
    }
    return std::min(growth, 0);
}

void AnchorLayout::Apply(int width, int height) const {
    if ((width == 0 && height == 0) || items_.empty()) return;  // minimised
    // Below the least size (while the window is being made) the controls stay there.
    const int dx = std::max<int>(width - startClient_.cx, 0);
    const int dy = std::max<int>(height - startClient_.cy, LeastGrowth());
    HDWP moves = ::BeginDeferWindowPos(static_cast<int>(items_.size()));
    for (const Item& item : items_) {
        const RECT& s = item.start;
        const Anchor& a = item.anchor;
        const int left = s.left + dx * a.left / 100;
        const int top = s.top + dy * a.top / 100;
        const int right = s.right + dx * a.right / 100;
        const int bottom = s.bottom + dy * a.bottom / 100;
        if (moves)
            moves = ::DeferWindowPos(moves, item.control, nullptr, left, top, right - left, bottom - top,
                                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (moves) ::EndDeferWindowPos(moves);
    // Group boxes and labels leave traces of their old place otherwise.
    ::InvalidateRect(dlg_, nullptr, TRUE);
}

void AnchorLayout::Limit(MINMAXINFO& info) const {
    if (dlg_ == nullptr) return;
    info.ptMinTrackSize.x = minWindow_.cx;
    info.ptMinTrackSize.y = minWindow_.cy + LeastGrowth();
}

}  // namespace remote
