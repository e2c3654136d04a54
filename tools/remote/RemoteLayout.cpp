#include "RemoteLayout.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "UiText.h"
#include "config/QRTLIRSet.h"
#include "resource.h"

namespace remote {

namespace {

// Column widths in dialog units, so they follow the font and the screen's DPI.
constexpr int kColumnWidths[kColumnCount] = {34, 95, 24, 122, 56};
constexpr const char* kColumnTitles[kColumnCount] = {"Key", "In words", "Code", "Action", "Status"};

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

int DialogUnitsToPixels(HWND dlg, int units) {
    RECT r = {0, 0, units, 0};
    ::MapDialogRect(dlg, &r);
    return r.right;
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

void AddKeyColumns(HWND dlg, HWND keys) {
    ListView_SetExtendedListViewStyle(keys, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER);
    for (int c = 0; c < kColumnCount; ++c) {
        const std::wstring title = Widen(kColumnTitles[c]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.cx = DialogUnitsToPixels(dlg, kColumnWidths[c]);
        column.pszText = const_cast<wchar_t*>(title.c_str());
        column.iSubItem = c;
        ::SendMessageW(keys, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
    }
    for (int i = 0; i < kRemoteKeyCount; ++i) {
        const std::wstring name = Widen(RemoteKeyNames[i]);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<wchar_t*>(name.c_str());
        ::SendMessageW(keys, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    FitActionColumn(dlg, keys);
}

void FitActionColumn(HWND dlg, HWND keys) {
    RECT client;
    ::GetClientRect(keys, &client);
    int others = 0;
    for (int c = 0; c < kColumnCount; ++c)
        if (c != kColAction) others += ListView_GetColumnWidth(keys, c);
    const int least = DialogUnitsToPixels(dlg, kColumnWidths[kColAction]);
    const int width = static_cast<int>(client.right) - others;
    ListView_SetColumnWidth(keys, kColAction, width > least ? width : least);
}

void FitWrappedRows(HWND list, int indent, int least) {
    const auto count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
    if (count <= 0) return;
    const HDC dc = ::GetDC(list);
    const HGDIOBJ oldFont = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(list, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    const int lowest = std::max<int>(least, metrics.tmHeight) + 2;
    // Twice when the rows' new heights bring or take the vertical scroll bar: the
    // width to wrap at changes with it.
    for (int pass = 0; pass < 2; ++pass) {
        RECT client;
        ::GetClientRect(list, &client);
        for (LRESULT i = 0; i < count; ++i) {
            const auto length = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
            std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
            ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
            text.resize(static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
            RECT needed = {0, 0, std::max<LONG>(client.right - indent, 1), 0};
            ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed,
                        DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
            const int height = std::max<int>(lowest, needed.bottom + 2);
            ::SendMessageW(list, LB_SETITEMHEIGHT, static_cast<WPARAM>(i), static_cast<LPARAM>(height));
        }
        RECT after;
        ::GetClientRect(list, &after);
        if (after.right == client.right) break;
    }
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(list, dc);
    ::InvalidateRect(list, nullptr, TRUE);
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
