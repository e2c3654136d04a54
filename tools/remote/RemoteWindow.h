// The remote set-up window: the TV application, the 27 keys with their codes and
// actions, what is wrong, a live strip, Save and Close. It holds the owner's
// changes until Save; the monitor's own code finds the client window and delivers
// a test key, and the checker judges the unsaved profile after every change.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "CatalogRead.h"
#include "Receiver.h"
#include "setup/AppCommands.h"
#include "setup/RemoteRows.h"

namespace remote {

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

    // Keys.
    bool EnsureReceiver();
    void StartLearning(int index, bool all);
    // Asks for the key being learned, after `before` ("Received 20 → VOL+. ").
    void PromptKey(const std::string& before = {});
    void OnRead(WPARAM wParam, LPARAM lParam);
    void NextKey(bool skipped, const std::string& before = {});
    void StopLearning(const std::string& why);
    void CheckReadHang();
    void OnAction();
    void OnTest();
    void OnClear();

    // Ending.
    bool Save();
    void Close();
    void ReleaseReceiver();

    HWND dlg_ = nullptr;
    HWND keys_ = nullptr;
    std::string profilePath_;
    bool readOnly_ = false;
    qrtl::setup::UnsavedProfile profile_;
    std::vector<qrtl::setup::KeyRow> rows_;
    std::vector<qrtl::setup::FindingRow> findings_;
    qrtl::setup::AppCatalog catalog_;
    CatalogReader catalogReader_;  // reads catalog_ off this thread
    std::string launchNote_;  // why POWER cannot start the application taken
    std::vector<HWND> windowList_;

    Receiver receiver_;
    std::string receiverProblem_;  // in words; learning is off while it is set
    bool monitorClosed_ = false;   // the window closed the monitor to learn
    int learnIndex_ = -1;
    bool learnAll_ = false;
    bool asking_ = false;
    int quietReads_ = 0;
    std::set<uint32_t> quiet_;
    int held_ = -1;

    bool dragging_ = false;
    HWND dragTarget_ = nullptr;
    HWND frame_[4] = {};
    bool closing_ = false;
};

}  // namespace remote
