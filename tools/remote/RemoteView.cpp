// The model into the set-up window's views: the profile checked anew against the
// system, and the world (the monitor, the application's window, its launch, the
// driver) looked at for the lines that state it.
#include "RemoteWindow.h"

#include "WindowList.h"
#include "driver/CardDriver.h"
#include "platform/win32/Win32Config.h"
#include "setup/LaunchFinding.h"
#include "tools/common/MonitorControl.h"
#include "setup/win32/PathKind.h"
#include "setup/win32/Win32KeySecurity.h"

namespace remote {

void RemoteWindow::Refresh() {
    if (selector_) selector_->Fill();
    qrtl::win32::Win32Registry registry;
    qrtl::CheckEnvironment environment;
    environment.registry = &registry;
    environment.pathKind = qrtl::win32::KindOfPath;
    environment.usersCanWrite = qrtl::win32::MachineKeyUsersCanWrite;
    session_.Recheck(environment, CardDriverFileName());
    keys_.Show(session_.Rows());
    findings_.Show(session_.Findings());
    ShowClient();
    EnableButtons();
}

void RemoteWindow::ShowClient() {
    qrtl::win32::Win32Registry registry;
    qrtl::setup::World world;
    world.monitorRuns = tools::FindMonitor() != nullptr;
    world.clientOpen = FindClient(session_.EditedAsActive()) != nullptr;
    world.launch = qrtl::setup::FindLaunch(session_.Profile().Document(), registry, qrtl::win32::KindOfPath);
    world.driver = CardDriverFileName();
    const qrtl::setup::SessionView view = session_.View(world);
    view_.ShowLines(view);
    banner_.Show(view.facts);
}

void RemoteWindow::EnableButtons() {
    const qrtl::setup::ControlStates states = session_.Controls(SelectedKey(), tools::FindMonitor() != nullptr);
    view_.Show(states);
    if (selector_) selector_->Enable(states.applications);
}

}  // namespace remote
