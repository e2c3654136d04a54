#include "RemoteWindow.h"

#include <commctrl.h>

#include <utility>

#include "RemoteLayout.h"
#include "UiText.h"
#include "WindowList.h"
#include "product.h"
#include "resource.h"
#include "setup/EnterEscape.h"

namespace remote {

int Ask(HWND owner, const std::string& text, UINT flags) {
    return ::MessageBoxW(owner, Widen(text).c_str(), Widen(product::kRemoteCaption).c_str(), flags);
}

RemoteWindow::RemoteWindow(std::string profilePath, std::string fileText, bool readOnly)
    : ToolDialog(res::kDlgRemote), profilePath_(std::move(profilePath)), session_(std::move(fileText), readOnly) {}

RemoteWindow::~RemoteWindow() = default;

bool RemoteWindow::Create(int show) {
    if (!CreateModeless(nullptr)) return false;
    ::ShowWindow(dlg_, show);
    ::UpdateWindow(dlg_);
    return true;
}

int RemoteWindow::RunMessageLoop() {
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (dlg_ && ::IsDialogMessageW(dlg_, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}

INT_PTR RemoteWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    // While the monitor closes, the window is disabled and takes no command: a
    // close asked meanwhile waits until the monitor has ended.
    if (session_.Waiting()) {
        if (msg == WM_CLOSE || (msg == WM_COMMAND && LOWORD(wParam) == res::kClose)) session_.CloseAskedWhileWaiting();
        if (msg == WM_COMMAND || msg == WM_CLOSE || msg == WM_NOTIFY || msg == WM_LBUTTONDOWN) return TRUE;
    }
    switch (msg) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY:
        OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        return TRUE;
    case WM_DRAWITEM:
        if (wParam == static_cast<WPARAM>(res::kFinder))
            finder_->Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        else if (wParam == static_cast<WPARAM>(res::kFindings))
            findings_.Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        else
            return FALSE;
        return TRUE;
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
    case WM_SETCURSOR: {
        const FinderNews news = finder_ ? finder_->OnMouse(msg, lParam, !session_.Learning()) : FinderNews{};
        OnFinder(news);
        return news.answer;
    }
    case WM_SIZE:
        layout_.Apply(LOWORD(lParam), HIWORD(lParam));
        keys_.FitColumns();
        findings_.FitRows();  // a new width wraps the findings anew
        return TRUE;
    case WM_GETMINMAXINFO:
        layout_.Limit(*reinterpret_cast<MINMAXINFO*>(lParam));
        return TRUE;
    case DM_GETDEFID:
        // No default button: Enter where no button has the focus comes as IDOK.
        SetResult(0);
        return TRUE;
    case WM_ACTIVATE:
        // The owner may have made the file writable (or read-only) meanwhile.
        if (LOWORD(wParam) != WA_INACTIVE) RecheckWritable();
        return FALSE;
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(banner_.Colour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case kMsgRead:
        OnRead();
        return TRUE;
    case WM_TIMER:
        if (wParam == kTimerHang) CheckReadHang();
        if (wParam == kTimerMonitorShows) CheckMonitorShows();
        if (wParam == kTimerLook) LookAgain();
        return TRUE;
    case WM_CLOSE:
        Close();
        return TRUE;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return TRUE;
    default:
        return FALSE;
    }
}

void RemoteWindow::OnNotify(const NMHDR& header) {
    if (header.idFrom != static_cast<UINT_PTR>(res::kKeys)) return;
    if (header.code == LVN_ITEMCHANGED) EnableButtons();
    if (header.code == NM_DBLCLK) OnEnter(keys_.Handle());
}

bool RemoteWindow::OnInit() {
    banner_.Attach(dlg_);
    SetWindowIcons(dlg_);
    keys_.Attach(dlg_, res::kKeys);
    findings_.Attach(dlg_, res::kFindings);
    windows_.Attach(dlg_, res::kWindows);
    view_.Attach(dlg_, keys_);
    finder_ = std::make_unique<FinderTool>(dlg_, res::kFinder);
    AnchorControls(layout_, dlg_);
    findings_.FitRows();

    // The receiver: the monitor holds it while it runs; Learn asks to close it.
    if (tools::FindMonitor() == nullptr) ProbeReceiver();  // a problem is shown below; learning stays off
    selector_ = std::make_unique<AppSelector>(dlg_, session_);
    FillWindowList();
    ReadCatalog(FindClientNow());
    Refresh();
    SelectKey(0);
    // The first thing still missing: the application while none is chosen, else the keys.
    const bool chosen = session_.StartFocus() == qrtl::setup::FirstFocus::KeyList;
    ::SetFocus(chosen ? keys_.Handle() : windows_.Handle());
    Live(qrtl::setup::Greeting(Facts()));
    ::SetTimer(dlg_, kTimerLook, kLookIntervalMs, nullptr);
    return false;  // the focus is set
}

void RemoteWindow::OnCommand(int id, int code) {
    qrtl::setup::AppStep selected;
    if (selector_ && selector_->OnCommand(id, code, selected)) {
        FollowApp(selected, {});
        return;
    }
    switch (id) {
    case res::kUseWindow:
        UseChosenWindow();
        return;
    case res::kWindows:
        if (code == CBN_DROPDOWN) FillWindowList();
        return;
    case res::kFill:
        FillFromCommands(false);
        return;
    case res::kLearn:
        if (session_.Learning())
            Follow(session_.Skip());
        else if (SelectedKey() >= 0)
            StartLearning(SelectedKey(), false);
        return;
    case res::kLearnAll:
        StartLearning(0, true);
        return;
    case res::kAction:
        OnAction();
        return;
    case res::kTest:
        OnTest();
        return;
    case res::kClear:
        OnClear();
        return;
    case res::kFindings:
        if (code == LBN_DBLCLK) GoToFinding();
        return;
    case res::kSave:
        Save();
        return;
    case IDOK:
        OnEnter(::GetFocus());
        return;
    case res::kSaveAs:
        SaveAs();
        return;
    case res::kClose:
        Close();
        return;
    case IDCANCEL:
        OnEscape();
        return;
    default:
        return;
    }
}

void RemoteWindow::OnEnter(HWND focus) {
    using qrtl::setup::EnterFocus;
    const EnterFocus on = focus == keys_.Handle()       ? EnterFocus::KeyList
                          : focus == findings_.Handle() ? EnterFocus::Findings
                          : focus == windows_.Handle()  ? EnterFocus::WindowList
                                                        : EnterFocus::Elsewhere;
    switch (qrtl::setup::WhatEnterDoes(on, SelectedKey() >= 0, session_.Learning())) {
    case qrtl::setup::EnterDoes::OpenAction:
        OnAction();
        return;
    case qrtl::setup::EnterDoes::GoToFinding:
        GoToFinding();
        return;
    case qrtl::setup::EnterDoes::TakeChosenWindow:
        UseChosenWindow();
        return;
    case qrtl::setup::EnterDoes::Nothing:
        return;
    }
}

void RemoteWindow::OnEscape() {
    switch (qrtl::setup::WhatEscapeDoes(session_.Learning(), finder_->Dragging())) {
    case qrtl::setup::EscapeDoes::SkipKey:
        Follow(session_.Skip());
        return;
    case qrtl::setup::EscapeDoes::EndDrag:
        finder_->Abort();
        return;
    case qrtl::setup::EscapeDoes::Close:
        Close();
        return;
    }
}

void RemoteWindow::UseChosenWindow() {
    const HWND chosen = windows_.Chosen();
    if (chosen == nullptr) {
        Live("Choose the TV application's window in the list first.");
        return;
    }
    TakeWindow(chosen);
}

void RemoteWindow::GoToFinding() {
    const int at = findings_.Selected();
    const std::vector<qrtl::setup::FindingRow>& findings = session_.Findings();
    if (at < 0 || static_cast<std::size_t>(at) >= findings.size()) return;
    const qrtl::setup::FindingLead lead = qrtl::setup::LeadOf(findings[static_cast<std::size_t>(at)]);
    using qrtl::setup::FindingGoal;
    switch (lead.goal) {
    case FindingGoal::Key:
        SelectKey(lead.key);
        FocusKeyList();
        return;
    case FindingGoal::WindowList:
        view_.FocusOn(res::kWindows);
        Live("The TV application's lines: take its window again to complete them.");
        return;
    case FindingGoal::Fill:
        view_.FocusOn(res::kFill);
        return;
    case FindingGoal::LearnAll:
        view_.FocusOn(res::kLearnAll);
        return;
    case FindingGoal::Stay:
        return;
    }
}

void RemoteWindow::OnFinder(const FinderNews& news) {
    switch (news.what) {
    case FinderNews::What::Began:
        Live("Drag onto the TV application's window and release the mouse button there.");
        return;
    case FinderNews::What::Over:
        Live(news.target ? "Release to take " + WindowWords(news.target) : "Drag onto the TV application's window.");
        return;
    case FinderNews::What::Took:
        TakeWindow(news.target);
        return;
    case FinderNews::What::NothingTaken:
        Live("No window taken.");
        return;
    case FinderNews::What::None:
        return;
    }
}

}  // namespace remote
