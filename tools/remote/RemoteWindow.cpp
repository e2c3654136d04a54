#include "RemoteWindow.h"

#include <commctrl.h>

#include <algorithm>

#include "ActionDlg.h"
#include "MonitorControl.h"
#include "UiText.h"
#include "config/QRTLIRSet.h"
#include "setup/ClientLines.h"
#include "setup/ClientSlots.h"
#include "setup/SlotWords.h"
#include "driver/CardDriver.h"
#include "setup/win32/SafeProfileWrite.h"
#include "setup/win32/Win32AppCommands.h"
#include "setup/win32/Win32ClientWindow.h"
#include "platform/win32/Win32Config.h"
#include "platform/win32/Win32Desktop.h"
#include "product.h"
#include "resource.h"

namespace remote {

namespace {

using qrtl::setup::FindingTarget;
using qrtl::setup::KeyRow;

constexpr int kFrameThickness = 3;
constexpr UINT kRoundTripMs = 1000;
constexpr char kFrameClass[] = "QRTLRemoteFinderFrame";
// The code under which a test key goes through the monitor's own delivery.
constexpr char kTestCode[] = "test";

enum Column { kColKey, kColLegend, kColCode, kColAction, kColStatus, kColumnCount };

// The monitor's configuration object over the window's unsaved profile: its own
// window search and command delivery, as the monitor would run them with this
// profile.
struct MonitorView {
    explicit MonitorView(const qrtl::ProfileDocument& document) : profile(document) {
        qrtl::Services services;
        services.profile = &profile;
        services.module = &module;
        services.registry = &registry;
        services.desktop = &desktop;
        set.SetServices(services);
        set.LoadProfile();
    }
    qrtl::DocumentProfile profile;
    qrtl::win32::Win32Module module;
    qrtl::win32::Win32Registry registry;
    qrtl::win32::Win32Desktop desktop;
    CQRTLIRSet set;
};

std::string WindowCaption(HWND wnd) {
    wchar_t text[256] = {};
    ::GetWindowTextW(wnd, text, 256);
    return Narrow(text);
}

std::string WindowClass(HWND wnd) {
    char name[256] = {};
    ::GetClassNameA(wnd, name, sizeof name);
    return FromAnsi(name);
}

bool OwnWindow(HWND wnd) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    return pid == ::GetCurrentProcessId();
}

// A window as the owner knows it: "“Standin TV” (StandinTVClass)".
std::string WindowWords(HWND wnd) {
    const std::string caption = WindowCaption(wnd);
    return "\xE2\x80\x9C" + (caption.empty() ? std::string("no caption") : caption) + "\xE2\x80\x9D (" +
           WindowClass(wnd) + ")";
}

// The profile as the monitor would read it were the edited application the one
// POWER starts: its window search and its key map, for finding and testing it.
qrtl::ProfileDocument AsActive(const qrtl::setup::UnsavedProfile& profile) {
    qrtl::setup::UnsavedProfile view = profile;
    view.Change(qrtl::setup::PlanMakeActive(view.Document(), view.ClientIndex()));
    return view.Document();
}

LRESULT CALLBACK FrameProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCHITTEST) return HTTRANSPARENT;
    return ::DefWindowProcW(wnd, msg, wParam, lParam);
}

}  // namespace

int Ask(HWND owner, const std::string& text, UINT flags) {
    return ::MessageBoxW(owner, Widen(text).c_str(), Widen(product::kRemoteCaption).c_str(), flags);
}

RemoteWindow::RemoteWindow(std::string profilePath, std::string fileText, bool readOnly)
    : profilePath_(std::move(profilePath)), readOnly_(readOnly), profile_(std::move(fileText)) {}

RemoteWindow::~RemoteWindow() {
    for (HWND& bar : frame_)
        if (bar) ::DestroyWindow(bar);
}

bool RemoteWindow::Create(int show) {
    dlg_ = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(res::kDlgRemote), nullptr,
                                DialogProc, reinterpret_cast<LPARAM>(this));
    if (dlg_ == nullptr) return false;
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

INT_PTR CALLBACK RemoteWindow::DialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        ::SetWindowLongPtrW(dlg, DWLP_USER, lParam);
        auto* self = reinterpret_cast<RemoteWindow*>(lParam);
        self->dlg_ = dlg;
        self->OnInit();
        return FALSE;  // the focus is set: on the key list
    }
    auto* self = reinterpret_cast<RemoteWindow*>(::GetWindowLongPtrW(dlg, DWLP_USER));
    return self ? self->Handle(msg, wParam, lParam) : FALSE;
}

INT_PTR RemoteWindow::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == static_cast<UINT_PTR>(res::kKeys)) {
            if (header->code == LVN_ITEMCHANGED) EnableButtons();
            if (header->code == NM_DBLCLK && SelectedKey() >= 0 && learnIndex_ < 0) OnAction();
        }
        return TRUE;
    }
    case WM_DRAWITEM:
        if (wParam == static_cast<WPARAM>(res::kFinder)) {
            DrawFinder(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        return FALSE;
    case WM_LBUTTONDOWN:
        return OnFinderDown({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
    case WM_MOUSEMOVE:
        if (dragging_) OnFinderMove({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        return TRUE;
    case WM_LBUTTONUP:
        if (dragging_) OnFinderUp({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        return TRUE;
    case WM_CAPTURECHANGED:
        if (dragging_) {  // taken away (another window, Alt+Tab): the drag ends without a choice
            dragging_ = false;
            Highlight(nullptr);
            ::InvalidateRect(::GetDlgItem(dlg_, res::kFinder), nullptr, TRUE);
        }
        return TRUE;
    case WM_SETCURSOR:
        if (dragging_) {
            ::SetCursor(::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_CROSS)));
            ::SetWindowLongPtrW(dlg_, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
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

void RemoteWindow::OnInit() {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    const auto icon = [&](int size) {
        return reinterpret_cast<LPARAM>(::LoadImageW(instance, MAKEINTRESOURCEW(res::kIconMain), IMAGE_ICON, size,
                                                     size, LR_DEFAULTCOLOR));
    };
    ::SendMessageW(dlg_, WM_SETICON, ICON_BIG, icon(::GetSystemMetrics(SM_CXICON)));
    ::SendMessageW(dlg_, WM_SETICON, ICON_SMALL, icon(::GetSystemMetrics(SM_CXSMICON)));

    keys_ = ::GetDlgItem(dlg_, res::kKeys);
    ListView_SetExtendedListViewStyle(keys_, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER);
    // Column widths in dialog units, so they follow the font and the screen's DPI.
    const int widths[kColumnCount] = {34, 70, 24, 122, 56};
    const char* titles[kColumnCount] = {"Key", "In words", "Code", "Action", "Status"};
    for (int c = 0; c < kColumnCount; ++c) {
        RECT r = {0, 0, widths[c], 0};
        ::MapDialogRect(dlg_, &r);
        const std::wstring title = Widen(titles[c]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.cx = r.right;
        column.pszText = const_cast<wchar_t*>(title.c_str());
        column.iSubItem = c;
        ::SendMessageW(keys_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
    }
    for (int i = 0; i < kRemoteKeyCount; ++i) {
        const std::wstring name = Widen(RemoteKeyNames[i]);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<wchar_t*>(name.c_str());
        ::SendMessageW(keys_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    WNDCLASSW frameClass{};
    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = instance;
    frameClass.hbrBackground = ::CreateSolidBrush(RGB(220, 0, 0));
    const std::wstring frameName = Widen(kFrameClass);
    frameClass.lpszClassName = frameName.c_str();
    ::RegisterClassW(&frameClass);

    // The receiver: the monitor holds it while it runs; Learn asks to close it.
    if (FindMonitor() == nullptr) ProbeReceiver();  // a problem is shown below; learning stays off
    selector_ = std::make_unique<AppSelector>(dlg_, profile_);
    FillWindowList();
    if (const HWND client = FindClientNow()) ReadCatalog(client);
    Refresh();
    SelectKey(0);
    ::SetFocus(keys_);
    if (readOnly_)
        Live("The profile is read-only: you can look and try, but Save cannot write it.");
    else
        Live("Choose the TV application, then learn the keys of your remote.");
}

void RemoteWindow::OnCommand(int id, int code) {
    if (selector_) {
        const SelectorResult selected = selector_->OnCommand(id, code);
        if (selected.handled) {
            if (selected.slotChanged) {  // another application: its own window and commands
                catalog_ = {};
                launchNote_.clear();
                if (const HWND client = FindClientNow()) ReadCatalog(client);
            }
            if (selected.slotChanged || selected.changed) Refresh();
            if (!selected.live.empty()) Live(selected.live);
            return;
        }
    }
    switch (id) {
    case res::kUseWindow: {
        const auto at = ::SendDlgItemMessageW(dlg_, res::kWindows, CB_GETCURSEL, 0, 0);
        if (at < 0 || static_cast<std::size_t>(at) >= windowList_.size()) {
            Live("Choose the TV application's window in the list first.");
            return;
        }
        TakeWindow(windowList_[static_cast<std::size_t>(at)]);
        return;
    }
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
        if (code == LBN_DBLCLK) {
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
        return;
    case res::kSave:
    case IDOK:
        Save();
        return;
    case res::kClose:
        Close();
        return;
    case IDCANCEL:
        // Escape skips the key being learned; otherwise it closes, as in any dialog.
        if (learnIndex_ >= 0)
            NextKey(true);
        else if (dragging_)
            ::ReleaseCapture();
        else
            Close();
        return;
    default:
        return;
    }
}

void RemoteWindow::Refresh() {
    if (selector_) selector_->Fill();
    qrtl::win32::Win32Registry registry;
    qrtl::CheckEnvironment environment;
    environment.registry = &registry;
    environment.fileExists = [](const std::string& path) {
        return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    };
    findings_ = qrtl::setup::FindingsInWords(profile_, environment);
    rows_ = qrtl::setup::KeyRows(profile_, catalog_, findings_);
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

    std::string launch;
    const std::string regPath = profile_.Get(profile::kRegPath, n);
    if (!regPath.empty()) {
        MonitorView view(profile_.Document());
        const std::string path = view.set.GetClientExePath(n);
        const std::string folderValue = profile_.Get(profile::kRegFolder, n);
        if (path.empty())
            launch = "the folder cannot be read from HKEY_LOCAL_MACHINE\\" + regPath + " value \"" + folderValue +
                     "\": POWER cannot start the application";
        else if (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
            launch = path + " does not exist: POWER cannot start the application";
        else
            launch = "starts " + path + " (folder from HKEY_LOCAL_MACHINE\\" + regPath + ", value \"" +
                     folderValue + "\")";
    } else {
        launch = launchNote_.empty() ? "no launch lines: POWER starts no application" : launchNote_;
    }
    SetItemText(dlg_, res::kLaunch, FromAnsi(launch));

    std::string receiver;
    if (!receiverProblem_.empty())
        receiver = "Receiver: " + receiverProblem_ + ". Learning is off; everything else works.";
    else if (FindMonitor() == nullptr)
        receiver = std::string("Receiver: ") + CardDriverFileName() + " ready. Select a key and press Learn.";
    else
        receiver = "Receiver: the monitor is using it now; Learn asks to close the monitor.";
    SetItemText(dlg_, res::kReceiver, receiver);
}

void RemoteWindow::EnableButtons() {
    const int selected = SelectedKey();
    const bool learning = learnIndex_ >= 0;
    const bool canLearn = receiverProblem_.empty() && !learning;
    const bool hasRow = selected >= 0 && static_cast<std::size_t>(selected) < rows_.size();
    const auto enable = [&](int id, bool on) { ::EnableWindow(::GetDlgItem(dlg_, id), on ? TRUE : FALSE); };
    enable(res::kLearn, canLearn && hasRow);
    enable(res::kLearnAll, canLearn || learning);  // it reads Stop while learning
    enable(res::kAction, !learning && hasRow);
    enable(res::kTest, !learning && hasRow && !rows_[static_cast<std::size_t>(selected)].command.empty());
    enable(res::kClear, !learning && hasRow);
    enable(res::kFill, !learning && !catalog_.Empty());
    enable(res::kUseWindow, !learning);
    enable(res::kSave, !learning && profile_.Changed());
    if (selector_) selector_->Enable(!learning);
}

void RemoteWindow::Live(const std::string& text) { SetItemText(dlg_, res::kLive, " " + text); }

int RemoteWindow::SelectedKey() const {
    return static_cast<int>(::SendMessageW(keys_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void RemoteWindow::SelectKey(int index) {
    ListView_SetItemState(keys_, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(keys_, index, FALSE);
}

HWND RemoteWindow::FindClientNow() {
    const qrtl::ProfileDocument document = AsActive(profile_);
    MonitorView view(document);
    // Without any client line the search would take any window with no children.
    if (view.set.m_strItem.empty() && view.set.m_strCaption.empty() && view.set.m_strClassName.empty()) return nullptr;
    return reinterpret_cast<HWND>(view.set.FindTargetClientWindow());
}

// ---- The TV application ----

namespace {
struct WindowListing {
    std::vector<HWND>* windows;
};
BOOL CALLBACK ListWindow(HWND wnd, LPARAM lParam) {
    auto* listing = reinterpret_cast<WindowListing*>(lParam);
    if (!::IsWindowVisible(wnd) || ::GetWindow(wnd, GW_OWNER) != nullptr) return TRUE;
    if (::GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) return TRUE;
    if (::GetWindowTextLengthW(wnd) == 0 || OwnWindow(wnd)) return TRUE;
    listing->windows->push_back(wnd);
    return TRUE;
}
}  // namespace

void RemoteWindow::FillWindowList() {
    const HWND combo = ::GetDlgItem(dlg_, res::kWindows);
    const auto at = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    const HWND chosen = at >= 0 && static_cast<std::size_t>(at) < windowList_.size()
                            ? windowList_[static_cast<std::size_t>(at)]
                            : nullptr;
    windowList_.clear();
    WindowListing listing{&windowList_};
    ::EnumWindows(ListWindow, reinterpret_cast<LPARAM>(&listing));
    ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    qrtl::win32::Win32Desktop desktop;
    int select = -1;
    for (std::size_t i = 0; i < windowList_.size(); ++i) {
        const HWND wnd = windowList_[i];
        char exe[qrtl::kProcessNameSize] = {};
        const std::string program =
            desktop.FindProcessName(desktop.WindowProcessId(reinterpret_cast<qrtl::WindowHandle>(wnd)), exe,
                                    sizeof exe) == qrtl::ProcessName::Found
                ? FromAnsi(exe)
                : WindowClass(wnd);
        const std::string text = WindowCaption(wnd) + "  (" + program + ")";
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
        if (wnd == chosen) select = static_cast<int>(i);
    }
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(select), 0);
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
    std::string exePath;
    qrtl::setup::AppCatalog catalog = qrtl::win32::ReadAppCatalog(target, exePath);
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
    // A window whose commands could not be read at all (hung, or none to read) is not
    // judged: only one that shows commands and none for a TV.
    const std::vector<qrtl::setup::Suggestion> suggestions = qrtl::setup::SuggestCommands(catalog);
    const std::vector<qrtl::setup::Suggestion>* judged = catalog.Empty() ? nullptr : &suggestions;
    int32_t slot = std::max<int32_t>(0, selector_->Slot());
    qrtl::setup::SlotTakePlan plan = qrtl::setup::PlanTakeWindow(slot, facts, profile_.Document(), judged);
    const std::string noCommands = FromAnsi(qrtl::setup::NoTvCommandsWords(plan.app, plan.commands));
    if (!noCommands.empty() &&
        Ask(dlg_, noCommands + "\n\nTake it for the remote anyway?", MB_OKCANCEL | MB_ICONWARNING | MB_DEFBUTTON2) !=
            IDOK) {
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
    launchNote_.clear();
    std::string notes;
    for (const qrtl::setup::SlotNote& note : plan.notes) {
        const std::string said = qrtl::setup::SlotNoteWords(note);
        if (note.code == qrtl::setup::SlotNoteCode::LaunchNotFound) launchNote_ = said;
        notes += (notes.empty() ? "" : " ") + said;
    }
    catalog_ = std::move(catalog);
    Refresh();
    Live("Taken: " + words + ". " + FromAnsi(notes));
    if (!catalog_.Empty()) FillFromCommands(true);
}

void RemoteWindow::ReadCatalog(HWND client) {
    std::string exePath;
    catalog_ = qrtl::win32::ReadAppCatalog(client, exePath);
}

void RemoteWindow::FillFromCommands(bool ask) {
    const std::vector<qrtl::setup::Suggestion> suggestions = qrtl::setup::SuggestCommands(catalog_);
    const std::string section = profile_.ClientSection();
    int open = 0;
    for (const auto& s : suggestions)
        if (profile_.Get(section, s.key).empty()) ++open;
    if (open == 0) {
        if (!ask) Live("Every key the application's commands suggest has an action already: nothing filled.");
        return;
    }
    if (ask &&
        Ask(dlg_,
            "Fill the keys' actions from the application's menus and controls?\n\n" + std::to_string(open) +
                " keys get a command that means the same; keys that have an action keep it. You can change each "
                "one with Action... before you save.",
            MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    int filled = 0;
    int kept = 0;
    for (const auto& s : suggestions) {
        if (!profile_.Get(section, s.key).empty()) {
            ++kept;
            continue;
        }
        profile_.Set(section, s.key, s.best.commandText);
        ++filled;
    }
    Refresh();
    Live("Filled " + std::to_string(filled) + " keys from the application's commands" +
         (kept ? "; " + std::to_string(kept) + " kept their action." : "."));
}

// ---- The finder tool ----

void RemoteWindow::DrawFinder(const DRAWITEMSTRUCT& item) {
    RECT r = item.rcItem;
    const HDC dc = item.hDC;
    ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_WINDOW));
    ::DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
    if (dragging_) return;  // the crosshair is on the pointer now
    const int cx = (r.left + r.right) / 2;
    const int cy = (r.top + r.bottom) / 2;
    const int radius = std::min(r.right - r.left, r.bottom - r.top) / 2 - 6;
    const HPEN pen = ::CreatePen(PS_SOLID, std::max(1, radius / 6), RGB(0, 0, 0));
    const HGDIOBJ oldPen = ::SelectObject(dc, pen);
    const HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
    ::Ellipse(dc, cx - radius, cy - radius, cx + radius + 1, cy + radius + 1);
    const int reach = radius + 3;
    const int gap = std::max(2, radius / 4);
    ::MoveToEx(dc, cx - reach, cy, nullptr);
    ::LineTo(dc, cx - gap, cy);
    ::MoveToEx(dc, cx + gap, cy, nullptr);
    ::LineTo(dc, cx + reach + 1, cy);
    ::MoveToEx(dc, cx, cy - reach, nullptr);
    ::LineTo(dc, cx, cy - gap);
    ::MoveToEx(dc, cx, cy + gap, nullptr);
    ::LineTo(dc, cx, cy + reach + 1);
    ::SelectObject(dc, oldBrush);
    ::SelectObject(dc, oldPen);
    ::DeleteObject(pen);
}

bool RemoteWindow::OnFinderDown(POINT client) {
    const HWND finder = ::GetDlgItem(dlg_, res::kFinder);
    RECT r;
    ::GetWindowRect(finder, &r);
    ::MapWindowPoints(nullptr, dlg_, reinterpret_cast<POINT*>(&r), 2);
    if (!::PtInRect(&r, client) || learnIndex_ >= 0) return FALSE;
    dragging_ = true;
    dragTarget_ = nullptr;
    ::SetCapture(dlg_);
    ::SetCursor(::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_CROSS)));
    ::InvalidateRect(finder, nullptr, TRUE);
    Live("Drag onto the TV application's window and release the mouse button there.");
    return TRUE;
}

void RemoteWindow::OnFinderMove(POINT client) {
    POINT screen = client;
    ::ClientToScreen(dlg_, &screen);
    HWND under = ::WindowFromPoint(screen);
    under = under ? ::GetAncestor(under, GA_ROOT) : nullptr;
    if (under && OwnWindow(under)) under = nullptr;
    if (under == dragTarget_) return;
    dragTarget_ = under;
    Highlight(under);
    Live(under ? "Release to take " + WindowWords(under) : "Drag onto the TV application's window.");
}

void RemoteWindow::OnFinderUp(POINT client) {
    OnFinderMove(client);
    dragging_ = false;
    ::ReleaseCapture();
    Highlight(nullptr);
    ::InvalidateRect(::GetDlgItem(dlg_, res::kFinder), nullptr, TRUE);
    const HWND target = dragTarget_;
    dragTarget_ = nullptr;
    if (target)
        TakeWindow(target);
    else
        Live("No window taken.");
}

// A red frame around the window under the pointer, of four thin topmost bars that
// the pointer passes through.
void RemoteWindow::Highlight(HWND target) {
    RECT r = {};
    if (target) ::GetWindowRect(target, &r);
    const int t = kFrameThickness;
    const RECT bars[4] = {{r.left, r.top, r.right, r.top + t},
                          {r.left, r.bottom - t, r.right, r.bottom},
                          {r.left, r.top, r.left + t, r.bottom},
                          {r.right - t, r.top, r.right, r.bottom}};
    for (int i = 0; i < 4; ++i) {
        if (!target) {
            if (frame_[i]) ::ShowWindow(frame_[i], SW_HIDE);
            continue;
        }
        if (!frame_[i])
            frame_[i] = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                                          Widen(kFrameClass).c_str(), L"", WS_POPUP, 0, 0, 0, 0, dlg_, nullptr,
                                          ::GetModuleHandleW(nullptr), nullptr);
        if (!frame_[i]) continue;
        ::SetWindowPos(frame_[i], HWND_TOPMOST, bars[i].left, bars[i].top, bars[i].right - bars[i].left,
                       bars[i].bottom - bars[i].top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
}

// ---- Keys ----  (learning: LearnPanel.cpp)

void RemoteWindow::OnAction() {
    const int index = SelectedKey();
    if (index < 0 || static_cast<std::size_t>(index) >= rows_.size()) return;
    const KeyRow& row = rows_[static_cast<std::size_t>(index)];
    std::string command = row.command;
    if (!ChooseAction(dlg_, row.name, row.legend, catalog_, command) || command == row.command) return;
    profile_.Set(profile_.ClientSection(), row.name, command);
    Refresh();
    SelectKey(index);
    Live(row.name + " " + kArrow + " " + (command.empty() ? "no action" : FromAnsi(rows_[index].action)));
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
    const qrtl::ProfileDocument document = AsActive(profile_);
    MonitorView view(document);
    if (view.set.FindTargetClientWindow() == qrtl::kNoWindow) {
        Live(row.name + " " + kArrow + " " + FromAnsi(row.action) + ": not posted, the TV application's window is not found.");
        return;
    }
    view.set.m_mapController.clear();
    view.set.m_mapController[kTestCode] = row.name;
    view.set.LookUpKey(kTestCode);
    const HWND client = reinterpret_cast<HWND>(view.set.m_hWndClient);
    Live(row.name + " " + kArrow + " " + FromAnsi(row.action) + ", posted to " + WindowCaption(client));
}

void RemoteWindow::OnClear() {
    const int index = SelectedKey();
    if (index < 0 || static_cast<std::size_t>(index) >= rows_.size()) return;
    const std::string name = RemoteKeyNames[index];
    if (!profile_.Get(profile::kControllerSection, name).empty()) profile_.Set(profile::kControllerSection, name, "");
    const std::string section = profile_.ClientSection();
    if (!profile_.Get(section, name).empty()) profile_.Set(section, name, "");
    Refresh();
    SelectKey(index);
    Live(name + " has no code and no action now.");
}

// ---- Ending ----

bool RemoteWindow::Save() {
    StopLearning("");
    if (!profile_.Changed()) {
        Live("Nothing to save.");
        return true;
    }
    std::vector<qrtl::win32::ProfileChange> changes;
    for (const auto& change : profile_.Changes())
        changes.push_back({change.section, change.key, change.value, change.kind != qrtl::setup::ChangeKind::Set});
    std::string error;
    if (!qrtl::win32::WriteProfileSafely(profilePath_, changes, error)) {
        Ask(dlg_, "Nothing was saved: " + FromAnsi(error) + "\n\nYour changes are still in this window.",
            MB_OK | MB_ICONEXCLAMATION);
        Live("Not saved: " + FromAnsi(error));
        return false;
    }
    profile_.MarkSaved();
    std::string saved = "Saved " + FromAnsi(profilePath_) + "; the previous file is " + FromAnsi(profilePath_) +
                        qrtl::win32::kBackupSuffix + ".";
    if (ReleaseReceiver()) saved += " The monitor runs again.";
    Refresh();
    Live(saved);
    return true;
}

void RemoteWindow::Close() {
    if (closing_) return;
    StopLearning("");
    if (profile_.Changed()) {
        const int answer = Ask(dlg_, "Save the changes to " + FromAnsi(profilePath_) + " before closing?",
                               MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL) return;
        if (answer == IDYES && !Save()) return;
    }
    closing_ = true;
    ReleaseReceiver();
    receiver_.Close();
    ::DestroyWindow(dlg_);
}

}  // namespace remote
