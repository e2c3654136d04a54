#include "ActionDlg.h"

#include <vector>

#include "UiText.h"
#include "setup/ProfileCheck.h"
#include "setup/VirtualKeys.h"
#include "resource.h"

namespace remote {

namespace {

using qrtl::setup::AppCatalog;

struct ActionState {
    std::string keyName;
    std::string legend;
    const AppCatalog* catalog = nullptr;
    std::string application;
    std::string commandText;
    std::vector<std::string> commandTexts;  // per item of the commands list
    std::vector<std::string> keyTexts;      // per item of the keys list
    bool filling = false;
};

void AddItem(HWND combo, const std::string& text) {
    ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

// The advanced field and its words follow the text.
void ShowText(HWND dlg, ActionState& s, const std::string& text) {
    s.filling = true;
    SetItemText(dlg, res::kActAdvanced, text);
    s.filling = false;
    const std::string problem = qrtl::CommandProblem(text);
    SetItemText(dlg, res::kActWords,
                text.empty() ? "no action"
                             : problem.empty() ? FromAnsi(qrtl::setup::DescribeCommandText(*s.catalog, text)) : problem);
}

// Selects the item of `combo` whose text is `text`; none when no item has it.
void SelectMatching(HWND combo, const std::vector<std::string>& texts, const std::string& text) {
    int at = -1;
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (texts[i] == text) at = static_cast<int>(i);
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
}

void Init(HWND dlg, ActionState& s) {
    SetText(dlg, "Action of " + s.keyName);
    SetItemText(dlg, res::kActKey, "What " + s.keyName + " (" + s.legend + ") does in the TV application:");
    const HWND commands = ::GetDlgItem(dlg, res::kActCommands);
    for (const auto& menu : s.catalog->menus) {
        const std::string text = qrtl::setup::CommandIdText(menu.id);
        AddItem(commands, FromAnsi("Menu: " + menu.path + (menu.shortcut.empty() ? "" : "  (" + menu.shortcut + ")")));
        s.commandTexts.push_back(text);
    }
    for (const auto& control : s.catalog->controls) {
        AddItem(commands, FromAnsi((control.className.empty() ? std::string("Control") : control.className) +
                                   ": " + control.text));
        s.commandTexts.push_back(qrtl::setup::CommandIdText(control.id));
    }
    if (s.commandTexts.empty()) {
        AddItem(commands, s.application.empty()
                              ? std::string("(no TV application taken yet, or it shows no commands)")
                              : "Start " + FromAnsi(s.application) + " to choose from its menus");
        ::SendMessageW(commands, CB_SETCURSEL, 0, 0);
        ::EnableWindow(commands, FALSE);
    }
    // Without the application's commands the raw form is for those who know it: it
    // shows under Advanced only.
    const bool rawFirst = !s.commandTexts.empty() || s.application.empty();
    for (const int id : {res::kActAdvancedLabel, res::kActAdvanced})
        ::ShowWindow(::GetDlgItem(dlg, id), rawFirst ? SW_SHOW : SW_HIDE);
    ::ShowWindow(::GetDlgItem(dlg, res::kActShowAdvanced), rawFirst ? SW_HIDE : SW_SHOW);
    const HWND keys = ::GetDlgItem(dlg, res::kActKeys);
    for (const auto& key : qrtl::setup::NamedVirtualKeys()) {
        qrtl::setup::KeyStroke stroke;
        stroke.vk = key.vk;
        AddItem(keys, key.name);
        s.keyTexts.push_back(qrtl::setup::KeyCommandText(stroke));
    }
    if (!s.commandTexts.empty()) SelectMatching(commands, s.commandTexts, s.commandText);
    SelectMatching(keys, s.keyTexts, s.commandText);
    ::SendDlgItemMessageW(dlg, res::kActAdvanced, EM_LIMITTEXT, 16, 0);
    ShowText(dlg, s, s.commandText);
}

INT_PTR CALLBACK ActionProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* s = reinterpret_cast<ActionState*>(::GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        ::SetWindowLongPtrW(dlg, DWLP_USER, lParam);
        Init(dlg, *reinterpret_cast<ActionState*>(lParam));
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (id == res::kActCommands && code == CBN_SELCHANGE) {
            const auto at = ::SendDlgItemMessageW(dlg, id, CB_GETCURSEL, 0, 0);
            if (at >= 0 && static_cast<std::size_t>(at) < s->commandTexts.size()) {
                ::SendDlgItemMessageW(dlg, res::kActKeys, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
                ShowText(dlg, *s, s->commandTexts[static_cast<std::size_t>(at)]);
            }
        } else if (id == res::kActKeys && code == CBN_SELCHANGE) {
            const auto at = ::SendDlgItemMessageW(dlg, id, CB_GETCURSEL, 0, 0);
            if (at >= 0 && static_cast<std::size_t>(at) < s->keyTexts.size()) {
                ::SendDlgItemMessageW(dlg, res::kActCommands, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
                ShowText(dlg, *s, s->keyTexts[static_cast<std::size_t>(at)]);
            }
        } else if (id == res::kActAdvanced && code == EN_CHANGE && !s->filling) {
            const std::string text = ItemText(dlg, res::kActAdvanced);
            SelectMatching(::GetDlgItem(dlg, res::kActCommands), s->commandTexts, text);
            SelectMatching(::GetDlgItem(dlg, res::kActKeys), s->keyTexts, text);
            ShowText(dlg, *s, text);
        } else if (id == res::kActShowAdvanced && code == BN_CLICKED) {
            for (const int shown : {res::kActAdvancedLabel, res::kActAdvanced})
                ::ShowWindow(::GetDlgItem(dlg, shown), SW_SHOW);
            ::ShowWindow(::GetDlgItem(dlg, res::kActShowAdvanced), SW_HIDE);
            ::SetFocus(::GetDlgItem(dlg, res::kActAdvanced));
        } else if (id == IDOK) {
            const std::string text = ItemText(dlg, res::kActAdvanced);
            const std::string problem = qrtl::CommandProblem(text);
            if (!text.empty() && !problem.empty()) {
                Ask(dlg, text + ": " + problem + ".", MB_OK | MB_ICONEXCLAMATION);
                return TRUE;
            }
            s->commandText = text;
            ::EndDialog(dlg, IDOK);
        } else if (id == IDCANCEL) {
            ::EndDialog(dlg, IDCANCEL);
        }
        return TRUE;
    }
    default:
        return FALSE;
    }
}

}  // namespace

bool ChooseAction(HWND owner, const std::string& keyName, const std::string& legend,
                  const AppCatalog& catalog, std::string& commandText, const std::string& application) {
    ActionState state;
    state.application = application;
    state.keyName = keyName;
    state.legend = legend;
    state.catalog = &catalog;
    state.commandText = commandText;
    const INT_PTR result = ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(res::kDlgAction), owner,
                                             ActionProc, reinterpret_cast<LPARAM>(&state));
    if (result != IDOK) return false;
    commandText = state.commandText;
    return true;
}

}  // namespace remote
