#include "ClearDlg.h"

#include "UiText.h"
#include "resource.h"
#include "tools/common/ToolDialog.h"

namespace remote {

namespace {

using qrtl::setup::ClearPart;

// A text shown on a button, where "&" would mark a letter.
std::string Literal(const std::string& text) {
    std::string out;
    for (const char c : text) out += c == '&' ? std::string("&&") : std::string(1, c);
    return out;
}

class ClearDialog : public tools::ToolDialog {
public:
    explicit ClearDialog(const ClearOffer& offer) : ToolDialog(res::kDlgClear), offer_(offer) {}
    ClearPart Part() const { return part_; }

private:
    bool OnInit() override {
        SetText(dlg_, "Clear " + offer_.key);
        SetItemText(dlg_, res::kClrText, "What of " + offer_.key + " (" + offer_.legend +
                                             ") do you remove? Nothing is written before Save.");
        const bool code = !offer_.code.empty();
        const bool action = !offer_.action.empty();
        SetItemText(dlg_, res::kClrCode, code ? "Its &code, " + Literal(offer_.code) : "Its &code (it has none)");
        SetItemText(dlg_, res::kClrAction, action ? "Its &action, " + Literal(offer_.action) : "Its &action (it has none)");
        ::EnableWindow(::GetDlgItem(dlg_, res::kClrCode), code);
        ::EnableWindow(::GetDlgItem(dlg_, res::kClrAction), action);
        ::EnableWindow(::GetDlgItem(dlg_, res::kClrBoth), code && action);
        const int chosen = code && action ? res::kClrBoth : code ? res::kClrCode : res::kClrAction;
        ::CheckRadioButton(dlg_, res::kClrCode, res::kClrBoth, chosen);
        ::SetFocus(::GetDlgItem(dlg_, chosen));
        return false;  // the focus is on the choice
    }

    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM) override {
        if (msg != WM_COMMAND) return FALSE;
        if (LOWORD(wParam) == IDOK) {
            part_ = ::IsDlgButtonChecked(dlg_, res::kClrBoth) == BST_CHECKED     ? ClearPart::Both
                    : ::IsDlgButtonChecked(dlg_, res::kClrAction) == BST_CHECKED ? ClearPart::Action
                                                                                 : ClearPart::Code;
            ::EndDialog(dlg_, IDOK);
        } else if (LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(dlg_, IDCANCEL);
        }
        return TRUE;
    }

    const ClearOffer& offer_;
    ClearPart part_ = ClearPart::Both;
};

}  // namespace

bool ChooseClear(HWND owner, const ClearOffer& offer, ClearPart& part) {
    ClearDialog dialog(offer);
    if (dialog.RunModal(owner) != IDOK) return false;
    part = dialog.Part();
    return true;
}

}  // namespace remote
