#include "FindingList.h"

#include <algorithm>
#include <string>

#include "UiText.h"

namespace remote {

namespace {

constexpr int kIconSize = 16;
constexpr int kIconGap = 4;
constexpr int kIndent = 2;
// A row's item data: 0 for no icon (the line that says all is well), else the
// severity plus one.
constexpr LPARAM kNoIcon = 0;

LPARAM RowData(qrtl::Severity severity) { return static_cast<LPARAM>(severity) + 1; }

// The system's small icon of a row's severity; none for the line that says all is well.
HICON SeverityIcon(LRESULT data) {
    if (data <= kNoIcon) return nullptr;
    const auto severity = static_cast<qrtl::Severity>(data - 1);
    // The system's icon ids (IDI_ERROR ...), as the wide functions take them.
    const WORD id = severity == qrtl::Severity::Error     ? 32513
                    : severity == qrtl::Severity::Warning ? 32515
                                                          : 32516;
    return static_cast<HICON>(::LoadImageW(nullptr, MAKEINTRESOURCEW(id), IMAGE_ICON, kIconSize, kIconSize, LR_SHARED));
}

std::wstring RowText(HWND list, WPARAM row) {
    const auto length = std::max<LRESULT>(::SendMessageW(list, LB_GETTEXTLEN, row, 0), 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

void AddRow(HWND list, const std::string& text, LPARAM data) {
    const auto at = ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
    if (at >= 0) ::SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(at), data);
}

}  // namespace

void FindingList::Attach(HWND dlg, int id) { list_ = ::GetDlgItem(dlg, id); }

void FindingList::Show(const std::vector<qrtl::setup::FindingRow>& findings) {
    ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list_, LB_RESETCONTENT, 0, 0);
    for (const auto& finding : findings) AddRow(list_, FromAnsi(finding.text), RowData(finding.severity));
    if (findings.empty()) AddRow(list_, "Nothing: the monitor reads this profile as you mean it.", kNoIcon);
    FitRows();
    ::SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list_, nullptr, TRUE);
}

int FindingList::Selected() const { return static_cast<int>(::SendMessageW(list_, LB_GETCURSEL, 0, 0)); }

void FindingList::Draw(const DRAWITEMSTRUCT& item) const {
    if (item.itemID == static_cast<UINT>(-1)) return;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    RECT text = item.rcItem;
    text.left += kIndent;
    if (const HICON icon = SeverityIcon(static_cast<LRESULT>(item.itemData)))
        ::DrawIconEx(item.hDC, text.left, item.rcItem.top + 1, icon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
    text.left += kIconSize + kIconGap;
    const std::wstring words = RowText(item.hwndItem, item.itemID);
    ::SetBkMode(item.hDC, TRANSPARENT);
    ::SetTextColor(item.hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    text.top += 1;
    ::DrawTextW(item.hDC, words.c_str(), static_cast<int>(words.size()), &text,
                DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
    if (item.itemState & ODS_FOCUS) ::DrawFocusRect(item.hDC, &item.rcItem);
}

// Each row as tall as its text wrapped at words beside the icon, at least the
// icon's height: the list never scrolls sideways.
void FindingList::FitRows() const {
    if (list_ == nullptr) return;
    const auto count = ::SendMessageW(list_, LB_GETCOUNT, 0, 0);
    if (count <= 0) return;
    const int indent = kIndent + kIconSize + kIconGap;
    const HDC dc = ::GetDC(list_);
    const HGDIOBJ oldFont = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(list_, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    const int lowest = std::max<int>(kIconSize, metrics.tmHeight) + 2;
    // Twice when the rows' new heights bring or take the vertical scroll bar: the
    // width to wrap at changes with it.
    for (int pass = 0; pass < 2; ++pass) {
        RECT client;
        ::GetClientRect(list_, &client);
        for (LRESULT i = 0; i < count; ++i) {
            const std::wstring text = RowText(list_, static_cast<WPARAM>(i));
            RECT needed = {0, 0, std::max<LONG>(client.right - indent, 1), 0};
            ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed,
                        DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
            const int height = std::max<int>(lowest, needed.bottom + 2);
            ::SendMessageW(list_, LB_SETITEMHEIGHT, static_cast<WPARAM>(i), static_cast<LPARAM>(height));
        }
        RECT after;
        ::GetClientRect(list_, &after);
        if (after.right == client.right) break;
    }
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(list_, dc);
    ::InvalidateRect(list_, nullptr, TRUE);
}

}  // namespace remote
