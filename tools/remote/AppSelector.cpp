#include "AppSelector.h"

#include <commctrl.h>

#include "UiText.h"
#include "product.h"
#include "config/ProfileKeys.h"
#include "resource.h"
#include "setup/SlotWords.h"
#include "tools/common/ToolDialog.h"

namespace remote {

namespace {

using qrtl::setup::SlotRow;

// The owner's text in the system's ANSI code page, as the profile holds it; false
// when a character has no place in it.
bool ToAnsi(const std::wstring& text, std::string& ansi) {
    ansi.clear();
    if (text.empty()) return true;
    BOOL lost = FALSE;
    const int n = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                        &lost);
    if (n <= 0 || lost) return false;
    ansi.assign(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &ansi[0], n, nullptr, nullptr);
    return true;
}

// The name field's subclass: Enter in it renames, rather than pressing the
// window's default button (Save).
constexpr UINT_PTR kNameFieldSubclass = 1;

LRESULT CALLBACK NameFieldProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    const bool enter = wParam == VK_RETURN || (msg == WM_CHAR && wParam == '\r');
    if (msg == WM_GETDLGCODE && lParam != 0 && reinterpret_cast<const MSG*>(lParam)->wParam == VK_RETURN &&
        reinterpret_cast<const MSG*>(lParam)->message == WM_KEYDOWN)
        return ::DefSubclassProc(wnd, msg, wParam, lParam) | DLGC_WANTMESSAGE;
    if (msg == WM_KEYDOWN && enter) {
        const HWND parent = ::GetParent(wnd);
        ::PostMessageW(parent, WM_COMMAND, MAKEWPARAM(res::kAppRename, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(parent, res::kAppRename)));
        return 0;
    }
    if (msg == WM_CHAR && enter) return 0;  // no beep
    if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(wnd, NameFieldProc, kNameFieldSubclass);
    return ::DefSubclassProc(wnd, msg, wParam, lParam);
}

// "Replace Standin TV with Notepad?": Replace, New entry, Cancel.
class ReplaceDialog : public tools::ToolDialog {
public:
    explicit ReplaceDialog(const qrtl::setup::SlotReplace& replace)
        : ToolDialog(res::kDlgReplace), replace_(replace) {}

private:
    bool OnInit() override {
        SetItemText(dlg_, res::kReplaceText, qrtl::setup::ReplaceQuestion(replace_));
        SetText(dlg_, product::kRemoteCaption);
        if (replace_.freeSlot < 0) ::EnableWindow(::GetDlgItem(dlg_, IDNO), FALSE);
        // Cancel has the focus: nothing is replaced by a stray Enter.
        ::SetFocus(::GetDlgItem(dlg_, IDCANCEL));
        return false;
    }
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM) override {
        if (msg != WM_COMMAND) return FALSE;
        const int id = LOWORD(wParam);
        if (id != IDYES && id != IDNO && id != IDCANCEL) return FALSE;
        ::EndDialog(dlg_, id);
        return TRUE;
    }

    const qrtl::setup::SlotReplace& replace_;
};

}  // namespace

ReplaceAnswer AskReplace(HWND owner, const qrtl::setup::SlotReplace& replace) {
    ReplaceDialog dialog(replace);
    const INT_PTR answer = dialog.RunModal(owner);
    if (answer == IDYES) return ReplaceAnswer::Replace;
    if (answer == IDNO && replace.freeSlot >= 0) return ReplaceAnswer::UseFreeSlot;
    return ReplaceAnswer::Cancel;
}

qrtl::setup::AppReply AskApp(HWND owner, const qrtl::setup::AppStep& step) {
    using qrtl::setup::AppAsk;
    using qrtl::setup::AppReply;
    const std::string question = FromAnsi(step.question);
    UINT flags = MB_YESNO | MB_ICONQUESTION;
    switch (step.ask) {
    case AppAsk::None: return AppReply::Cancel;
    case AppAsk::Replace:
        switch (AskReplace(owner, step.replace)) {
        case ReplaceAnswer::Replace: return AppReply::Yes;
        case ReplaceAnswer::UseFreeSlot: return AppReply::No;
        case ReplaceAnswer::Cancel: return AppReply::Cancel;
        }
        return AppReply::Cancel;
    case AppAsk::WindowGone: flags = MB_OK | MB_ICONEXCLAMATION; break;
    case AppAsk::SameProgram: flags = MB_YESNO | MB_ICONINFORMATION; break;
    case AppAsk::NoTvCommands: flags = MB_OKCANCEL | MB_ICONWARNING; break;
    case AppAsk::WorkWithInstead:
    case AppAsk::Remove:
    case AppAsk::Fill: break;
    }
    const int answer = Ask(owner, question, flags | (step.defaultNo ? MB_DEFBUTTON2 : 0));
    return answer == IDYES || answer == IDOK ? AppReply::Yes : answer == IDNO ? AppReply::No : AppReply::Cancel;
}

AppSelector::AppSelector(HWND dlg, qrtl::setup::RemoteSession& session) : dlg_(dlg), session_(session) {
    session_.EditActive();
    ::SetWindowSubclass(::GetDlgItem(dlg_, res::kAppName), NameFieldProc, kNameFieldSubclass, 0);
}

AppSelector::~AppSelector() {
    ::RemoveWindowSubclass(::GetDlgItem(dlg_, res::kAppName), NameFieldProc, kNameFieldSubclass);
}

void AppSelector::Fill() {
    const HWND combo = ::GetDlgItem(dlg_, res::kAppSlots);
    ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const SlotRow& row : session_.ApplicationRows())
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(FromAnsi(qrtl::setup::SelectorLine(row))).c_str()));
    const int32_t slot = session_.Profile().ClientIndex();
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(slot >= 0 && slot < qrtl::setup::kSlotCount ? slot : -1),
                   0);
    const std::string name = session_.EditedName();
    // A name being typed stays until another application or name is shown.
    if (slot == namedSlot_ && name == namedText_) return;
    namedSlot_ = slot;
    namedText_ = name;
    SetItemText(dlg_, res::kAppName, FromAnsi(name));
}

void AppSelector::Enable(bool on) {
    for (int id : {res::kAppSlots, res::kAppActive, res::kAppAdd, res::kAppRemove, res::kAppName, res::kAppRename})
        ::EnableWindow(::GetDlgItem(dlg_, id), on ? TRUE : FALSE);
}

bool AppSelector::OnCommand(int id, int code, qrtl::setup::AppStep& step) {
    switch (id) {
    case res::kAppSlots:
        if (code == CBN_SELCHANGE)
            step = session_.SelectApplication(
                static_cast<int32_t>(::SendDlgItemMessageW(dlg_, res::kAppSlots, CB_GETCURSEL, 0, 0)));
        return true;
    case res::kAppActive: step = session_.WorkWithEdited(); return true;
    case res::kAppAdd: step = session_.AddApplication(); return true;
    case res::kAppRemove: step = session_.RemoveApplication(); return true;
    case res::kAppRename: {
        wchar_t typed[256] = {};
        ::GetDlgItemTextW(dlg_, res::kAppName, typed, 256);
        std::string ansi;
        const bool fits = ToAnsi(typed, ansi);
        step = session_.RenameApplication(ansi, fits);
        return true;
    }
    case res::kAppName: return true;
    default: return false;
    }
}

}  // namespace remote
