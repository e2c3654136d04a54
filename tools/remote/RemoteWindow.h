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
#include "MonitorLink.h"
#include "CatalogRead.h"
#include "AppSelector.h"
#include "setup/AppCommands.h"
#include "setup/RemoteSession.h"
#include "setup/win32/CardReceiver.h"

namespace remote {

// Learning's message (a read is waiting) and its timer (the hang check).
constexpr UINT kMsgRead = WM_APP + 1;
constexpr UINT_PTR kTimerHang = 1;
constexpr UINT_PTR kTimerMonitorShows = 2;
// What the window states of the world (the application's window, the driver file,
// the monitor, the file's write access) is looked at again on this timer.
constexpr UINT_PTR kTimerLook = 3;
constexpr UINT kLookIntervalMs = 1000;

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
    // The model shown anew (RemoteView.cpp): rows, findings, lines and controls.
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

    // The TV application (ClientPanel.cpp).
    void FillWindowList();
    void UseChosenWindow();
    void TakeWindow(HWND target);
    // The window examined and its commands read: taken for the edited slot, after
    // the owner's answers.
    void OnExamined(HWND target, const std::string& words, CatalogResult& read);
    void ReadCatalog(HWND client);
    void FillFromCommands(bool ask);
    HWND FindClientNow();
    // The unsaved profile as the monitor would read it were the edited application
    // the one POWER starts: its window search and its key map, to find and test it.
    qrtl::ProfileDocument EditedAsActive() const;

    // The finder tool: the mouse on the window (RemoteWindow.cpp).
    INT_PTR OnMouse(UINT msg, LPARAM lParam);

    // Learning (LearnPanel.cpp): the model decides, the receiver reads.
    void ProbeReceiver();
    bool EnsureReceiver();
    void StartLearning(int index, bool all);
    void OnRead();
    void CheckReadHang();
    // The world looked at again: every line that states it follows.
    void LookAgain();
    // Carries out a step of the model: asks its question, says its words, lets the
    // receiver go, and shows the model anew.
    void Follow(const qrtl::setup::SessionStep& step);
    // Stops learning and lets the receiver go; starts the monitor again when this
    // window closed it. True when it was started again.
    bool ReleaseReceiver();
    // Starts the monitor this window closed to learn, when the model says so; true
    // when it was started.
    bool GiveMonitorBack();
    // Adds "The monitor runs again." to `words`, in the banner and the status line,
    // once the started monitor's window shows (looked for on a timer).
    // `forSave`: the banner keeps the words too.
    void SayWhenMonitorShows(const std::string& words, bool forSave = true);
    void CheckMonitorShows();

    // The running monitor (MonitorPanel.cpp).
    // Closes the monitor of this folder, after the owner's yes; false when it still
    // runs (or another monitor does), with the owner told.
    bool CloseMonitorToLearn();
    // After Save: offers to restart a monitor of this folder that kept running, so
    // that it reads the saved profile (unless the one closed to learn is started, or
    // the file saved is not the one it reads).
    qrtl::setup::ChangesTaken RestartMonitorForChanges(bool closedToLearn, bool savedMonitorsFile);
    // Tells the owner a step of the model: its alert in a message box, then its
    // status line. The model's words keep the system's code page.
    void Tell(const qrtl::setup::FlowStep& step);

    // The key buttons besides learning (KeyPanel.cpp).
    void OnAction();
    void OnTest();
    void OnClear();

    // A read-only profile, Save and Close (SavePanel.cpp).
    qrtl::setup::WindowFacts Facts() const;
    // Follows the file becoming writable or read-only; true while it is writable.
    // `glance`: the look every second, which opens the file only when it was read-only.
    bool RecheckWritable(bool glance = false);
    // Writes the window's profile to a file the owner names; the window then works on it.
    bool SaveAs();
    bool Save();
    void Close();
    // Tells the words after Save or Save as: the alert, the banner's line, the
    // status line (returned, as shown).
    std::string TellSave(const qrtl::setup::SaveWords& words);

    HWND keys_ = nullptr;
    std::string profilePath_;
    qrtl::setup::RemoteSession session_;  // what the window remembers and decides
    std::unique_ptr<AppSelector> selector_;  // which application the window edits
    CatalogReader catalogReader_;  // reads the application's commands off this thread
    bool actionWaiting_ = false;   // Action... opens once the program file is read
    std::vector<HWND> windowList_;
    qrtl::win32::CardReceiver receiver_;  // taken only while learning
    Banner banner_{session_};
    std::unique_ptr<FinderTool> finder_;
    AnchorLayout layout_;
    qrtl::win32::UniqueHFont promptFont_;

    // ---- The running monitors (MonitorLink.cpp): found, closed and started
    MonitorLink monitors_{session_, dlg_};
};

}  // namespace remote
