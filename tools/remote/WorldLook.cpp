#include "WorldLook.h"

#include "WindowList.h"
#include "driver/CardDriver.h"
#include "platform/win32/Win32Config.h"
#include "setup/LaunchFinding.h"
#include "setup/win32/PathKind.h"
#include "setup/win32/SystemCheck.h"
#include "tools/common/MonitorControl.h"

namespace remote {

void RecheckWithSystem(qrtl::setup::RemoteSession& session) {
    qrtl::win32::Win32Registry registry;
    session.Recheck(qrtl::win32::SystemCheckEnvironment(registry), CardDriverFileName());
}

qrtl::setup::World WorldNow(const qrtl::setup::RemoteSession& session) {
    qrtl::win32::Win32Registry registry;
    qrtl::setup::World world;
    world.monitorRuns = tools::FindMonitor() != nullptr;
    world.clientOpen = FindClient(session.EditedAsActive()) != nullptr;
    world.launch = qrtl::setup::FindLaunch(session.Profile().Document(), registry, qrtl::win32::KindOfPath);
    world.driver = CardDriverFileName();
    return world;
}

}  // namespace remote
