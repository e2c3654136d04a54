#include "setup/ClientLines.h"

#include "dispatch/MonitorSimulation.h"
#include "setup/FilePaths.h"

namespace qrtl::setup {

std::string BadProfileText(std::string_view text) {
    if (text.find_first_of("\r\n") != std::string_view::npos)
        return "holds a line break, which would end the line in the profile";
    if (text.size() > kProfileTextLimit)
        return "is longer than the 255 characters the monitor reads";
    if (text.empty()) return {};
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    if (blank(text.front()) || blank(text.back()))
        return "begins or ends with a blank, which the profile functions strip";
    if (text.front() == '"' || text.back() == '"' || text.front() == '\'' || text.back() == '\'')
        return "begins or ends with a quote, which the profile functions strip";
    return {};
}

std::string ExeDescription(const ClientWindowFacts& facts) {
    if (!facts.fileDescription.empty() && BadProfileText(facts.fileDescription).empty())
        return facts.fileDescription;
    return FileNameOf(facts.exePath);
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

    add(profile::kItem, facts.item);
    addText(profile::kCaption, "caption", "class", facts.caption);
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

    if (facts.launch.found) {
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
