// The set-up window's hands on the running monitors: it finds them, closes one
// (with the window disabled and deaf to commands meanwhile) and starts one. What
// to close, ask or say is the model's (setup/SessionSave.h); this holds only the
// windows found at the last look.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "setup/RemoteSession.h"
#include "tools/common/MonitorControl.h"

namespace remote {

class MonitorLink {
public:
    // `session` knows the wait: a close of the window asked meanwhile comes after it.
    // `owner`: the window's handle, disabled during the wait (read when used).
    MonitorLink(qrtl::setup::RemoteSession& session, const HWND& owner) : session_(session), owner_(owner) {}
    MonitorLink(const MonitorLink&) = delete;
    MonitorLink& operator=(const MonitorLink&) = delete;

    // The running monitors, as the model sees them; remembered for Close and Image.
    std::vector<qrtl::setup::SeenMonitor> Look();
    // Closes monitor `index` of the last look and waits until it has ended;
    // `why` says what went wrong.
    qrtl::setup::CloseResult Close(int index, std::string& why);
    // The program file of monitor `index` of the last look.
    const std::string& Image(int index) const { return running_[static_cast<std::size_t>(index)].image; }
    // Starts the monitor program `image`; false with the reason.
    static bool Start(const std::string& image, std::string& why) { return tools::LaunchMonitor(image, why); }

private:
    qrtl::setup::RemoteSession& session_;
    const HWND& owner_;
    std::vector<tools::RunningMonitor> running_;
};

}  // namespace remote
