// The remote set-up window: the TV application, the 27 keys with their codes and
// actions, what is wrong, a live strip, Save and Close. It is glue: its messages
// become events of its model (setup/RemoteSession), which holds the owner's changes
// until Save and decides; the steps it returns become calls (the receiver, the
// monitor, the files, the questions), and its view goes into the views (KeyList,
// FindingList, WindowChoice, ControlView, FinderTool).
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "AnchorLayout.h"
#include "ControlView.h"
#include "FinderTool.h"
#include "FindingList.h"
#include "KeyList.h"
#include "WindowChoice.h"
#include "tools/common/ToolDialog.h"
#include "tools/common/MonitorControl.h"
#include "Banner.h"
#include "MonitorLink.h"
#include "CatalogRead.h"
#include "AppSelector.h"
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
    // Enter where no button has the focus, or a double click on a key row: what
    // it does by the control `focus` (setup/EnterEscape.h). Never Save.
    void OnEnter(HWND focus);
    // Escape: the key being learned skipped, a drag ended, or the window closed.
    void OnEscape();
    // A finding double-clicked or Entered: to the key, control or list it is about.
    void GoToFinding();
    // The model shown anew (RemoteView.cpp): rows, findings, lines and controls.
    void Refresh();
    // The world looked at now, and the lines and the banner that state it.
    void ShowClient();
    // The controls' states and captions, for the key selected and the monitor running.
    void EnableButtons();
    // Short calls into the views, for the steps that the panels carry out.
    void FocusKeyList() { keys_.Focus(); }
    void Live(const std::string& text) { view_.Live(text); }
    void SetPrompt(const std::string& text) { view_.Prompt(text, session_.Learning()); }
    int SelectedKey() const { return keys_.Selected(); }
    void SelectKey(int index) { keys_.Select(index); }
    // The window list, without the programs the other entries have.
    void FillWindowList() {
        windows_.Fill([this](const std::string& item) { return session_.OffersWindowOf(item); });
    }

    // The TV application (ClientPanel.cpp).
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

    // What the finder tool tells of a drag: worded on the status line, a window taken.
    void OnFinder(const FinderNews& news);

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
    // Adds "The monitor runs again." to `words` in the status line, once the
    // started monitor's window shows (looked for on a timer).
    // `forSave`: started by Save or Save as, not at the end of learning.
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

    // ---- The TV applications' steps (ClientPanel.cpp)
    // Carries out an application step of the model: shows it, asks its question and
    // follows the answer. `words`: the window being taken, for "Chosen: ...".
    void FollowApp(const qrtl::setup::AppStep& step, const std::string& words);

    std::string profilePath_;
    qrtl::setup::RemoteSession session_;  // what the window remembers and decides
    std::unique_ptr<AppSelector> selector_;  // which application the window edits
    CatalogReader catalogReader_;  // reads the application's commands off this thread
    bool actionWaiting_ = false;   // Action... opens once the program file is read
    qrtl::win32::CardReceiver receiver_;  // taken only while learning
    Banner banner_{session_};
    std::unique_ptr<FinderTool> finder_;
    AnchorLayout layout_;
    // The views: they hold the controls' handles, the window the calls between them.
    KeyList keys_;
    FindingList findings_;
    WindowChoice windows_;
    ControlView view_;

    // ---- The running monitors (MonitorLink.cpp): found, closed and started
    MonitorLink monitors_{session_, dlg_};
};

}  // namespace remote
