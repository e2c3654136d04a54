#include "RemoteWindow.h"

#include <commctrl.h>

#include <algorithm>

#include "ActionDlg.h"
#include "ClearDlg.h"
#include "RemoteLayout.h"
#include "UiText.h"
#include "WindowList.h"
#include "config/QRTLIRSet.h"
#include "dispatch/MonitorSimulation.h"
#include "setup/KeyEdits.h"
#include "setup/ClientLines.h"
#include "setup/ClientSlots.h"
#include "setup/SlotWords.h"
#include "driver/CardDriver.h"
#include "setup/ClientLines.h"
#include "setup/FillPlan.h"
#include "setup/LaunchFinding.h"
#include "setup/OwnerWords.h"
#include "setup/win32/PathKind.h"
#include "setup/win32/SafeProfileWrite.h"
#include "setup/win32/Win32AppCommands.h"
#include "setup/win32/Win32ClientWindow.h"
#include "setup/win32/Win32KeySecurity.h"
#include "platform/win32/Win32Config.h"
#include "platform/win32/Win32Desktop.h"
#include "product.h"
#include "tools/common/MonitorControl.h"
#include "resource.h"

namespace remote {

namespace {

using qrtl::setup::FindingTarget;
using qrtl::setup::KeyRow;

constexpr UINT kRoundTripMs = 1000;
POINT PointOf(LPARAM lParam) { return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}; }

// The profile as the monitor would read it were the edited application the one
// POWER starts: its window search and its key map, for finding and testing it.
qrtl::ProfileDocument AsActive(const qrtl::setup::UnsavedProfile& profile) {
    qrtl::setup::UnsavedProfile view = profile;
    view.Change(qrtl::setup::PlanMakeActive(view.Document(), view.ClientIndex()));
    return view.Document();
}

// After Clear: what the key holds now.
std::string ClearedWords(const qrtl::setup::KeyEdit& edit) {
    if (!edit.left.code && !edit.left.action) return edit.key + " has no code and no action now.";
    if (!edit.left.code) return edit.key + " has no code now; its action stays.";
    return edit.key + " has no action now; its code stays.";
}

}  // namespace

int Ask(HWND owner, const std::string& text, UINT flags) {
    return ::MessageBoxW(owner, Widen(text).c_str(), Widen(product::kRemoteCaption).c_str(), flags);
}

RemoteWindow::RemoteWindow(std::string profilePath, std::string fileText, bool readOnly)
    : ToolDialog(res::kDlgRemote), profilePath_(std::move(profilePath)), savedText_(fileText), readOnly_(readOnly), profile_(std::move(fileText)) {}

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
    if (waitingForMonitor_) {
        if (msg == WM_CLOSE || (msg == WM_COMMAND && LOWORD(wParam) == res::kClose)) closeAsked_ = true;
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
        if (wParam != static_cast<WPARAM>(res::kFinder)) return FALSE;
        finder_->Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
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
        OnRead(wParam, lParam);
        return TRUE;
    case WM_TIMER:
        if (wParam == kTimerHang) CheckReadHang();
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
    if (header.code == NM_DBLCLK && SelectedKey() >= 0 && learnIndex_ < 0) OnAction();
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

    // The receiver: the monitor holds it while it runs; Learn asks to close it.
    if (tools::FindMonitor() == nullptr) ProbeReceiver();  // a problem is shown below; learning stays off
    selector_ = std::make_unique<AppSelector>(dlg_, profile_);
    FillWindowList();
    ReadCatalog(FindClientNow());
    Refresh();
    SelectKey(0);
    ::SetFocus(keys_);
    Live(qrtl::setup::Greeting(Facts()));
    return false;  // the focus is set: on the key list
}

void RemoteWindow::OnCommand(int id, int code) {
    if (selector_) {
        const SelectorResult selected = selector_->OnCommand(id, code);
        if (selected.handled) {
            if (selected.slotChanged) {  // another application: its own window and commands
                catalog_ = {};
                launchNotFound_ = false;
                ReadCatalog(FindClientNow());
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
// a double click does; on a finding it goes to what the finding is about. Never
// Save: that is a button of its own.
void RemoteWindow::OnEnter() {
    const HWND focus = ::GetFocus();
    if (focus == keys_ && SelectedKey() >= 0 && learnIndex_ < 0)
        OnAction();
    else if (focus == ::GetDlgItem(dlg_, res::kFindings))
        GoToFinding();
}

void RemoteWindow::OnEscape() {
    // Escape skips the key being learned; otherwise it closes, as in any dialog.
    if (learnIndex_ >= 0)
        NextKey(true);
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
    if (at < 0 || static_cast<std::size_t>(at) >= findings_.size()) return;
    const auto& finding = findings_[static_cast<std::size_t>(at)];
    if (finding.target == FindingTarget::Key) {
        for (int i = 0; i < kRemoteKeyCount; ++i)
            if (finding.key == RemoteKeyNames[i]) SelectKey(i);
        ::SetFocus(keys_);
    } else if (finding.target == FindingTarget::Client) {
        ::SetFocus(::GetDlgItem(dlg_, res::kWindows));
        Live("The TV application's lines: take its window again to complete them.");
    }
}

void RemoteWindow::Refresh() {
    if (selector_) selector_->Fill();
    qrtl::win32::Win32Registry registry;
    qrtl::CheckEnvironment environment;
    environment.registry = &registry;
    environment.pathKind = qrtl::win32::KindOfPath;
    environment.usersCanWrite = qrtl::win32::MachineKeyUsersCanWrite;
    std::vector<qrtl::setup::FindingRow> checked = qrtl::setup::FindingsInWords(profile_, environment);
    rows_ = qrtl::setup::KeyRows(profile_, catalog_, checked);
    findings_ = qrtl::setup::OwnerFindings(std::move(checked));
    qrtl::setup::PutReceiverFinding(findings_, receiverFault_, CardDriverFileName());
    ShowKeys();
    ShowFindings();
    ShowClient();
    EnableButtons();
}

void RemoteWindow::ShowKeys() {
    for (int i = 0; i < static_cast<int>(rows_.size()); ++i) {
        const KeyRow& row = rows_[static_cast<std::size_t>(i)];
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
    for (const auto& finding : findings_)
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(FromAnsi(finding.text)).c_str()));
    if (findings_.empty())
        ::SendMessageW(list, LB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(L"Nothing: the monitor reads this profile as you mean it."));
    // Scrolls sideways only as far as the longest finding reaches.
    const HDC dc = ::GetDC(list);
    const HGDIOBJ oldFont = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(list, WM_GETFONT, 0, 0)));
    LONG widest = 0;
    for (const auto& finding : findings_) {
        const std::wstring text = Widen(FromAnsi(finding.text));
        SIZE size = {};
        if (::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size))
            widest = std::max(widest, size.cx);
    }
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(list, dc);
    ::SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

void RemoteWindow::ShowClient() {
    const int32_t n = profile_.ClientIndex();
    const std::string item = profile_.ClientItem();
    const std::string caption = profile_.Get(profile::kCaption, n);
    const std::string className = profile_.Get(profile::kClassName, n);
    std::string desc;
    if (n >= 0 && n < qrtl::setup::kDescribedClients) desc = profile_.Get(profile::kExeDesc, n);
    if (desc.empty()) desc = caption.empty() ? item : caption;
    std::string text;
    if (item.empty() && caption.empty() && className.empty()) {
        text = "none chosen yet: drag the crosshair onto its window, or choose it from the list";
    } else {
        text = FromAnsi(desc) + (item.empty() ? "" : " (" + FromAnsi(item) + ")");
        text += FindClientNow() ? ", its window is open now" : ", its window is not found now";
    }
    SetItemText(dlg_, res::kClientDesc, text);

    qrtl::win32::Win32Registry registry;
    const qrtl::setup::LaunchFinding launch =
        qrtl::setup::FindLaunch(profile_.Document(), registry, qrtl::win32::KindOfPath);
    const std::string launchWords = qrtl::setup::LaunchInWords(launch, launchNotFound_);
    SetItemText(dlg_, res::kLaunch, FromAnsi(launchWords));

    const qrtl::setup::WindowFacts facts = Facts();
    SetItemText(dlg_, res::kReceiver, qrtl::setup::ReceiverLine(facts, CardDriverFileName()));
    banner_.Show(facts);
}

void RemoteWindow::EnableButtons() {
    const int selected = SelectedKey();
    const bool learning = learnIndex_ >= 0;
    const qrtl::setup::WindowGate gate = qrtl::setup::GateWindow(Facts());
    const bool canLearn = gate.learn == qrtl::setup::OffReason::None;
    const bool hasRow = selected >= 0 && static_cast<std::size_t>(selected) < rows_.size();
    const auto enable = [&](int id, bool on) {
        const HWND button = ::GetDlgItem(dlg_, id);
        if (!on) KeepFocusOff(button);
        ::EnableWindow(button, on ? TRUE : FALSE);
    };
    enable(res::kLearn, canLearn && hasRow);
    enable(res::kLearnAll, canLearn || learning);  // it reads Stop while learning
    enable(res::kAction, !learning && hasRow);
    enable(res::kTest, !learning && hasRow && !rows_[static_cast<std::size_t>(selected)].command.empty());
    enable(res::kClear, !learning && hasRow);
    enable(res::kFill, !learning && !catalog_.Empty());
    enable(res::kUseWindow, !learning);
    enable(res::kSave, gate.save == qrtl::setup::OffReason::None);
    enable(res::kSaveAs, gate.saveAs == qrtl::setup::OffReason::None);
    if (selector_) selector_->Enable(!learning);
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

void RemoteWindow::SetPrompt(const std::string& text) { SetItemText(dlg_, res::kPrompt, text); }

int RemoteWindow::SelectedKey() const {
    return static_cast<int>(::SendMessageW(keys_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void RemoteWindow::SelectKey(int index) {
    ListView_SetItemState(keys_, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(keys_, index, FALSE);
}

HWND RemoteWindow::FindClientNow() {
    qrtl::win32::Win32Desktop desktop;
    const qrtl::ProfileDocument document = AsActive(profile_);
    dispatch::MonitorSimulation monitor(document, {nullptr, &desktop});
    // Without any client line the search would take any window with no children.
    if (!monitor.ClientNamed()) return nullptr;
    return reinterpret_cast<HWND>(monitor.FindClientWindow());
}

// ---- The TV application ----

void RemoteWindow::FillWindowList() {
    const HWND combo = ::GetDlgItem(dlg_, res::kWindows);
    const auto at = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    const HWND chosen = at >= 0 && static_cast<std::size_t>(at) < windowList_.size()
                            ? windowList_[static_cast<std::size_t>(at)]
                            : nullptr;
    windowList_ = ApplicationWindows();
    ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    int select = -1;
    for (std::size_t i = 0; i < windowList_.size(); ++i) {
        const HWND wnd = windowList_[i];
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(WindowListLine(wnd)).c_str()));
        if (wnd == chosen) select = static_cast<int>(i);
    }
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(select), 0);
}

// What the owner is told of a read that stopped early.
static std::string CatalogNotes(const qrtl::setup::AppCatalog& catalog) {
    std::string words;
    if (!catalog.controlsNote.empty()) words += " Note: " + catalog.controlsNote + ".";
    if (catalog.menusCut) words += " Note: its menus are too large: only the first commands are listed.";
    return words;
}

void RemoteWindow::TakeWindow(HWND target) {
    target = target ? ::GetAncestor(target, GA_ROOT) : nullptr;
    if (target == nullptr || !::IsWindow(target)) {
        Live("That window is gone: choose the TV application's window again.");
        return;
    }
    if (OwnWindow(target)) {
        Live("That is this set-up window: choose the TV application's window.");
        return;
    }
    const std::string words = WindowWords(target);
    Live("Examining " + words + " ...");
    ::UpdateWindow(::GetDlgItem(dlg_, res::kLive));

    qrtl::win32::Win32Desktop desktop;
    qrtl::win32::Win32Registry registry;
    bool unique = false;
    int childCount = 0;
    const qrtl::setup::ClientWindowFacts facts =
        qrtl::win32::ExamineClientWindow(desktop, registry, target, unique, childCount);
    // The commands are read on a worker: a slow application must not freeze this
    // window. The window is taken once they are read.
    auto taken = [this, target, words, facts](CatalogResult& read) {
        // A window that went away meanwhile leaves facts of nobody: nothing is taken. One
        // round trip first, so that a window closing on its own thread has done so (a
        // hung one costs a second here).
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(target, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kRoundTripMs, &ignored);
        if (!::IsWindow(target) || facts.item.empty()) {
            Ask(dlg_,
                "The application closed while it was being examined, or its program cannot be told: nothing was "
                "taken.\n\nStart it again and take its window once more.",
                MB_OK | MB_ICONEXCLAMATION);
            Live("Nothing was taken: the application's window went away.");
            return;
        }
        // All of the slot's lines together; the owner decides before anything is taken.
        // A window whose commands could not be read at all (hung, or none to read) is
        // not judged: only one that shows commands and none for a TV.
        const std::vector<qrtl::setup::Suggestion> suggestions = qrtl::setup::SuggestCommands(read.catalog);
        const std::vector<qrtl::setup::Suggestion>* judged = read.catalog.Empty() ? nullptr : &suggestions;
        int32_t slot = std::max<int32_t>(0, selector_->Slot());
        qrtl::setup::SlotTakePlan plan = qrtl::setup::PlanTakeWindow(slot, facts, profile_.Document(), judged);
        const std::string noCommands = FromAnsi(qrtl::setup::NoTvCommandsWords(plan.app, plan.commands));
        if (!noCommands.empty() && Ask(dlg_, noCommands + "\n\nTake it for the remote anyway?",
                                       MB_OKCANCEL | MB_ICONWARNING | MB_DEFBUTTON2) != IDOK) {
            Live("Nothing was taken: " + noCommands);
            return;
        }
        if (plan.replace.ask) {
            const ReplaceAnswer answer = AskReplace(dlg_, plan.replace);
            if (answer == ReplaceAnswer::Cancel) {
                Live("Nothing was taken: " + FromAnsi(plan.replace.oldApp) + " stays.");
                return;
            }
            if (answer == ReplaceAnswer::UseFreeSlot) {
                slot = plan.replace.freeSlot;
                plan = qrtl::setup::PlanTakeWindow(slot, facts, profile_.Document(), judged);
            }
        }
        profile_.Change(plan.changes);
        selector_->Edit(slot);
        launchNotFound_ = !facts.launch.found;
        std::string notes;
        for (const qrtl::setup::SlotNote& note : plan.notes)
            notes += (notes.empty() ? "" : " ") + qrtl::setup::SlotNoteWords(note);
        catalog_ = std::move(read.catalog);
        Refresh();
        Live("Taken: " + words + ". " + FromAnsi(notes) + CatalogNotes(catalog_));
        if (!catalog_.Empty()) FillFromCommands(true);
    };
    if (!catalogReader_.Start(target, taken)) {
        CatalogResult read;
        read.catalog = qrtl::win32::ReadAppCatalog(target, read.exePath);
        taken(read);
        return;
    }
    Live("Examining " + words + ": reading its menus and controls ...");
}

void RemoteWindow::ReadCatalog(HWND client) {
    if (client == nullptr) {
        // The application is not running: its program file, where the launch lines
        // name it, still gives the names of its menu commands.
        qrtl::win32::Win32Registry registry;
        const qrtl::setup::LaunchFinding launch =
            qrtl::setup::FindLaunch(profile_.Document(), registry, qrtl::win32::KindOfPath);
        catalog_ = launch.state == qrtl::setup::LaunchState::Starts ? qrtl::win32::ReadFileCatalog(launch.program)
                                                                      : qrtl::setup::AppCatalog();
        return;
    }
    auto read = [this](CatalogResult& result) {
        catalog_ = std::move(result.catalog);
        Refresh();
        const std::string notes = CatalogNotes(catalog_);
        if (!notes.empty()) Live("The TV application's commands are read." + notes);
    };
    if (!catalogReader_.Start(client, read)) {
        CatalogResult result;
        result.catalog = qrtl::win32::ReadAppCatalog(client, result.exePath);
        read(result);
    }
}

void RemoteWindow::FillFromCommands(bool ask) {
    const std::string section = profile_.ClientSection();
    const qrtl::setup::FillPlan plan =
        qrtl::setup::PlanFill(qrtl::setup::SuggestCommands(catalog_), profile_.Document(), section);
    if (plan.Empty()) {
        if (!ask) Live("Every key the application's commands suggest has an action already: nothing filled.");
        return;
    }
    if (ask &&
        Ask(dlg_,
            "Fill the keys' actions from the application's menus and controls?\n\n" +
                qrtl::setup::Counted(plan.filled.size(), "key gets", "keys get") +
                " a command that means the same; keys that have an action keep it. You can change each "
                "one with Action... before you save.",
            MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    for (const auto& fill : plan.filled) profile_.Set(section, fill.key, fill.command);
    Refresh();
    Live("Filled " + qrtl::setup::Counted(plan.filled.size(), "key", "keys") + " from the application's commands" +
         (plan.kept.empty() ? "." : "; " + std::to_string(plan.kept.size()) + " kept their action."));
}

// ---- The finder tool ----

INT_PTR RemoteWindow::OnMouse(UINT msg, LPARAM lParam) {
    switch (msg) {
    case WM_LBUTTONDOWN:
        if (learnIndex_ >= 0 || !finder_->OnDown(PointOf(lParam))) return FALSE;
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

// ---- Keys ----  (learning: LearnPanel.cpp)

void RemoteWindow::OnAction() {
    const int index = SelectedKey();
    if (index < 0 || static_cast<std::size_t>(index) >= rows_.size()) return;
    // A copy: Refresh below works the rows out anew.
    const KeyRow row = rows_[static_cast<std::size_t>(index)];
    std::string command = row.command;
    const int32_t n = profile_.ClientIndex();
    std::string application = n >= 0 && n < qrtl::setup::kDescribedClients ? profile_.Get(profile::kExeDesc, n) : "";
    if (application.empty()) application = profile_.ClientItem();
    if (!ChooseAction(dlg_, row.name, row.legend, catalog_, command, application)) return;
    const qrtl::setup::KeyEdit edit = qrtl::setup::SetKeyAction(profile_, row.name, command);
    if (!edit.changed) return;
    Refresh();
    SelectKey(index);
    Live(edit.key + " " + kArrow + " " +
         (command.empty() ? "no action" : FromAnsi(qrtl::setup::ActionInRows(rows_, edit.key))));
}

void RemoteWindow::OnTest() {
    const int index = SelectedKey();
    if (index < 0 || static_cast<std::size_t>(index) >= rows_.size()) return;
    const KeyRow& row = rows_[static_cast<std::size_t>(index)];
    if (row.command.empty()) {
        Live(row.name + " has no action yet: choose one with Action...");
        return;
    }
    // The monitor's own search and delivery, with the unsaved profile.
    qrtl::win32::Win32Desktop desktop;
    const qrtl::ProfileDocument document = AsActive(profile_);
    dispatch::MonitorSimulation monitor(document, {nullptr, &desktop});
    const HWND client = reinterpret_cast<HWND>(monitor.SendKeyNow(row.name).window);
    if (client == nullptr) {
        Live(row.name + " " + kArrow + " " + FromAnsi(row.action) + ": not posted, the TV application's window is not found.");
        return;
    }
    Live(row.name + " " + kArrow + " " + FromAnsi(row.action) + ", posted to " + WindowCaption(client));
}

void RemoteWindow::OnClear() {
    const int index = SelectedKey();
    if (index < 0 || static_cast<std::size_t>(index) >= rows_.size()) return;
    const KeyRow row = rows_[static_cast<std::size_t>(index)];  // a copy: Refresh replaces the rows
    const qrtl::setup::KeyParts held = qrtl::setup::PartsOf(profile_, row.name);
    if (!held.code && !held.action) {
        Live(row.name + " has no code and no action: nothing to clear.");
        return;
    }
    ClearOffer offer{row.name, row.legend, held.code ? FromAnsi(row.code) : std::string(),
                     held.action ? FromAnsi(row.action.empty() ? row.command : row.action) : std::string()};
    qrtl::setup::ClearPart part = qrtl::setup::ClearPart::Both;
    if (!ChooseClear(dlg_, offer, part)) return;
    const qrtl::setup::KeyEdit edit = qrtl::setup::ClearKey(profile_, row.name, part);
    Refresh();
    SelectKey(index);
    Live(ClearedWords(edit));
}

// ---- Ending ----

bool RemoteWindow::Save() {
    StopLearning("");
    if (!profile_.Changed()) {
        Live("Nothing to save.");
        return true;
    }
    // A file that cannot be written keeps the work in a copy (also when closing).
    if (!RecheckWritable()) return SaveAs();
    // Another writer (the monitor's setup dialog, QRTLProfile) may have changed the
    // file since it was read: only the owner's own changes go into it.
    const auto keepOurs = [&](const qrtl::setup::MergeConflict& conflict) {
        const std::string theirs = conflict.theirsPresent ? "\"" + conflict.theirs + "\"" : "removed";
        return Ask(dlg_,
                   "Another program has changed a line that you changed too, since this window read the profile:\n\n[" +
                       FromAnsi(conflict.ours.section) + "] " + FromAnsi(conflict.ours.key) + ": now " +
                       FromAnsi(theirs) + ", yours \"" + FromAnsi(conflict.ours.value) +
                       "\".\n\nWrite yours over it? No keeps the other program's value.",
                   MB_YESNO | MB_ICONQUESTION) == IDYES;
    };
    std::string error;
    std::string savedText;
    if (!qrtl::win32::WriteChangesSince(profilePath_, savedText_, profile_.Changes(), keepOurs, savedText, error)) {
        Ask(dlg_, "Nothing was saved: " + FromAnsi(error) + "\n\nYour changes are still in this window.",
            MB_OK | MB_ICONEXCLAMATION);
        Live("Not saved: " + FromAnsi(error));
        banner_.SaveResult("Not saved: " + FromAnsi(error));
        ShowClient();
        return false;
    }
    if (savedText.empty()) {
        profile_.MarkSaved();
        savedText_ = profile_.Text();
    } else {  // the file as written, with what other writers put into it meanwhile
        savedText_ = savedText;
        profile_ = qrtl::setup::UnsavedProfile(savedText);
    }
    std::string saved = "Saved " + FromAnsi(profilePath_) + "; the previous file is " + FromAnsi(profilePath_) +
                        qrtl::win32::kBackupSuffix + ".";
    const bool closedToLearn = monitorClosed_;
    if (ReleaseReceiver()) saved += " The monitor runs again.";
    banner_.SaveResult(saved);
    // A monitor that kept running reads the profile only at its start.
    if (!closedToLearn) saved += RestartMonitorForChanges();
    Refresh();
    Live(saved);
    return true;
}

void RemoteWindow::Close() {
    if (closing_) return;
    StopLearning("");
    if (profile_.Changed()) {
        // Yes on a read-only profile goes to Save as...: the question says so.
        const std::string question = RecheckWritable()
                                         ? "Save the changes to " + FromAnsi(profilePath_) + " before closing?"
                                         : FromAnsi(profilePath_) + " is read-only. Save your changes as a copy "
                                                                    "before closing?";
        const int answer = Ask(dlg_, question, MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL) return;
        if (answer == IDYES && !Save()) return;
    }
    closing_ = true;
    ReleaseReceiver();
    receiver_.Close();
    ::DestroyWindow(dlg_);
}

}  // namespace remote
