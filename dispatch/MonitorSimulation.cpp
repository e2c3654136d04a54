#include "dispatch/MonitorSimulation.h"

#include "product.h"

namespace dispatch {

namespace {

// The code under which a key's action goes through the monitor's delivery: no
// received byte renders as it, so it never meets a learned code.
constexpr char kSentNowCode[] = "now";

}  // namespace

// Only the profile's path derives from the file name, and the profile here is given.
std::string MonitorSimulation::Module::FileName() { return product::kMonitorExe; }

// The system's family matters only to the shutdown, which is never simulated.
bool MonitorSimulation::Module::GetVersion(uint32_t, uint32_t& platformId) {
    platformId = qrtl::kPlatformWin32Nt;
    return true;
}

MonitorSimulation::MonitorSimulation(const qrtl::ProfileDocument& document, const SimulatedSystem& system)
    : profile_(document), hasDesktop_(system.desktop != nullptr), hasRegistry_(system.registry != nullptr) {
    qrtl::Services services;
    services.profile = &profile_;
    services.module = &module_;
    services.registry = system.registry;
    services.desktop = system.desktop;
    set_.SetServices(services);
    set_.LoadProfile();
}

bool MonitorSimulation::ClientNamed() const {
    return !set_.m_strItem.empty() || !set_.m_strCaption.empty() || !set_.m_strClassName.empty();
}

qrtl::WindowHandle MonitorSimulation::FindClientWindow() {
    return hasDesktop_ ? set_.FindTargetClientWindow() : qrtl::kNoWindow;
}

std::string MonitorSimulation::ClientExePath() {
    return hasRegistry_ ? set_.GetClientExePath(set_.m_nDefaultClient) : std::string();
}

MonitorSimulation::Sent MonitorSimulation::SendKeyNow(const std::string& keyName) {
    Sent sent;
    if (!hasDesktop_ || set_.FindTargetClientWindow() == qrtl::kNoWindow) return sent;
    // The key alone has a code for this one delivery; the learned codes come back after.
    ControllerKeyMap learned;
    learned.swap(set_.m_mapController);
    set_.m_mapController[kSentNowCode] = keyName;
    std::string command;
    // The delivery posts only a command text long enough to read; it says nothing of it.
    sent.posted = set_.GetClientCommand(kSentNowCode, command) && ParseCommandText(command).bLongEnough;
    set_.LookUpKey(kSentNowCode);
    set_.m_mapController.swap(learned);
    sent.window = set_.m_hWndClient;
    return sent;
}

qrtl::WindowHandle SearchClientWindow(const qrtl::ProfileDocument& document, qrtl::IDesktop& desktop) {
    SimulatedSystem system;
    system.desktop = &desktop;
    MonitorSimulation monitor(document, system);
    return monitor.FindClientWindow();
}

}  // namespace dispatch
