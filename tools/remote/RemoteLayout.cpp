#include "RemoteLayout.h"

#include <commctrl.h>

#include <algorithm>

#include "resource.h"

namespace remote {

namespace {

// The share of new height the key list takes when the window grows; the findings
// take the rest.
constexpr int kKeysShare = 70;
// The window may be made lower than at its start while this many keys still show.
constexpr int kLeastKeyRows = 8;

// The height of the key list that shows `rows` whole rows below its header.
int KeyListHeight(HWND keys, int rows) {
    RECT row = {};
    row.left = LVIR_BOUNDS;
    ::SendMessageW(keys, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    RECT header = {};
    ::GetWindowRect(ListView_GetHeader(keys), &header);
    RECT outer, inner;
    ::GetWindowRect(keys, &outer);
    ::GetClientRect(keys, &inner);
    const int frame = (outer.bottom - outer.top) - inner.bottom;
    // The list counts a row as shown only with a pixel to spare below it.
    return frame + (header.bottom - header.top) + rows * (row.bottom - row.top) + 2;
}

}  // namespace

void SetWindowIcons(HWND dlg) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    const auto icon = [&](int size) {
        return reinterpret_cast<LPARAM>(::LoadImageW(instance, MAKEINTRESOURCEW(res::kIconMain), IMAGE_ICON, size,
                                                     size, LR_DEFAULTCOLOR));
    };
    ::SendMessageW(dlg, WM_SETICON, ICON_BIG, icon(::GetSystemMetrics(SM_CXICON)));
    ::SendMessageW(dlg, WM_SETICON, ICON_SMALL, icon(::GetSystemMetrics(SM_CXSMICON)));
}

qrtl::win32::UniqueHFont BoldFontOf(HWND dlg) {
    LOGFONTW font{};
    const auto dialogFont = reinterpret_cast<HFONT>(::SendMessageW(dlg, WM_GETFONT, 0, 0));
    if (dialogFont == nullptr || ::GetObjectW(dialogFont, sizeof font, &font) == 0) return {};
    font.lfWeight = FW_BOLD;
    return qrtl::win32::UniqueHFont(::CreateFontIndirectW(&font));
}

void AnchorControls(AnchorLayout& layout, HWND dlg) {
    constexpr int k = kKeysShare;
    layout.Begin(dlg);
    for (int id : {res::kAppGroup, res::kClientDesc, res::kWindows, res::kLaunch, res::kReceiver, res::kPrompt})
        layout.Add(id, {0, 0, 100, 0});
    for (int id : {res::kUseWindow, res::kFill, res::kLearn, res::kAction, res::kTest, res::kClear})
        layout.Add(id, {100, 0, 100, 0});
    layout.Add(res::kKeysGroup, {0, 0, 100, k});
    layout.Add(res::kKeys, {0, 0, 100, k});
    layout.Add(res::kLearnAll, {100, k, 100, k});
    layout.Add(res::kFindingsGroup, {0, k, 100, 100});
    layout.Add(res::kFindings, {0, k, 100, 100});
    layout.Add(res::kLive, {0, 100, 100, 100});
    layout.Add(res::kSave, {100, 100, 100, 100});
    layout.Add(res::kClose, {100, 100, 100, 100});
    layout.Add(res::kBanner, {0, 100, 100, 100});
    layout.Add(res::kSaveAs, {100, 100, 100, 100});
    layout.Least(res::kKeys, KeyListHeight(::GetDlgItem(dlg, res::kKeys), kLeastKeyRows));
    FitOnScreen(dlg, layout);
}

void FitOnScreen(HWND dlg, const AnchorLayout& layout) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!::GetMonitorInfoW(::MonitorFromWindow(dlg, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const RECT& area = monitor.rcWork;
    RECT w;
    ::GetWindowRect(dlg, &w);
    MINMAXINFO limits{};
    layout.Limit(limits);
    const int height = std::max<int>(std::min<int>(w.bottom - w.top, area.bottom - area.top), limits.ptMinTrackSize.y);
    const int top = std::max<int>(area.top, std::min<int>(w.top, area.bottom - height));
    if (height == w.bottom - w.top && top == w.top) return;
    ::SetWindowPos(dlg, nullptr, w.left, top, w.right - w.left, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace remote
