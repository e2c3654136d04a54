// The remote set-up window: the TV application, the 27 keys with their codes and
// actions, what is wrong, a live strip, Save and Close. It holds the owner's
// changes until Save; the monitor's own code finds the client window and delivers
// a test key, and the checker judges the unsaved profile after every change.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "AppSelector.h"
#include "setup/AppCommands.h"
#include "setup/PressDetector.h"
#include "setup/RemoteRows.h"
#include "setup/win32/CardReceiver.h"

namespace remote {

// Learning's message (a read is waiting) and its timer (the hang check).
constexpr UINT kMsgRead = WM_APP + 1;
constexpr UINT_PTR kTimerHang = 1;

class RemoteWindow {
public:
    // `profilePath`: full path; `fileText`: its content as read; `readOnly` when
    // the file cannot be written.
    RemoteWindow(std::string profilePath, std::string fileText, bool readOnly);
    ~RemoteWindow();
    RemoteWindow(const RemoteWindow&) = delete;
    RemoteWindow& operator=(const RemoteWindow&) = delete;

    // Creates and shows the window; false when it cannot be created.
    bool Create(int show);
    // Dispatches messages until the window has closed.
    int RunMessageLoop();

private:
    static INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT msg, WPARAM wParam, LPARAM lParam);

    void OnInit();
    void OnCommand(int id, int code);
    void Refresh();
    void ShowKeys();
    void ShowFindings();
    void ShowClient();
    void EnableButtons();
    void Live(const std::string& text);

    int SelectedKey() const;
    void SelectKey(int index);

    // The TV application.
    void FillWindowList();
    void TakeWindow(HWND target);
    void ReadCatalog(HWND client);
    void FillFromCommands(bool ask);
    HWND FindClientNow();

    // The finder tool.
    void DrawFinder(const DRAWITEMSTRUCT& item);
    bool OnFinderDown(POINT client);
    void OnFinderMove(POINT client);
    void OnFinderUp(POINT client);
    void Highlight(HWND target);

    // Keys: learning (LearnPanel.cpp).
    void ProbeReceiver();
    bool EnsureReceiver();
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

    // Ending.
    bool Save();
    void Close();
    // Stops learning and lets the receiver go; starts the monitor again when this
    // window closed it. True when it was started again.
    bool ReleaseReceiver();

    HWND dlg_ = nullptr;
    HWND keys_ = nullptr;
    std::unique_ptr<AppSelector> selector_;  // which application the window edits
    std::string profilePath_;
    bool readOnly_ = false;
    qrtl::setup::UnsavedProfile profile_;
    std::vector<qrtl::setup::KeyRow> rows_;
    std::vector<qrtl::setup::FindingRow> findings_;
    qrtl::setup::AppCatalog catalog_;
    std::string launchNote_;  // why POWER cannot start the application taken
    std::vector<HWND> windowList_;

    qrtl::win32::CardReceiver receiver_;  // taken only while learning
    std::string receiverProblem_;  // in words; learning is off while it is set
    bool monitorClosed_ = false;   // the window closed the monitor to learn
    qrtl::setup::PressDetector detector_;
    int learnIndex_ = -1;  // the key being learned (the detector's), -1 when none
    bool learnAll_ = false;
    bool asking_ = false;
    std::string promptBefore_;  // said before the next key's prompt
    std::wstring learnAllCaption_;  // while Learn all reads Stop

    bool dragging_ = false;
    HWND dragTarget_ = nullptr;
    HWND frame_[4] = {};
    bool closing_ = false;
};

}  // namespace remote
