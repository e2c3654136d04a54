#include "MonitorLink.h"

namespace remote {

namespace {

constexpr DWORD kMonitorCloseMs = 10000;

qrtl::setup::CloseResult ResultOf(tools::MonitorClose closed) {
    switch (closed) {
    case tools::MonitorClose::Closed:
        return qrtl::setup::CloseResult::Closed;
    case tools::MonitorClose::NotTaken:
        return qrtl::setup::CloseResult::NotTaken;
    case tools::MonitorClose::StillRunning:
        return qrtl::setup::CloseResult::StillRunning;
    case tools::MonitorClose::Quit:
        break;
    }
    return qrtl::setup::CloseResult::Quit;
}

}  // namespace

std::vector<qrtl::setup::SeenMonitor> MonitorLink::Look() {
    running_ = tools::RunningMonitors();
    std::vector<qrtl::setup::SeenMonitor> seen;
    for (const tools::RunningMonitor& monitor : running_)
        seen.push_back({monitor.image, tools::FromProgramFolder(monitor.image)});
    return seen;
}

qrtl::setup::CloseResult MonitorLink::Close(int index, std::string& why) {
    session_.WaitBegins();
    const tools::MonitorClose closed =
        tools::CloseMonitor(running_[static_cast<std::size_t>(index)], owner_, kMonitorCloseMs, why);
    // A close asked meanwhile comes now, after what the wait was for.
    if (session_.WaitEnds()) ::PostMessageW(owner_, WM_CLOSE, 0, 0);
    return ResultOf(closed);
}

}  // namespace remote
