#include "RemoteWindow.h"

#include <commctrl.h>

#include <utility>

#include "RemoteLayout.h"
#include "UiText.h"
#include "WorldLook.h"
#include "resource.h"
#include "setup/EnterEscape.h"
#include "tools/common/MonitorControl.h"

namespace remote {

RemoteWindow::RemoteWindow(std::string profilePath, std::string fileText, bool readOnly)
    : ToolDialog(res::kDlgRemote), profilePath_(std::move(profilePath)), session_(std::move(fileText), readOnly) {}

RemoteWindow::~RemoteWindow() = default;

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
        if (news.what == FinderNews::What::Took) TakeWindow(news.target);
        if (!FinderWords(news).empty()) view_.Live(FinderWords(news));
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

void RemoteWindow::Refresh() {
    if (selector_) selector_->Fill();
    RecheckWithSystem(session_);
    keys_.Show(session_.Rows());
    findings_.Show(session_.Findings());
    ShowClient();
    EnableButtons();
}

void RemoteWindow::ShowClient() {
    const qrtl::setup::SessionView view = session_.View(WorldNow(session_));
    view_.ShowLines(view);
    banner_.Show(view.facts);
}

void RemoteWindow::EnableButtons() {
    const qrtl::setup::ControlStates states = session_.Controls(keys_.Selected(), tools::FindMonitor() != nullptr);
    view_.Show(states);
    if (selector_) selector_->Enable(states.applications);
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
    if (tools::FindMonitor() == nullptr) learn_.Probe();  // a problem is shown below; learning stays off
    selector_ = std::make_unique<AppSelector>(dlg_, session_);
    FillWindowList();
    ReadCatalog();
    Refresh();
    keys_.Select(0);
    // The first thing still missing: the application while none is chosen, else the keys.
    const bool chosen = session_.StartFocus() == qrtl::setup::FirstFocus::KeyList;
    ::SetFocus(chosen ? keys_.Handle() : windows_.Handle());
    view_.Live(qrtl::setup::Greeting(session_.Facts(tools::FindMonitor() != nullptr)));
    ::SetTimer(dlg_, kTimerLook, kLookIntervalMs, nullptr);
    return false;  // the focus is set
}

void RemoteWindow::OnCommand(int id, int code) {
    qrtl::setup::AppStep selected;
    if (selector_ && selector_->OnCommand(id, code, selected)) return FollowApp(selected, {});
    if (id == res::kWindows && code == CBN_DROPDOWN) return FillWindowList();
    if (id == res::kFindings && code == LBN_DBLCLK) return GoToFinding();
    if (id == IDOK) return OnEnter(::GetFocus());  // Enter where no button has the focus
    using Press = void (*)(RemoteWindow&);
    static const std::pair<int, Press> kButtons[] = {
        {res::kUseWindow, [](RemoteWindow& w) { w.UseChosenWindow(); }},
        {res::kFill, [](RemoteWindow& w) { w.FollowApp(w.session_.FillActions(false), {}); }},
        // Learn reads Skip while learning: the mouse's Escape.
        {res::kLearn,
         [](RemoteWindow& w) {
             w.session_.Learning() ? w.Follow(w.session_.Skip()) : w.StartLearning(w.keys_.Selected(), false);
         }},
        {res::kLearnAll, [](RemoteWindow& w) { w.StartLearning(0, true); }},
        {res::kAction, [](RemoteWindow& w) { w.OnAction(); }},
        {res::kTest, [](RemoteWindow& w) { w.OnKeyButton(&KeyButtons::Test); }},
        {res::kClear, [](RemoteWindow& w) { w.OnKeyButton(&KeyButtons::Clear); }},
        {res::kSave, [](RemoteWindow& w) { w.Save(); }},
        {res::kSaveAs, [](RemoteWindow& w) { w.SaveAs(); }},
        {res::kClose, [](RemoteWindow& w) { w.Close(); }},
        {IDCANCEL, [](RemoteWindow& w) { w.OnEscape(); }},
    };
    for (const auto& [button, press] : kButtons)
        if (button == id) return press(*this);
}

void RemoteWindow::OnAction() {
    // The program file's menus name the commands: the chooser opens once they are read.
    if (keys_.Selected() >= 0 && apps_.ReadingFile()) {
        actionWaiting_ = true;
        return;
    }
    OnKeyButton(&KeyButtons::Action);
}

void RemoteWindow::OnKeyButton(KeyDone (KeyButtons::*press)(int) const) {
    const int index = keys_.Selected();
    const KeyDone done = (keyButtons_.*press)(index);
    if (done.changed) keys_.Select(index);
    if (!done.live.empty()) view_.Live(done.live);
}

void RemoteWindow::OnEnter(HWND focus) {
    using qrtl::setup::EnterDoes;
    using qrtl::setup::EnterFocus;
    const EnterFocus on = focus == keys_.Handle()       ? EnterFocus::KeyList
                          : focus == findings_.Handle() ? EnterFocus::Findings
                          : focus == windows_.Handle()  ? EnterFocus::WindowList
                                                        : EnterFocus::Elsewhere;
    const EnterDoes does = qrtl::setup::WhatEnterDoes(on, keys_.Selected() >= 0, session_.Learning());
    if (does == EnterDoes::OpenAction) OnAction();
    if (does == EnterDoes::GoToFinding) GoToFinding();
    if (does == EnterDoes::TakeChosenWindow) UseChosenWindow();
}

void RemoteWindow::OnEscape() {
    using qrtl::setup::EscapeDoes;
    const EscapeDoes does = qrtl::setup::WhatEscapeDoes(session_.Learning(), finder_->Dragging());
    if (does == EscapeDoes::SkipKey) Follow(session_.Skip());
    if (does == EscapeDoes::EndDrag) finder_->Abort();
    if (does == EscapeDoes::Close) Close();
}

void RemoteWindow::GoToFinding() {
    const int at = findings_.Selected();
    const std::vector<qrtl::setup::FindingRow>& findings = session_.Findings();
    if (at >= 0 && static_cast<std::size_t>(at) < findings.size())
        view_.GoTo(qrtl::setup::LeadOf(findings[static_cast<std::size_t>(at)]));
}

}  // namespace remote
