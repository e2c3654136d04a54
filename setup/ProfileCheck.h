// The profile checker: what in a profile the monitor would read differently from
// what its writer meant, found with the monitor's own loading code.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "config/ProfileReader.h"
#include "platform/Platform.h"

namespace qrtl {

enum class Severity { Error, Warning, Note };

struct Finding {
    int line = 0;
    Severity severity = Severity::Warning;
    std::string text;
    std::string id;  // stable, for scripts: "code-format", "timer" ...
};

// What only the real system can answer; without a registry the client's
// installation is not checked.
struct CheckEnvironment {
    IRegistry* registry = nullptr;
    std::function<bool(const std::string& path)> fileExists;
    // Whether users other than administrators may change the key under
    // HKEY_LOCAL_MACHINE; not asked when not set.
    std::function<bool(const std::string& machineKey)> usersCanWrite;
};

// The findings of one profile, ordered by line.
std::vector<Finding> CheckProfile(const ProfileDocument& document,
                                  const CheckEnvironment& environment = {});

// Why `bytes` cannot be taken for a profile at all (empty, binary, too large, no
// section); empty when it can.
std::string ProfileUnusableReason(std::string_view bytes);

// The largest profile file the tools accept.
constexpr std::size_t kMaxProfileBytes = 1024 * 1024;

// Why the monitor would not post a command text as its writer meant ("too short,
// nothing is sent ..."); empty when it would.
std::string CommandProblem(const std::string& command);

// "FILE:LINE: error|warning|note: TEXT [ID]"
std::string FormatFinding(const std::string& file, const Finding& finding);
// "N errors, N warnings, N notes"
std::string FormatSummary(const std::vector<Finding>& findings);
// 2 with an error, 1 with a warning, else 0.
int CheckExitStatus(const std::vector<Finding>& findings);

}  // namespace qrtl
