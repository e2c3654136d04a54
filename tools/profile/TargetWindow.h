// QRTLProfile window and commands: which window is the TV application's, from the
// options both take, and where their --write goes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace profiletool {

struct TargetOptions {
    int pickSeconds = -1;
    std::string title;
    std::string className;
    bool byTitle = false;
    bool byClass = false;
    bool write = false;
    int32_t client = 0;
    std::string profile;  // of --write; empty: the default profile
};

// (--pick SECONDS | --title TEXT | --class NAME) [--write N [PROFILE]]; on bad
// options says why, naming `command`, and returns false.
bool ParseTargetOptions(const char* command, const std::vector<std::string>& args, TargetOptions& o);

// The options, and with --write the profile read: kExitOk, else the exit status
// after saying why.
int PrepareTarget(const char* command, const std::vector<std::string>& args, TargetOptions& o,
                  std::string& profile, std::string& bytes);

// The window the options name; null after saying why on standard error.
HWND FindTargetWindow(const TargetOptions& o);

// "0001002C "Standin TV" (class StandinTVClass)"
std::string DescribeWindow(qrtl::IDesktop& desktop, HWND hWnd);

}  // namespace profiletool
