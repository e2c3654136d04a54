#include "app/Win32Platform.h"

namespace qrtl::win32 {

qrtl::Services Win32Platform::Services(qrtl::IPromptWindow* prompt) {
    qrtl::Services services;
    services.profile = &profile;
    services.module = &module;
    services.registry = &registry;
    services.desktop = &desktop;
    services.card = &card;
    services.clock = &clock;
    services.launcher = &launcher;
    services.shutdown = &shutdown;
    services.prompt = prompt;
    return services;
}

}  // namespace qrtl::win32
