// One pattern for the set-up tools' dialogs: a dialog from a resource template
// whose messages reach a C++ object, modal or modeless. Unicode windows, so that
// the controls take the tools' UTF-8 texts widened. (The monitor's framework
// dialog is an ANSI window with data exchange, which these do not use.)
#pragma once

#include <windows.h>

namespace tools {

class ToolDialog {
public:
    explicit ToolDialog(unsigned templateId) : templateId_(templateId) {}
    // A modeless window that still exists is destroyed with its object.
    virtual ~ToolDialog();
    ToolDialog(const ToolDialog&) = delete;
    ToolDialog& operator=(const ToolDialog&) = delete;

    // Runs the dialog over `owner` until it ends; EndDialog's result, or -1 when the
    // dialog cannot be created.
    INT_PTR RunModal(HWND owner);
    // Creates the modeless window; false when it cannot be created.
    bool CreateModeless(HWND owner);
    // Creates the modeless window and shows it as `show` says; false when it cannot be created.
    bool ShowModeless(HWND owner, int show);
    // Dispatches the thread's messages, the dialog's keys through the dialog manager,
    // until the quit message.
    int RunMessageLoop();
    HWND Window() const { return dlg_; }

protected:
    // WM_INITDIALOG: false when the handler has set the focus itself.
    virtual bool OnInit() = 0;
    // Every later message, as a dialog procedure answers it: FALSE leaves the message
    // to the dialog manager. SetResult gives a message its result.
    virtual INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    void SetResult(LRESULT result) const { ::SetWindowLongPtrW(dlg_, DWLP_MSGRESULT, result); }

    HWND dlg_ = nullptr;

private:
    static INT_PTR CALLBACK Procedure(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

    unsigned templateId_;
};

}  // namespace tools
