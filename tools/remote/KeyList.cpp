#include "KeyList.h"

#include <commctrl.h>

#include <string>

#include "UiText.h"
#include "config/QRTLIRSet.h"

namespace remote {

namespace {

enum Column { kColKey, kColLegend, kColCode, kColAction, kColStatus, kColumnCount };

// Column widths in dialog units, so they follow the font and the screen's DPI.
constexpr int kColumnWidths[kColumnCount] = {34, 95, 24, 122, 56};
constexpr const char* kColumnTitles[kColumnCount] = {"Key", "In words", "Code", "Action", "Status"};

int DialogUnitsToPixels(HWND dlg, int units) {
    RECT r = {0, 0, units, 0};
    ::MapDialogRect(dlg, &r);
    return r.right;
}

}  // namespace

void KeyList::Attach(HWND dlg, int id) {
    dlg_ = dlg;
    list_ = ::GetDlgItem(dlg, id);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER);
    for (int c = 0; c < kColumnCount; ++c) {
        const std::wstring title = Widen(kColumnTitles[c]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.cx = DialogUnitsToPixels(dlg, kColumnWidths[c]);
        column.pszText = const_cast<wchar_t*>(title.c_str());
        column.iSubItem = c;
        ::SendMessageW(list_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
    }
    for (int i = 0; i < kRemoteKeyCount; ++i) {
        const std::wstring name = Widen(RemoteKeyNames[i]);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<wchar_t*>(name.c_str());
        ::SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    FitColumns();
}

void KeyList::Show(const std::vector<qrtl::setup::KeyRow>& rows) {
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const qrtl::setup::KeyRow& row = rows[static_cast<std::size_t>(i)];
        const std::string texts[kColumnCount] = {row.name, row.legend, FromAnsi(row.code), FromAnsi(row.action),
                                                 qrtl::setup::StatusInWords(row)};
        for (int c = 0; c < kColumnCount; ++c) {
            const std::wstring text = Widen(texts[c]);
            LVITEMW item{};
            item.iSubItem = c;
            item.pszText = const_cast<wchar_t*>(text.c_str());
            ::SendMessageW(list_, LVM_SETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        }
    }
}

int KeyList::Selected() const {
    return static_cast<int>(::SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void KeyList::Select(int index) {
    ListView_SetItemState(list_, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list_, index, FALSE);
}

void KeyList::FitColumns() {
    if (list_ == nullptr) return;
    RECT client;
    ::GetClientRect(list_, &client);
    int others = 0;
    for (int c = 0; c < kColumnCount; ++c)
        if (c != kColAction) others += ListView_GetColumnWidth(list_, c);
    const int least = DialogUnitsToPixels(dlg_, kColumnWidths[kColAction]);
    const int width = static_cast<int>(client.right) - others;
    ListView_SetColumnWidth(list_, kColAction, width > least ? width : least);
}

void KeyList::Focus() const { ::SendMessageW(dlg_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list_), TRUE); }

}  // namespace remote
