#include "setup/ClientLines.h"

#include "dispatch/MonitorSimulation.h"
#include "setup/FilePaths.h"
#include "setup/ProfileLineCheck.h"

namespace qrtl::setup {

namespace {

// Why the item cannot be kept: it is a value, and part of the name of its key map's
// section ([KeyMap_<item>]).
std::string BadItemText(const std::string& item) {
    const LineProblem value = CheckProfileValue(item);
    if (value != LineProblem::None) return LineProblemWords(value);
    return LineProblemWords(CheckProfileSection(std::string(profile::kClientSectionPrefix) + item));
}

// A caption the monitor's search by caption can never match: one that the 256
// characters of a caption buffer may have cut, or one with characters that the ANSI
// code page turns into '?'.
std::string BadCaptionText(const ClientWindowFacts& facts) {
    if (facts.caption.size() >= kProfileTextLimit)
        return "has 255 characters or more, and may have been cut";
    if (facts.captionNotAnsi) return "holds characters the ANSI code page cannot hold";
    return {};
}

// Why the launch lines cannot be written: each text must survive the profile, the
// executable must be a bare file name, and no quote may break the quoting of the
// command line the monitor builds from the folder and the name.
std::string BadLaunchText(const ClientWindowFacts& facts) {
    const LaunchLines& launch = facts.launch;
    if (CheckProfileValue(launch.regPath) != LineProblem::None)
        return "the registry key's name cannot be kept in the profile (it " +
               LineProblemWords(CheckProfileValue(launch.regPath)) + ")";
    if (CheckProfileValue(launch.regFolder) != LineProblem::None)
        return "the registry value's name cannot be kept in the profile (it " +
               LineProblemWords(CheckProfileValue(launch.regFolder)) + ")";
    if (launch.exeName.find_first_of("\\/:") != std::string::npos || launch.exeName.empty())
        return "the program's file name is not a bare file name";
    if (CheckProfileValue(launch.exeName) != LineProblem::None)
        return "the program's file name cannot be kept in the profile (it " +
               LineProblemWords(CheckProfileValue(launch.exeName)) + ")";
    if (launch.exeName.find('"') != std::string::npos || facts.exePath.find('"') != std::string::npos)
        return "the program's folder or file name holds a quote, which would break the command line";
    return {};
}

}  // namespace

std::string BadProfileText(std::string_view text) { return LineProblemWords(CheckProfileValue(text)); }

std::string ExeDescription(const ClientWindowFacts& facts) {
    if (!facts.fileDescription.empty() && BadProfileText(facts.fileDescription).empty())
        return facts.fileDescription;
    const std::string name = FileNameOf(facts.exePath);
    return BadProfileText(name).empty() ? name : std::string();
}

ClientLinesPlan PlanClientLines(int32_t client, const ClientWindowFacts& facts,
                                const ProfileDocument& current) {
    ClientLinesPlan plan;
    const std::string n = std::to_string(client);
    auto add = [&](const profile::Key& key, const std::string& value) {
        plan.lines.push_back({profile::kClient, profile::KeyName(key, client), value});
    };
    // A text the profile cannot hold is written empty, so that no older value stays.
    auto addText = [&](const profile::Key& key, const char* what, const char* other,
                       const std::string& value) {
        const std::string why = BadProfileText(value);
        if (why.empty()) {
            add(key, value);
            return;
        }
        add(key, "");
        plan.notes.push_back(profile::KeyName(key, client) + " left empty: the window's " + what + " " +
                             why + ". The window search then relies on the " + other +
                             " and the child ids.");
    };

    const std::string badItem = BadItemText(facts.item);
    add(profile::kItem, badItem.empty() ? facts.item : std::string());
    if (!badItem.empty())
        plan.notes.push_back(profile::KeyName(profile::kItem, client) + " left empty: the program's name " +
                             badItem + ". The monitor cannot tell this application's window.");
    const std::string badCaption = BadCaptionText(facts);
    if (badCaption.empty()) {
        addText(profile::kCaption, "caption", "class", facts.caption);
    } else {
        add(profile::kCaption, "");
        plan.notes.push_back(profile::KeyName(profile::kCaption, client) + " left empty: the window's caption " +
                             badCaption + ". The window search then relies on the class and the child ids.");
    }
    addText(profile::kClassName, "class", "caption", facts.className);
    const profile::Key* childKeys[kClientChildCount] = {&profile::kChild0, &profile::kChild1,
                                                        &profile::kChild2};
    for (int i = 0; i < kClientChildCount; ++i) add(*childKeys[i], std::to_string(facts.childIds[i]));

    const std::string defaultKey = profile::KeyName(profile::kDefaultClient);
    plan.lines.push_back({profile::kClient, defaultKey, n});
    const int32_t before = current.GetInt(profile::kClient, defaultKey, profile::kDefaultClient.def);
    if (before != client || current.Find(profile::kClient, defaultKey) == nullptr)
        plan.notes.push_back(defaultKey + "=" + n + " (was " + std::to_string(before) +
                             "): a running monitor takes it at its next start.");
    else
        plan.notes.push_back(defaultKey + "=" + n + ", as before: a running monitor takes the new "
                             "lines at its next start.");

    const std::string controlKey = profile::KeyName(profile::kControl, client);
    add(profile::kControl, "1");
    if (current.GetInt(profile::kClient, controlKey, profile::kControl.def) == 0)
        plan.notes.push_back(controlKey +
                             "=1 (was 0): the monitor now forwards keys while the application runs.");

    if (client >= 0 && client < kDescribedClients) add(profile::kExeDesc, ExeDescription(facts));

    const std::string badLaunch = facts.launch.found ? BadLaunchText(facts) : std::string();
    if (!badLaunch.empty()) {
        // Written empty, so that no other application's launch lines stay beside this one.
        add(profile::kRegPath, "");
        add(profile::kRegFolder, "");
        add(profile::kExeName, "");
        plan.notes.push_back("No launch lines: " + badLaunch + ", so POWER cannot start this application.");
    } else if (facts.launch.found) {
        add(profile::kRegPath, facts.launch.regPath);
        add(profile::kRegFolder, facts.launch.regFolder);
        add(profile::kExeName, facts.launch.exeName);
        plan.notes.push_back("POWER starts the application from the folder in HKEY_LOCAL_MACHINE\\" +
                             facts.launch.regPath + ", value " + facts.launch.regFolder + " (" +
                             facts.launch.where + ").");
    } else {
        // Written empty, so that no other application's launch lines stay beside this one.
        add(profile::kRegPath, "");
        add(profile::kRegFolder, "");
        add(profile::kExeName, "");
        plan.notes.push_back(
            "No launch lines: no value under HKEY_LOCAL_MACHINE holds the application's folder, "
            "so POWER cannot start this application (the monitor reads the folder from "
            "HKEY_LOCAL_MACHINE only).");
    }
    // The one check of every planned line: whatever slipped through above is emptied.
    for (ProfileChange& line : plan.lines) {
        const LineCheck check = CheckProfileLine(profile::kClient, line.key, line.value);
        if (check.Ok()) continue;
        line.value.clear();
        plan.notes.push_back(line.key + " left empty: " + LineCheckWords(check) + ".");
    }
    return plan;
}

WindowHandle SearchWithLines(const std::vector<ProfileChange>& lines, int32_t client,
                             IDesktop& desktop) {
    std::string text = std::string("[") + profile::kClient + "]\n" + profile::kDefaultClient.name + "=" +
                       std::to_string(client) + "\n";
    for (const ProfileChange& line : lines)
        if (line.key != profile::kDefaultClient.name) text += line.key + "=" + line.value + "\n";
    return dispatch::SearchClientWindow(ProfileDocument::Parse(text), desktop);
}

}  // namespace qrtl::setup
