// The remote set-up window: the TV application, the 27 keys with their codes and
// actions, what is wrong, a live strip, Save and Close. It holds the owner's
// changes until Save; the monitor's own code finds the client window and delivers
// a test key, and the checker judges the unsaved profile after every change.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "AnchorLayout.h"
#include "FinderTool.h"
#include "platform/win32/Handle.h"
#include "tools/common/ToolDialog.h"
#include "tools/common/MonitorControl.h"
#include "Banner.h"
#include "CatalogRead.h"
#include "AppSelector.h"
#include "setup/AppCommands.h"
#include "setup/PressDetector.h"
#include "setup/RemoteRows.h"
#include "setup/WindowGate.h"
#include "setup/win32/CardReceiver.h"

namespace remote {

// Learning's message (a read is waiting) and its timer (the hang check).
constexpr UINT kMsgRead = WM_APP + 1;
constexpr UINT_PTR kTimerHang = 1;

class RemoteWindow : public tools::ToolDialog {
public:
    // `profilePath`: full path; `fileText`: its content as read; `readOnly` when
    // the file cannot be written.
    RemoteWindow(std::string profilePath, std::string fileText, bool readOnly);
    ~RemoteWindow() override;
    RemoteWindow(const RemoteWindow&) = delete;
    RemoteWindow& operator=(const RemoteWindow&) = delete;

    // Creates and shows the window; false when it cannot be created.
    bool Create(int show);
    // Dispatches messages until the window has closed.
    int RunMessageLoop();

private:
    bool OnInit() override;
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnNotify(const NMHDR& header);
    void OnCommand(int id, int code);
    void OnEnter();
    void OnEscape();
    void GoToFinding();
    void Refresh();
    void ShowKeys();
    void ShowFindings();
    // "What is wrong" draws an icon of each finding's severity before its text.
    void FitFindingRows();
    void DrawFinding(const DRAWITEMSTRUCT& item);
    void ShowClient();
    // Enables what can be used now; a button about to be disabled hands the focus
    // to the key list first (a disabled window passes it to nobody).
    void EnableButtons();
    // The focus to the key list, through the dialog manager. Call it before
    // disabling the control that has the focus.
    void FocusKeyList();
    // FocusKeyList when `control`, about to be disabled, has the focus.
    void KeepFocusOff(HWND control);
    void Live(const std::string& text);
    // The prompt area above the key list: what the owner is asked to do now.
    void SetPrompt(const std::string& text);

    int SelectedKey() const;
    void SelectKey(int index);

    // The TV application.
    void FillWindowList();
    void UseChosenWindow();
    void TakeWindow(HWND target);
    // The window examined and its commands read: taken for the edited slot, after
    // the owner's answers.
    void OnExamined(HWND target, const std::string& words, const qrtl::setup::ClientWindowFacts& facts,
                    CatalogResult& read);
    void ReadCatalog(HWND client);
    void FillFromCommands(bool ask);
    HWND FindClientNow();
    // The unsaved profile as the monitor would read it were the edited application
    // the one POWER starts: its window search and its key map, to find and test it.
    qrtl::ProfileDocument EditedAsActive() const;

    // The finder tool: the mouse on the window.
    INT_PTR OnMouse(UINT msg, LPARAM lParam);

    // Keys: learning (LearnPanel.cpp).
    void ProbeReceiver();
    bool EnsureReceiver();
    // Closes the monitor of this folder, after the owner's yes; false when it still
    // runs (or another monitor does), with the owner told.
    bool CloseMonitorToLearn();
    // Waits, with the window disabled and deaf to commands, until `monitor` has
    // closed; a close of the window asked meanwhile is done afterwards.
    tools::MonitorClose WaitForMonitorToClose(const tools::RunningMonitor& monitor, std::string& why);
    // After Save: offers to restart a monitor of this folder that kept running, so
    // that it reads the saved profile; the words for the status line.
    std::string RestartMonitorForChanges();
    void StartLearning(int index, bool all);
    // Asks for the key being learned, after `before` ("Received 20 → VOL+. ").
    void PromptKey(const std::string& before = {});
    void OnRead(WPARAM wParam, LPARAM lParam);
    void OnPress();
    void NextKey(bool skipped, const std::string& before = {});
    void StopLearning(const std::string& why);
    void CheckReadHang();
    // Learn all's own caption again, after it read Stop.
    void RestoreLearnAll();
    void OnAction();
    void OnTest();
    void OnClear();

    // A read-only profile and the banner (SavePanel.cpp).
    qrtl::setup::WindowFacts Facts() const;
    // Follows the file becoming writable or read-only; true while it is writable.
    bool RecheckWritable();
    // False, with the reason in the status line, while Learn is off.
    bool LearnAllowed();
    // Writes the window's profile to a file the owner names; the window then works on it.
    bool SaveAs();

    // Ending.
    bool Save();
    void Close();
    // Stops learning and lets the receiver go; starts the monitor again when this
    // window closed it. True when it was started again.
    bool ReleaseReceiver();

    HWND keys_ = nullptr;
    std::unique_ptr<AppSelector> selector_;  // which application the window edits
    std::string profilePath_;
    std::string savedText_;  // the file as last read or saved: what the owner's changes are against
    bool readOnly_ = false;
    qrtl::setup::UnsavedProfile profile_;
    std::vector<qrtl::setup::KeyRow> rows_;
    std::vector<qrtl::setup::FindingRow> findings_;
    qrtl::setup::AppCatalog catalog_;
    bool launchNotFound_ = false;  // the application taken has no launch lines to be found
    CatalogReader catalogReader_;  // reads catalog_ off this thread
    std::vector<HWND> windowList_;

    qrtl::win32::CardReceiver receiver_;  // taken only while learning
    qrtl::setup::ReceiverFault receiverFault_ = qrtl::setup::ReceiverFault::None;  // learning is off while set
    Banner banner_;
    bool monitorClosed_ = false;   // the window closed the monitor to learn
    std::string closedMonitor_;    // the program file of that monitor, started again
    bool waitingForMonitor_ = false;  // the monitor is closing: no command is taken
    bool closeAsked_ = false;         // the window was closed during the last wait
    qrtl::setup::PressDetector detector_;
    int learnIndex_ = -1;  // the key being learned (the detector's), -1 when none
    bool learnAll_ = false;
    bool asking_ = false;
    std::string promptBefore_;  // said before the next key's prompt
    std::wstring learnAllCaption_;  // while Learn all reads Stop

    std::unique_ptr<FinderTool> finder_;
    AnchorLayout layout_;
    qrtl::win32::UniqueHFont promptFont_;
    bool closing_ = false;
};

}  // namespace remote
