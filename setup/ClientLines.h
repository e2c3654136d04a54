// The [Client] lines that make a TV application the monitor's client: the inner
// part of taking a window (PlanTakeWindow in ClientSlots.h), which window --write
// and the set-up window both use, and what the owner is told about the lines.
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
#include "setup/ProfileLineCheck.h"
#include "platform/Platform.h"

namespace qrtl::setup {

constexpr int kClientChildCount = 3;

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
    // The title is needed to find the window: the monitor's search by program,
    // class and child ids alone finds another window, or none (JudgeWindowMarks).
    bool titleNeeded = true;
    // The search by the three child ids alone finds the window: when a kept title
    // changes, the search still finds it that way.
    bool foundByControls = false;
};

// Why a text of the window or of its launch is not kept in the profile.
enum class NotKept {
    None,
    Text,           // `check`: what the profile would do to the text
    MayBeCut,       // the caption has 255 characters or more, and may have been cut
    NotAnsi,        // the caption holds characters the ANSI code page cannot hold
    RegistryKey,    // `check`: the registry key's name
    RegistryValue,  // `check`: the registry value's name
    NotBareName,    // the program's file name is not a bare file name
    ProgramName,    // `check`: the program's file name
    Quote,          // a quote in the program's folder or file name would break the command line
};
struct NotKeptReason {
    NotKept why = NotKept::None;
    LineCheck check;  // for Text, RegistryKey, RegistryValue, ProgramName
    bool Kept() const { return why == NotKept::None; }
};

// What the owner is told about taking a window, as codes and values; the words
// are made in setup/SlotWords.h.
enum class SlotNoteCode {
    TitleLeftEmpty,  // reason: the caption cannot be kept; the search relies on the rest
    ClassLeftEmpty,  // reason: the same for the window class
    ItemLeftEmpty,   // reason: the program's name cannot be kept; the window cannot be told
    LineLeftEmpty,   // reason: another line of the slot cannot be kept and is written empty
    TitleNeeded,     // app, title: only the title tells the window apart; a new title loses it
    LaunchFound,     // app, where: POWER starts it from its installed folder
    LaunchNotFound,  // app: POWER cannot start it
    LaunchNotKept,   // app, reason: its folder was found but the launch lines cannot hold it
    LaunchCleared,   // oldExe: POWER no longer starts the program it started before
    ActiveNow,       // app, before, powerStarts: it is the active application now
    ActiveAlready,   // app, powerStarts: it was the active one; new settings apply at the next start
    ForwardsKeys,    // app: keys now reach it while it runs (Control 0 -> 1)
    NameKept,        // app: the name the owner gave is kept
    ActiveStays,     // oldApp: the remote still works with the application it worked with
    ActionsRemoved,  // oldApp, count: the replaced application's actions go
};

struct SlotNote {
    SlotNoteCode code = SlotNoteCode::LaunchNotFound;
    std::string app;     // the application taken (its description)
    std::string oldApp;  // ActionsRemoved: the application replaced; ActiveStays: the one kept
    std::string oldExe;  // LaunchCleared: the program POWER started before
    NotKeptReason reason;  // *LeftEmpty, LaunchNotKept: why
    std::string where;   // LaunchFound: the place the folder was found ("App Paths" ...)
    std::string title;   // TitleNeeded: the title kept
    int32_t before = 0;  // ActiveNow: the slot active before
    int count = 0;       // ActionsRemoved: how many actions
    // ActiveNow, ActiveAlready: POWER can start it (its launch lines were found and kept).
    bool powerStarts = false;
};

struct ClientLinesPlan {
    std::vector<ProfileChange> lines;  // [Client] lines, in writing order
    // What the owner is told of the lines themselves: texts left empty, the title
    // kept, the launch.
    std::vector<SlotNote> notes;
};

// Why `text` cannot be a profile value as it is (a line break, leading or trailing
// blanks or quotes, which the profile functions strip or break on); empty when it can.
std::string BadProfileText(std::string_view text);
// The same as a code.
NotKeptReason ValueNotKept(std::string_view text);

// The executable's description for the setup dialog's list: the file description,
// else the file name.
std::string ExeDescription(const ClientWindowFacts& facts);
// The name the owner is told for the application: its description, else its item,
// else "the application".
std::string TakenAppName(const ClientWindowFacts& facts);

// The lines of client N: Item, Caption, ClassName, Child0..2, Default, Control,
// ExeDesc (N in 0..2), and the launch lines: found, or empty. The caption only when
// the title is needed to find the window, else empty. A bad caption or class is
// written empty, and a note says why.
ClientLinesPlan PlanClientLines(int32_t client, const ClientWindowFacts& facts);

// Sets titleNeeded and foundByControls of `facts` by the monitor's own search over
// the windows of `desktop` now: the title is needed when the search with the
// program, class and child ids but no title finds another window, or none.
void JudgeWindowMarks(ClientWindowFacts& facts, IDesktop& desktop, WindowHandle window);

// The window the monitor's own search finds with a profile that holds `lines`
// (with Default=client) and nothing else.
WindowHandle SearchWithLines(const std::vector<ProfileChange>& lines, int32_t client,
                             IDesktop& desktop);

}  // namespace qrtl::setup
