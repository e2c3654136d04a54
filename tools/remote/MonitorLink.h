// The set-up window's hands on the running monitors: it finds them, closes one
// (with the window disabled and deaf to commands meanwhile) and starts one. What
// to close, ask or say is the model's (setup/SessionSave.h); this holds only the
// windows found at the last look.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ControlView.h"
#include "setup/RemoteSession.h"
#include "tools/common/MonitorControl.h"

namespace remote {

// The timer that looks for a started monitor's window.
constexpr UINT_PTR kTimerMonitorShows = 2;

class MonitorLink {
public:
    // `session` knows the wait: a close of the window asked meanwhile comes after it.
    // `owner`: the window's handle, disabled during the wait (read when used);
    // `view` tells the owner.
    MonitorLink(qrtl::setup::RemoteSession& session, const HWND& owner, const ControlView& view)
        : session_(session), owner_(owner), view_(view) {}
    MonitorLink(const MonitorLink&) = delete;
    MonitorLink& operator=(const MonitorLink&) = delete;

    // The running monitors, as the model sees them; remembered for Close and Image.
    std::vector<qrtl::setup::SeenMonitor> Look();
    // Closes monitor `index` of the last look and waits until it has ended;
    // `why` says what went wrong.
    qrtl::setup::CloseResult Close(int index, std::string& why);
    // The program file of monitor `index` of the last look.
    const std::string& Image(int index) const { return running_[static_cast<std::size_t>(index)].image; }
    // Closes the monitor of this folder to learn, after the owner's yes; false when
    // it still runs (or another monitor does), with the owner told.
    bool CloseToLearn();
    // After Save: offers to restart a monitor of this folder that kept running, so
    // that it reads the saved profile (unless the one closed to learn is started, or
    // the file saved is not the one it reads).
    qrtl::setup::ChangesTaken RestartForChanges(bool closedToLearn, bool savedMonitorsFile);
    // Starts the monitor this window closed to learn, when the model says so (the
    // receiver not `stuck`); true when it was started.
    bool GiveBack(bool stuck);
    // The status line's `words` get "The monitor runs again." once the started
    // monitor's window shows, looked for on a timer, never in a wait here.
    // `forSave`: started by Save or Save as, not at the end of learning.
    void SayWhenShows(const std::string& words, bool forSave = true);
    // On that timer: the words to say once the window shows, else empty.
    std::string LookForStarted();
    // Starts the monitor program `image`; false with the reason.
    static bool Start(const std::string& image, std::string& why) { return tools::LaunchMonitor(image, why); }

private:
    qrtl::setup::RemoteSession& session_;
    const HWND& owner_;
    const ControlView& view_;
    std::vector<tools::RunningMonitor> running_;
};

}  // namespace remote
