// The remote set-up window: the TV application, the 27 keys with their codes and
// actions, what is wrong, a live strip, Save and Close. It is glue: its messages
// become events of its model (setup/RemoteSession), which holds the owner's changes
// until Save and decides; the steps it returns become calls of its links (the
// receiver, the monitor, the files, the key buttons), and its view goes into the
// views (KeyList, FindingList, WindowChoice, ControlView, FinderTool).
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "AnchorLayout.h"
#include "AppLink.h"
#include "AppSelector.h"
#include "Banner.h"
#include "ControlView.h"
#include "FinderTool.h"
#include "FindingList.h"
#include "KeyButtons.h"
#include "KeyList.h"
#include "LearnLink.h"
#include "MonitorLink.h"
#include "WindowChoice.h"
#include "setup/RemoteSession.h"
#include "tools/common/ToolDialog.h"

namespace remote {

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

private:
    bool OnInit() override;
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnNotify(const NMHDR& header);
    void OnCommand(int id, int code);
    // Enter where no button has the focus, or a double click on a key row: by the
    // control `focus` (setup/EnterEscape.h). Never Save.
    void OnEnter(HWND focus);
    void OnEscape();
    void GoToFinding();

    // The model into the views: all of it, the world's lines, the controls.
    void Refresh();
    void ShowClient();
    void EnableButtons();
    // The window list, without the programs the other entries have.
    void FillWindowList() {
        windows_.Fill([this](const std::string& item) { return session_.OffersWindowOf(item); });
    }

    // The TV application (ClientPanel.cpp). `words`: the window being taken, for "Chosen: ...".
    void UseChosenWindow();
    void TakeWindow(HWND target);
    void FollowApp(const qrtl::setup::AppStep& step, const std::string& words);
    void ReadCatalog();  // the edited application's commands

    // Learning and the world looked at again (LearnPanel.cpp).
    void StartLearning(int index, bool all);
    void OnRead();
    void CheckReadHang();
    void LookAgain();  // every line that states the world follows
    void CheckMonitorShows();
    // Carries out a step of the model: the receiver's part, the view, its words, its question.
    void Follow(const qrtl::setup::SessionStep& step);
    // Stops learning and lets the receiver go; true when the monitor closed for it started again.
    bool ReleaseReceiver();

    // The key buttons besides learning: Action... waits for the program file's read.
    void OnAction();
    void OnKeyButton(KeyDone (KeyButtons::*press)(int) const);

    // A read-only profile, Save and Close (SavePanel.cpp).
    // True while the file is writable. `glance`: the look every second.
    bool RecheckWritable(bool glance = false);
    bool SaveAs();
    bool Save();
    void Close();
    // The alert, the banner's line and the status line after Save, which says when
    // the monitor that was `monitorStarted` shows.
    void TellSave(const qrtl::setup::SaveWords& words, bool monitorStarted = false);

    std::string profilePath_;
    qrtl::setup::RemoteSession session_;  // what the window remembers and decides
    std::unique_ptr<AppSelector> selector_;
    bool actionWaiting_ = false;   // Action... opens once the program file is read
    Banner banner_{session_};
    std::unique_ptr<FinderTool> finder_;
    AnchorLayout layout_;
    // The views hold the controls' handles; the links make the Win32 calls.
    KeyList keys_;
    FindingList findings_;
    WindowChoice windows_;
    ControlView view_;
    KeyButtons keyButtons_{session_, dlg_, [this] { Refresh(); }};
    MonitorLink monitors_{session_, dlg_, view_};
    LearnLink learn_{session_, dlg_, view_, monitors_};
    AppLink apps_{session_, dlg_, view_};
};

}  // namespace remote
