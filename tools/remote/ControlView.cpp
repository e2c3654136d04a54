#include "ControlView.h"

#include "RemoteLayout.h"
#include "UiText.h"
#include "product.h"
#include "resource.h"

namespace remote {

int Ask(HWND owner, const std::string& text, UINT flags) {
    return ::MessageBoxW(owner, Widen(text).c_str(), Widen(product::kRemoteCaption).c_str(), flags);
}

void ControlView::Attach(HWND dlg, KeyList& keys) {
    dlg_ = dlg;
    keys_ = &keys;
    promptFont_ = BoldFontOf(dlg_);
    if (promptFont_)
        ::SendDlgItemMessageW(dlg_, res::kPrompt, WM_SETFONT, reinterpret_cast<WPARAM>(promptFont_.get()), FALSE);
}

void ControlView::Show(const qrtl::setup::ControlStates& states) const {
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
    enable(res::kWindows, states.windowList);
    enable(res::kSave, states.save);
    enable(res::kSaveAs, states.saveAs);
    for (const qrtl::setup::ControlCaption& caption : qrtl::setup::Captions(states.learnAllReadsStop))
        if (caption.control == qrtl::setup::Control::Learn || caption.control == qrtl::setup::Control::LearnAll)
            SetItemTextIfChanged(dlg_, caption.control == qrtl::setup::Control::Learn ? res::kLearn : res::kLearnAll,
                                 caption.caption);
}

void ControlView::ShowLines(const qrtl::setup::SessionView& view) const {
    SetItemTextIfChanged(dlg_, res::kClientDesc, FromAnsi(view.client));
    SetItemTextIfChanged(dlg_, res::kLaunch, FromAnsi(view.launch));
    SetItemTextIfChanged(dlg_, res::kReceiver, view.receiver);
}

void ControlView::Prompt(const std::string& text, bool learning) const {
    SetItemText(dlg_, res::kPrompt, text);
    // What stopped learning is said on the status line.
    const bool prompting = !text.empty() && learning;
    ::ShowWindow(::GetDlgItem(dlg_, res::kPrompt), prompting ? SW_SHOW : SW_HIDE);
    ::ShowWindow(::GetDlgItem(dlg_, res::kReceiver), prompting ? SW_HIDE : SW_SHOW);
}

void ControlView::Live(const std::string& text) const { SetItemText(dlg_, res::kLive, " " + text); }

std::string ControlView::LiveText() const {
    const std::string shown = ItemText(dlg_, res::kLive);
    return shown.empty() ? shown : shown.substr(1);  // the margin Live puts before it
}

void ControlView::Tell(const qrtl::setup::FlowStep& step) const {
    if (!step.alert.empty()) Ask(dlg_, FromAnsi(step.alert), MB_OK | MB_ICONEXCLAMATION);
    if (!step.live.empty()) Live(FromAnsi(step.live));
}

void ControlView::FocusOn(int id) const {
    const HWND control = ::GetDlgItem(dlg_, id);
    if (::IsWindowEnabled(control))
        ::SendMessageW(dlg_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    else
        keys_->Focus();
}

void ControlView::GoTo(const qrtl::setup::FindingLead& lead) const {
    using qrtl::setup::FindingGoal;
    switch (lead.goal) {
    case FindingGoal::Key:
        keys_->Select(lead.key);
        keys_->Focus();
        return;
    case FindingGoal::WindowList:
        FocusOn(res::kWindows);
        Live("The TV application's lines: take its window again to complete them.");
        return;
    case FindingGoal::Fill:
        FocusOn(res::kFill);
        return;
    case FindingGoal::LearnAll:
        FocusOn(res::kLearnAll);
        return;
    case FindingGoal::Stay:
        return;
    }
}

void ControlView::KeepFocusOff(HWND control) const {
    if (control != nullptr && ::GetFocus() == control) keys_->Focus();
}

}  // namespace remote
