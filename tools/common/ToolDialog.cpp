#include "tools/common/ToolDialog.h"

namespace tools {

ToolDialog::~ToolDialog() {
    if (dlg_ == nullptr || !::IsWindow(dlg_)) return;
    // The derived object is gone by now: the window's last messages get the default
    // processing, not its handlers.
    ::SetWindowLongPtrW(dlg_, DWLP_USER, 0);
    ::DestroyWindow(dlg_);
}

INT_PTR ToolDialog::RunModal(HWND owner) {
    return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner, Procedure,
                             reinterpret_cast<LPARAM>(this));
}

bool ToolDialog::CreateModeless(HWND owner) {
    return ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner, Procedure,
                                reinterpret_cast<LPARAM>(this)) != nullptr;
}

bool ToolDialog::ShowModeless(HWND owner, int show) {
    if (!CreateModeless(owner)) return false;
    ::ShowWindow(dlg_, show);
    ::UpdateWindow(dlg_);
    return true;
}

int ToolDialog::RunMessageLoop() {
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (dlg_ && ::IsDialogMessageW(dlg_, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}

INT_PTR CALLBACK ToolDialog::Procedure(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        auto* self = reinterpret_cast<ToolDialog*>(lParam);
        ::SetWindowLongPtrW(dlg, DWLP_USER, lParam);
        self->dlg_ = dlg;
        return self->OnInit() ? TRUE : FALSE;
    }
    auto* self = reinterpret_cast<ToolDialog*>(::GetWindowLongPtrW(dlg, DWLP_USER));
    // Messages before WM_INITDIALOG (WM_SETFONT ...) get the default processing.
    if (self == nullptr) return FALSE;
    const INT_PTR result = self->OnMessage(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(dlg, DWLP_USER, 0);
        self->dlg_ = nullptr;
    }
    return result;
}

}  // namespace tools
