#include "ActionDlg.h"

#include <vector>

#include "UiText.h"
#include "tools/common/ToolDialog.h"
#include "setup/CheckWords.h"
#include "setup/ProfileCheck.h"
#include "setup/VirtualKeys.h"
#include "resource.h"

namespace remote {

namespace {

using qrtl::setup::AppCatalog;

void AddItem(HWND combo, const std::string& text) {
    ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

// Selects the item of `combo` whose text is `text`; none when no item has it.
void SelectMatching(HWND combo, const std::vector<std::string>& texts, const std::string& text) {
    int at = -1;
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (texts[i] == text) at = static_cast<int>(i);
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
}

class ActionDialog : public tools::ToolDialog {
public:
    ActionDialog(std::string keyName, std::string legend, const AppCatalog& catalog, std::string commandText,
                 std::string application)
        : ToolDialog(res::kDlgAction),
          keyName_(std::move(keyName)),
          legend_(std::move(legend)),
          catalog_(catalog),
          application_(std::move(application)),
          commandText_(std::move(commandText)) {}

    const std::string& CommandText() const { return commandText_; }

private:
    bool OnInit() override;
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void FillCommands();
    void FillKeys();
    // A choice in one list: the other list lets go of its choice.
    void OnPicked(int list, int other, const std::vector<std::string>& texts);
    void OnOk();
    // The advanced field and its words follow the text.
    void ShowText(const std::string& text);
    // The words beside the advanced field, for its text.
    void ShowWords(const std::string& text);

    std::string keyName_;
    std::string legend_;
    const AppCatalog& catalog_;
    std::string application_;  // its description; empty when none is taken
    std::string commandText_;
    std::vector<std::string> commandTexts_;  // per item of the commands list
    std::vector<std::string> keyTexts_;      // per item of the keys list
    bool filling_ = false;
};

void ActionDialog::ShowText(const std::string& text) {
    filling_ = true;
    SetItemText(dlg_, res::kActAdvanced, text);
    filling_ = false;
    ShowWords(text);
}

void ActionDialog::ShowWords(const std::string& text) {
    const std::string problem = qrtl::CommandProblemWords(qrtl::CommandProblem(text));
    SetItemText(dlg_, res::kActWords,
                text.empty() ? "no action"
                             : problem.empty() ? FromAnsi(qrtl::setup::DescribeCommandText(catalog_, text)) : problem);
}

void ActionDialog::FillCommands() {
    const HWND commands = ::GetDlgItem(dlg_, res::kActCommands);
    for (const auto& menu : catalog_.menus) {
        AddItem(commands, FromAnsi("Menu: " + menu.path + (menu.shortcut.empty() ? "" : "  (" + menu.shortcut + ")")));
        commandTexts_.push_back(qrtl::setup::CommandIdText(menu.id));
    }
    for (const auto& control : catalog_.controls) {
        AddItem(commands, FromAnsi(qrtl::setup::ControlInWords(control)));
        commandTexts_.push_back(qrtl::setup::CommandIdText(control.id));
    }
    if (commandTexts_.empty()) {
        AddItem(commands, application_.empty()
                              ? std::string("(no TV application taken yet, or it shows no commands)")
                              : "Start " + FromAnsi(application_) + " to choose from its menus");
        ::SendMessageW(commands, CB_SETCURSEL, 0, 0);
        ::EnableWindow(commands, FALSE);
    }
    // Without the application's commands the raw form is for those who know it: it
    // shows under Advanced only.
    const bool rawFirst = !commandTexts_.empty() || application_.empty();
    for (const int id : {res::kActAdvancedLabel, res::kActAdvanced})
        ::ShowWindow(::GetDlgItem(dlg_, id), rawFirst ? SW_SHOW : SW_HIDE);
    ::ShowWindow(::GetDlgItem(dlg_, res::kActShowAdvanced), rawFirst ? SW_HIDE : SW_SHOW);
    if (!commandTexts_.empty()) SelectMatching(commands, commandTexts_, commandText_);
}

void ActionDialog::FillKeys() {
    const HWND keys = ::GetDlgItem(dlg_, res::kActKeys);
    for (const auto& key : qrtl::setup::NamedVirtualKeys()) {
        qrtl::setup::KeyStroke stroke;
        stroke.vk = key.vk;
        AddItem(keys, key.name);
        keyTexts_.push_back(qrtl::setup::KeyCommandText(stroke));
    }
    SelectMatching(keys, keyTexts_, commandText_);
}

bool ActionDialog::OnInit() {
    SetText(dlg_, "Action of " + keyName_);
    SetItemText(dlg_, res::kActKey, "What " + keyName_ + " (" + legend_ + ") does in the TV application:");
    FillCommands();
    FillKeys();
    ::SendDlgItemMessageW(dlg_, res::kActAdvanced, EM_LIMITTEXT, 16, 0);
    ShowText(commandText_);
    return true;
}

void ActionDialog::OnPicked(int list, int other, const std::vector<std::string>& texts) {
    const auto at = ::SendDlgItemMessageW(dlg_, list, CB_GETCURSEL, 0, 0);
    if (at < 0 || static_cast<std::size_t>(at) >= texts.size()) return;
    ::SendDlgItemMessageW(dlg_, other, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    ShowText(texts[static_cast<std::size_t>(at)]);
}

void ActionDialog::OnOk() {
    const std::string text = ItemText(dlg_, res::kActAdvanced);
    const std::string problem = qrtl::CommandProblemWords(qrtl::CommandProblem(text));
    if (!text.empty() && !problem.empty()) {
        Ask(dlg_, text + ": " + problem + ".", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    commandText_ = text;
    ::EndDialog(dlg_, IDOK);
}

INT_PTR ActionDialog::OnMessage(UINT msg, WPARAM wParam, LPARAM) {
    if (msg != WM_COMMAND) return FALSE;
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (id == res::kActCommands && code == CBN_SELCHANGE) {
        OnPicked(res::kActCommands, res::kActKeys, commandTexts_);
    } else if (id == res::kActKeys && code == CBN_SELCHANGE) {
        OnPicked(res::kActKeys, res::kActCommands, keyTexts_);
    } else if (id == res::kActAdvanced && code == EN_CHANGE && !filling_) {
        const std::string text = ItemText(dlg_, res::kActAdvanced);
        SelectMatching(::GetDlgItem(dlg_, res::kActCommands), commandTexts_, text);
        SelectMatching(::GetDlgItem(dlg_, res::kActKeys), keyTexts_, text);
        // Only the words: setting the field's text again would put the caret back
        // to its start and lose the selection while the owner types.
        ShowWords(text);
    } else if (id == res::kActShowAdvanced && code == BN_CLICKED) {
        for (const int shown : {res::kActAdvancedLabel, res::kActAdvanced})
            ::ShowWindow(::GetDlgItem(dlg_, shown), SW_SHOW);
        ::ShowWindow(::GetDlgItem(dlg_, res::kActShowAdvanced), SW_HIDE);
        ::SetFocus(::GetDlgItem(dlg_, res::kActAdvanced));
    } else if (id == IDOK) {
        OnOk();
    } else if (id == IDCANCEL) {
        ::EndDialog(dlg_, IDCANCEL);
    }
    return TRUE;
}

}  // namespace

bool ChooseAction(HWND owner, const std::string& keyName, const std::string& legend,
                  const AppCatalog& catalog, std::string& commandText, const std::string& application) {
    ActionDialog dialog(keyName, legend, catalog, commandText, application);
    if (dialog.RunModal(owner) != IDOK) return false;
    commandText = dialog.CommandText();
    return true;
}

}  // namespace remote
