// What the set-up window's model is checked against and states, looked at now: the
// system's registry and paths, the running monitor, the application's window and
// launch, the card driver's name.
#pragma once

#include "setup/RemoteSession.h"

namespace remote {

// The profile checked anew against the system as it is now.
void RecheckWithSystem(qrtl::setup::RemoteSession& session);
// The world the window's lines state.
qrtl::setup::World WorldNow(const qrtl::setup::RemoteSession& session);

}  // namespace remote
