// The POWER prompt: a captionless, centred window over everything for the two
// to three seconds the dispatch watches the receiver.
#pragma once

#include <memory>

#include "framework/Afx.h"
#include "platform/Platform.h"
#include "res/resource.h"

class CPowerPromptDlg : public CDialog {
public:
    CPowerPromptDlg() : CDialog(res::kDlgPowerPrompt) {}
};

// The dispatch's view of the prompt. The dialog object is made on the first
// prompt and kept until exit; its window lives from Show to Destroy.
class CPowerPromptWindow : public qrtl::IPromptWindow {
public:
    // Creates the window owned by the main window, shows it topmost without
    // moving or sizing it, and paints it at once: no messages are dispatched
    // while the prompt is up.
    void Show() override;
    void Destroy() override;

    CPowerPromptDlg* GetDialog() const { return m_pDlg.get(); }

private:
    std::unique_ptr<CPowerPromptDlg> m_pDlg;
};
