// The [Client] lines that make a TV application the monitor's client, as window
// --write and the set-up window write them, and what the owner is told about them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "config/ProfileKeys.h"
#include "config/ProfileReader.h"
#include "setup/LaunchSearch.h"
#include "setup/ProfileChange.h"
#include "platform/Platform.h"

namespace qrtl::setup {

constexpr int kClientChildCount = 3;
// Clients with a description line (N_ExeDesc): the setup dialog lists three.
constexpr int32_t kDescribedClients = profile::kExeDescCount;

// What was learned of the application's window and executable.
struct ClientWindowFacts {
    std::string item;        // upper-cased executable name without folder and extension
    std::string caption;
    // The caption holds characters the ANSI code page cannot hold: the monitor's
    // search by caption would compare '?' and never match.
    bool captionNotAnsi = false;
    std::string className;
    int32_t childIds[kClientChildCount] = {0, 0, 0};
    std::string exePath;     // full path; empty when not known
    std::string fileDescription;  // of the version resource; empty when none
    LaunchLines launch;
};

struct ClientLinesPlan {
    std::vector<ProfileChange> lines;  // [Client] lines, in writing order
    std::vector<std::string> notes;  // sentences for the owner, in order
};

// Why `text` cannot be a profile value as it is (a line break, leading or trailing
// blanks or quotes, which the profile functions strip or break on); empty when it can.
std::string BadProfileText(std::string_view text);

// The executable's description for the setup dialog's list: the file description,
// else the file name.
std::string ExeDescription(const ClientWindowFacts& facts);

// The lines of client N: Item, Caption, ClassName, Child0..2, Default, Control,
// ExeDesc (N in 0..2), and the launch lines: found, or empty. `current` is the profile
// as it is (for Default and Control before). A bad caption or class is written
// empty, and a note says why.
ClientLinesPlan PlanClientLines(int32_t client, const ClientWindowFacts& facts,
                                const ProfileDocument& current);

// The window the monitor's own search finds with a profile that holds `lines`
// (with Default=client) and nothing else.
WindowHandle SearchWithLines(const std::vector<ProfileChange>& lines, int32_t client,
                             IDesktop& desktop);

}  // namespace qrtl::setup
