// QRTLProfile: what the commands of the profile assistant share.
#pragma once

#include <string>
#include <vector>

#include "product.h"
#include "tools/common/WholeNumber.h"

namespace profiletool {

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitWarnings = 1;
constexpr int kExitFailed = 2;      // errors found, bad usage, or the command could not be done
constexpr int kExitUnreadable = 3;  // the profile cannot be read

constexpr const char* kDefaultProfile = product::kProfileName;

// One line on standard error, prefixed with the program's name.
void Fail(const std::string& text);
// The same for what is not a failure (which profile was taken).
void Note(const std::string& text);

// PROFILE as given; when none is, QRTLIRMoni.INI beside the program (where the
// installer puts both, never one in the current folder), said on standard error.
std::string ProfileOrDefault(const std::string& given);
// One line on standard output, flushed at once: scripts and tests follow it as it
// grows. (C streams rather than iostreams: their imports exist on every Windows
// the monitor runs on.)
void Say(const std::string& text);

// Reads a profile that the tools can work on; on failure says why on standard
// error and returns false.
bool ReadProfileFile(const std::string& path, std::string& bytes);

// The commands that need Windows; `args` follow the command's name.
int RunLearn(const std::vector<std::string>& args);
int RunWindow(const std::vector<std::string>& args);
int RunCommands(const std::vector<std::string>& args);

}  // namespace profiletool
