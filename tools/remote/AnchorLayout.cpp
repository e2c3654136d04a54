#include "AnchorLayout.h"

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
    items_.push_back({control, r, anchor});
}

void AnchorLayout::Apply(int width, int height) const {
    const int dx = width - startClient_.cx;
    const int dy = height - startClient_.cy;
    if (dx < 0 || dy < 0 || items_.empty()) return;  // minimised, or smaller than allowed
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
    info.ptMinTrackSize.y = minWindow_.cy;
}

}  // namespace remote
