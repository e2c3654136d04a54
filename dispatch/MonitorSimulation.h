// The monitor's configuration object over given profile lines and given services:
// what the real monitor would load, find and send with this profile, without its
// own file, card or prompt. The profile checker, the client lines of the set-up
// tools and the set-up window's Test run the monitor's own code through it.
#pragma once

#include <cstdint>
#include <string>

#include "config/ProfileReader.h"
#include "config/QRTLIRSet.h"
#include "platform/Platform.h"

namespace dispatch {

// What the simulated monitor may reach; a service left null is one it never asks
// for here (no registry: the client's folder is not read; no desktop: no window is
// searched or posted to).
struct SimulatedSystem {
    qrtl::IRegistry* registry = nullptr;
    qrtl::IDesktop* desktop = nullptr;
};

class MonitorSimulation {
public:
    // Loads `document` as the monitor loads its profile; the document must outlive
    // this object.
    explicit MonitorSimulation(const qrtl::ProfileDocument& document, const SimulatedSystem& system = {});
    MonitorSimulation(const MonitorSimulation&) = delete;
    MonitorSimulation& operator=(const MonitorSimulation&) = delete;

    // The settings as the monitor read them.
    const CQRTLIRSet& Loaded() const { return set_; }

    // True when the active client names a window to look for (item, caption or
    // class): without one the monitor's search would take any childless window.
    bool ClientNamed() const;
    // The client window the monitor's own search finds now; kNoWindow without a desktop.
    qrtl::WindowHandle FindClientWindow();
    // The program POWER starts for the active client ("folder\name", the name as
    // written); empty when the folder cannot be read or there is no registry.
    std::string ClientExePath();

    struct Sent {
        qrtl::WindowHandle window = qrtl::kNoWindow;  // kNoWindow: not sent, no client window
        bool posted = false;  // the key has an action that the delivery posts
    };
    // Sends the action of remote key `keyName` now, through the monitor's own search
    // and delivery, as if its code had just been received.
    Sent SendKeyNow(const std::string& keyName);

private:
    qrtl::DocumentProfile profile_;
    class Module : public qrtl::IModule {
    public:
        std::string FileName() override;
        bool GetVersion(uint32_t, uint32_t& platformId) override;
        bool ProtectedFolders(std::vector<std::string>&) override { return false; }
    } module_;
    CQRTLIRSet set_;
    bool hasDesktop_ = false;
    bool hasRegistry_ = false;
};

// The window the monitor's own search finds with the client lines of `document`:
// the one entry of the dispatch through which the set-up tools prove client lines.
qrtl::WindowHandle SearchClientWindow(const qrtl::ProfileDocument& document, qrtl::IDesktop& desktop);

}  // namespace dispatch
