#include "RemoteWindow.h"

#include <commctrl.h>

#include <utility>

#include "RemoteLayout.h"
#include "UiText.h"
#include "WindowList.h"
#include "product.h"
#include "resource.h"

namespace remote {

namespace {

using qrtl::setup::FindingGoal;
using qrtl::setup::KeyRow;

POINT PointOf(LPARAM lParam) { return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}; }

}  // namespace

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
            DrawFinding(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        else
            return FALSE;
        return TRUE;
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
    case WM_SETCURSOR:
        return OnMouse(msg, lParam);
    case WM_SIZE:
        layout_.Apply(LOWORD(lParam), HIWORD(lParam));
        if (keys_) FitActionColumn(dlg_, keys_);
        FitFindingRows();  // a new width wraps the findings anew
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
    if (header.code == NM_DBLCLK && SelectedKey() >= 0 && !session_.Learning()) OnAction();
}

bool RemoteWindow::OnInit() {
    banner_.Attach(dlg_);
    SetWindowIcons(dlg_);
    keys_ = ::GetDlgItem(dlg_, res::kKeys);
    AddKeyColumns(dlg_, keys_);
    finder_ = std::make_unique<FinderTool>(dlg_, res::kFinder);
    promptFont_ = BoldFontOf(dlg_);
    if (promptFont_)
        ::SendDlgItemMessageW(dlg_, res::kPrompt, WM_SETFONT, reinterpret_cast<WPARAM>(promptFont_.get()), FALSE);
    AnchorControls(layout_, dlg_);
    FitFindingRows();

    // The receiver: the monitor holds it while it runs; Learn asks to close it.
    if (tools::FindMonitor() == nullptr) ProbeReceiver();  // a problem is shown below; learning stays off
    selector_ = std::make_unique<AppSelector>(dlg_, session_.Profile());
    FillWindowList();
    ReadCatalog(FindClientNow());
    Refresh();
    SelectKey(0);
    // The first thing still missing: the application while none is chosen, else the keys.
    const bool chosen = session_.StartFocus() == qrtl::setup::FirstFocus::KeyList;
    ::SetFocus(chosen ? keys_ : ::GetDlgItem(dlg_, res::kWindows));
    Live(qrtl::setup::Greeting(Facts()));
    ::SetTimer(dlg_, kTimerLook, kLookIntervalMs, nullptr);
    return false;  // the focus is set
}

void RemoteWindow::OnCommand(int id, int code) {
    if (selector_) {
        const SelectorResult selected = selector_->OnCommand(id, code);
        if (selected.handled) {
            if (selected.slotChanged) {  // another application: its own window and commands
                session_.ApplicationChanged();
                ReadCatalog(FindClientNow());
                FillWindowList();  // without the programs the other entries have
            }
            if (selected.slotChanged || selected.changed) Refresh();
            if (!selected.live.empty()) Live(selected.live);
            return;
        }
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
        if (SelectedKey() >= 0) StartLearning(SelectedKey(), false);
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
        OnEnter();
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

// Enter where no button has the focus: on a key row it opens the key's action, as
// a double click does; on a finding it goes to what the finding is about; in the
// window list it takes the window chosen. Never Save: that is a button of its own.
void RemoteWindow::OnEnter() {
    const HWND focus = ::GetFocus();
    if (focus == keys_ && SelectedKey() >= 0 && !session_.Learning())
        OnAction();
    else if (focus == ::GetDlgItem(dlg_, res::kFindings))
        GoToFinding();
    else if (focus == ::GetDlgItem(dlg_, res::kWindows) && !session_.Learning())
        UseChosenWindow();  // as "Use this window"
}

void RemoteWindow::OnEscape() {
    // Escape skips the key being learned; otherwise it closes, as in any dialog.
    if (session_.Learning())
        Follow(session_.Skip());
    else if (finder_->Dragging())
        finder_->Abort();
    else
        Close();
}

void RemoteWindow::UseChosenWindow() {
    const auto at = ::SendDlgItemMessageW(dlg_, res::kWindows, CB_GETCURSEL, 0, 0);
    if (at < 0 || static_cast<std::size_t>(at) >= windowList_.size()) {
        Live("Choose the TV application's window in the list first.");
        return;
    }
    TakeWindow(windowList_[static_cast<std::size_t>(at)]);
}

void RemoteWindow::GoToFinding() {
    const auto at = ::SendDlgItemMessageW(dlg_, res::kFindings, LB_GETCURSEL, 0, 0);
    const std::vector<qrtl::setup::FindingRow>& findings = session_.Findings();
    if (at < 0 || static_cast<std::size_t>(at) >= findings.size()) return;
    const qrtl::setup::FindingLead lead = qrtl::setup::LeadOf(findings[static_cast<std::size_t>(at)]);
    const auto focus = [&](int id) {
        const HWND control = ::GetDlgItem(dlg_, id);
        // A control that is off now leaves the keyboard on the key list.
        if (::IsWindowEnabled(control))
            ::SendMessageW(dlg_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
        else
            FocusKeyList();
    };
    switch (lead.goal) {
    case FindingGoal::Key:
        SelectKey(lead.key);
        FocusKeyList();
        return;
    case FindingGoal::WindowList:
        focus(res::kWindows);
        Live("The TV application's lines: take its window again to complete them.");
        return;
    case FindingGoal::Fill:
        focus(res::kFill);
        return;
    case FindingGoal::LearnAll:
        focus(res::kLearnAll);
        return;
    case FindingGoal::Stay:
        return;
    }
}

void RemoteWindow::EnableButtons() {
    const qrtl::setup::ControlStates states = session_.Controls(SelectedKey(), tools::FindMonitor() != nullptr);
    const auto enable = [&](int id, bool on) {
        const HWND button = ::GetDlgItem(dlg_, id);
        if (!on) KeepFocusOff(button);
        ::EnableWindow(button, on ? TRUE : FALSE);
    };
    enable(res::kLearn, states.learn);
    enable(res::kLearnAll, states.learnAll);
    enable(res::kAction, states.action);
    enable(res::kTest, states.test);
    enable(res::kClear, states.clear);
    enable(res::kFill, states.fill);
    enable(res::kUseWindow, states.useWindow);
    enable(res::kSave, states.save);
    enable(res::kSaveAs, states.saveAs);
    if (selector_) selector_->Enable(states.applications);
    for (const qrtl::setup::ControlCaption& caption : qrtl::setup::Captions(states.learnAllReadsStop))
        if (caption.control == qrtl::setup::Control::LearnAll) SetItemTextIfChanged(dlg_, res::kLearnAll, caption.caption);
}

void RemoteWindow::FocusKeyList() {
    // Through the dialog manager, so that it keeps its idea of the focus and of
    // the default button.
    ::SendMessageW(dlg_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(keys_), TRUE);
}

void RemoteWindow::KeepFocusOff(HWND control) {
    // A disabled window loses the focus to nobody: Tab, the arrows and Escape
    // would do nothing until a click.
    if (control != nullptr && ::GetFocus() == control) FocusKeyList();
}

void RemoteWindow::Live(const std::string& text) { SetItemText(dlg_, res::kLive, " " + text); }

void RemoteWindow::SetPrompt(const std::string& text) {
    SetItemText(dlg_, res::kPrompt, text);
    // The prompt takes the receiver line's place while a key is awaited; what
    // stopped learning is said on the status line.
    const bool prompting = !text.empty() && session_.Learning();
    ::ShowWindow(::GetDlgItem(dlg_, res::kPrompt), prompting ? SW_SHOW : SW_HIDE);
    ::ShowWindow(::GetDlgItem(dlg_, res::kReceiver), prompting ? SW_HIDE : SW_SHOW);
}

int RemoteWindow::SelectedKey() const {
    return static_cast<int>(::SendMessageW(keys_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void RemoteWindow::SelectKey(int index) {
    ListView_SetItemState(keys_, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(keys_, index, FALSE);
}

// ---- The finder tool ----

INT_PTR RemoteWindow::OnMouse(UINT msg, LPARAM lParam) {
    switch (msg) {
    case WM_LBUTTONDOWN:
        if (session_.Learning() || !finder_->OnDown(PointOf(lParam))) return FALSE;
        Live("Drag onto the TV application's window and release the mouse button there.");
        return TRUE;
    case WM_MOUSEMOVE: {
        HWND target = nullptr;
        if (finder_->Dragging() && finder_->OnMove(PointOf(lParam), target))
            Live(target ? "Release to take " + WindowWords(target) : "Drag onto the TV application's window.");
        return TRUE;
    }
    case WM_LBUTTONUP:
        if (!finder_->Dragging()) return TRUE;
        if (const HWND target = finder_->OnUp(PointOf(lParam)))
            TakeWindow(target);
        else
            Live("No window taken.");
        return TRUE;
    case WM_CAPTURECHANGED:
        // Taken away (another window, Alt+Tab): the drag ends without a choice.
        if (finder_->Dragging()) finder_->Cancel();
        return TRUE;
    case WM_SETCURSOR:
        if (!finder_->Dragging()) return FALSE;
        ::SetCursor(::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_CROSS)));
        SetResult(TRUE);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace remote
