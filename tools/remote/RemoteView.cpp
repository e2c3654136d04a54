// What the set-up window shows of its unsaved profile: the key rows, the findings
// in the owner's words, the TV application, the receiver and the banner.
#include "RemoteWindow.h"

#include <commctrl.h>

#include <algorithm>

#include "RemoteLayout.h"
#include "UiText.h"
#include "driver/CardDriver.h"
#include "platform/win32/Win32Config.h"
#include "resource.h"
#include "setup/LaunchFinding.h"
#include "tools/common/MonitorControl.h"
#include "setup/win32/PathKind.h"
#include "setup/win32/Win32KeySecurity.h"

namespace remote {

namespace {

using qrtl::setup::KeyRow;

constexpr int kIconSize = 16;
constexpr int kIconGap = 4;

// The system's small icon of a severity; none for the line that says all is well.
HICON SeverityIcon(qrtl::Severity severity) {
    // The system's icon ids (IDI_ERROR ...), as the wide functions take them.
    const WORD id = severity == qrtl::Severity::Error     ? 32513
                    : severity == qrtl::Severity::Warning ? 32515
                                                          : 32516;
    return static_cast<HICON>(::LoadImageW(nullptr, MAKEINTRESOURCEW(id), IMAGE_ICON, kIconSize, kIconSize, LR_SHARED));
}

}  // namespace

void RemoteWindow::Refresh() {
    if (selector_) selector_->Fill();
    qrtl::win32::Win32Registry registry;
    qrtl::CheckEnvironment environment;
    environment.registry = &registry;
    environment.pathKind = qrtl::win32::KindOfPath;
    environment.usersCanWrite = qrtl::win32::MachineKeyUsersCanWrite;
    session_.Recheck(environment, CardDriverFileName());
    ShowKeys();
    ShowFindings();
    ShowClient();
    EnableButtons();
}

void RemoteWindow::ShowKeys() {
    const std::vector<KeyRow>& rows = session_.Rows();
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const KeyRow& row = rows[static_cast<std::size_t>(i)];
        const std::string texts[kColumnCount] = {row.name, row.legend, FromAnsi(row.code), FromAnsi(row.action),
                                                 qrtl::setup::StatusInWords(row)};
        for (int c = 0; c < kColumnCount; ++c) {
            const std::wstring text = Widen(texts[c]);
            LVITEMW item{};
            item.iSubItem = c;
            item.pszText = const_cast<wchar_t*>(text.c_str());
            ::SendMessageW(keys_, LVM_SETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        }
    }
}

void RemoteWindow::ShowFindings() {
    const HWND list = ::GetDlgItem(dlg_, res::kFindings);
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    const std::vector<qrtl::setup::FindingRow>& findings = session_.Findings();
    for (const auto& finding : findings)
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(FromAnsi(finding.text)).c_str()));
    if (findings.empty())
        ::SendMessageW(list, LB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(L"Nothing: the monitor reads this profile as you mean it."));
    FitFindingRows();
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

void RemoteWindow::ShowClient() {
    qrtl::win32::Win32Registry registry;
    qrtl::setup::World world;
    world.monitorRuns = tools::FindMonitor() != nullptr;
    world.clientOpen = FindClientNow() != nullptr;
    world.launch = qrtl::setup::FindLaunch(session_.Profile().Document(), registry, qrtl::win32::KindOfPath);
    world.driver = CardDriverFileName();
    const qrtl::setup::SessionView view = session_.View(world);
    SetItemTextIfChanged(dlg_, res::kClientDesc, FromAnsi(view.client));
    SetItemTextIfChanged(dlg_, res::kLaunch, FromAnsi(view.launch));
    SetItemTextIfChanged(dlg_, res::kReceiver, view.receiver);
    banner_.Show(view.facts);
}

void RemoteWindow::FitFindingRows() {
    FitWrappedRows(::GetDlgItem(dlg_, res::kFindings), 2 + kIconSize + kIconGap, kIconSize);
}

void RemoteWindow::DrawFinding(const DRAWITEMSTRUCT& item) {
    if (item.itemID == static_cast<UINT>(-1)) return;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    RECT text = item.rcItem;
    text.left += 2;
    const std::vector<qrtl::setup::FindingRow>& findings = session_.Findings();
    if (item.itemID < findings.size()) {
        const int top = item.rcItem.top + 1;  // beside the first line
        ::DrawIconEx(item.hDC, text.left, top, SeverityIcon(findings[item.itemID].severity), kIconSize, kIconSize, 0,
                     nullptr, DI_NORMAL);
    }
    text.left += kIconSize + kIconGap;
    const auto length = ::SendMessageW(item.hwndItem, LB_GETTEXTLEN, item.itemID, 0);
    std::wstring words(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
    ::SendMessageW(item.hwndItem, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(&words[0]));
    words.resize(static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
    ::SetBkMode(item.hDC, TRANSPARENT);
    ::SetTextColor(item.hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    text.top += 1;
    ::DrawTextW(item.hDC, words.c_str(), static_cast<int>(words.size()), &text,
                DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
    if (item.itemState & ODS_FOCUS) ::DrawFocusRect(item.hDC, &item.rcItem);
}

}  // namespace remote
