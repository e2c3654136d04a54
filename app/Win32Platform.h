// The composition root: the real platform, one adapter of each interface and the
// card driver, joined for the application shell.
#pragma once

#include "driver/CardDriver.h"
#include "platform/Platform.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32Config.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32Launcher.h"
#include "platform/win32/Win32Shutdown.h"
#include "platform/win32/Win32Trace.h"

namespace qrtl::win32 {

// Lives as long as the configuration object uses it. The card reader only forwards
// to the driver library that LoadCardDriver opened; the trace transport is handed
// to SetTraceTransport by the shell, since the trace channel is not a service.
struct Win32Platform {
    Win32Profile profile;
    Win32Module module{CardDriverFileName()};
    Win32Registry registry;
    Win32Desktop desktop;
    CardDriverReader card;
    Win32Clock clock;
    Win32Launcher launcher;
    Win32Shutdown shutdown;
    Win32TraceTransport trace;

    // Every service the configuration object reaches; the prompt window comes from
    // the application shell.
    qrtl::Services Services(qrtl::IPromptWindow* prompt);
};

}  // namespace qrtl::win32
