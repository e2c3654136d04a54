// The finder tool of the set-up window: a crosshair the owner drags from its box
// onto the TV application's window, with a red outline around the window under
// the pointer. It tells the window what happens; the window words it.
#pragma once

#include <windows.h>

#include "platform/win32/Handle.h"

namespace remote {

class FinderTool {
public:
    // `box`: the owner-drawn control the crosshair sits in, a child of `dlg`.
    FinderTool(HWND dlg, int box);
    FinderTool(const FinderTool&) = delete;
    FinderTool& operator=(const FinderTool&) = delete;

    bool Dragging() const { return dragging_; }
    void Draw(const DRAWITEMSTRUCT& item) const;

    // The mouse on the dialog, in its client coordinates. Down: true when the drag
    // begins (the press was on the box). Move: true when the window under the
    // pointer changed, now `target` (null: none to take). Up: the window to take.
    bool OnDown(POINT client);
    bool OnMove(POINT client, HWND& target);
    HWND OnUp(POINT client);
    // The drag ends without a choice (the capture was taken away).
    void Cancel();
    // Escape during a drag: lets the capture go, which ends the drag.
    void Abort() const;

private:
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
