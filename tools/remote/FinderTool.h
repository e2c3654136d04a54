// The finder tool of the set-up window: a crosshair the owner drags from its box
// onto the TV application's window, with a red outline around the window under
// the pointer. It tells the window what happens; the window words it.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/Handle.h"

namespace remote {

// What a mouse message meant to the finder, for the window to word and act on.
struct FinderNews {
    enum class What {
        None,          // nothing to tell
        Began,         // a drag began on the box
        Over,          // the window under the pointer changed: `target` (null: none to take)
        Took,          // released over `target`
        NothingTaken,  // released where there is no window to take
    };
    What what = What::None;
    HWND target = nullptr;
    INT_PTR answer = FALSE;  // the dialog procedure's answer: FALSE when not the finder's
};

// The status line's words for the news of a drag; empty when there is nothing to say
// (a window taken is said by the taking).
std::string FinderWords(const FinderNews& news);

class FinderTool {
public:
    // `box`: the owner-drawn control the crosshair sits in, a child of `dlg`.
    FinderTool(HWND dlg, int box);
    FinderTool(const FinderTool&) = delete;
    FinderTool& operator=(const FinderTool&) = delete;

    bool Dragging() const { return dragging_; }
    void Draw(const DRAWITEMSTRUCT& item) const;

    // The dialog's mouse messages (press, move, release, capture lost, cursor).
    // `mayBegin`: a press on the box may start a drag now.
    FinderNews OnMouse(UINT msg, LPARAM lParam, bool mayBegin);
    // Escape during a drag: lets the capture go, which ends the drag.
    void Abort() const;

private:
    // In the dialog's client coordinates. Down: true when the drag begins (the
    // press was on the box). Move: true when the window under the pointer changed,
    // now `target` (null: none to take). Up: the window to take.
    bool OnDown(POINT client);
    bool OnMove(POINT client, HWND& target);
    HWND OnUp(POINT client);
    // The drag ends without a choice (the capture was taken away).
    void Cancel();
    void Highlight(HWND target);
    void RedrawBox() const;

    HWND dlg_;
    int box_;
    bool dragging_ = false;
    HWND target_ = nullptr;
    qrtl::win32::UniqueHBrush red_;
    qrtl::win32::UniqueHWnd frame_[4];
};

}  // namespace remote
