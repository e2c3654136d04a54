#include "setup/ClientLines.h"

#include "dispatch/MonitorSimulation.h"
#include "setup/FilePaths.h"
#include "setup/ProfileLineCheck.h"

namespace qrtl::setup {

namespace {

NotKeptReason Because(NotKept why, LineCheck::Part part = LineCheck::Part::None,
                      LineProblem problem = LineProblem::None) {
    NotKeptReason reason;
    reason.why = why;
    reason.check.part = part;
    reason.check.problem = problem;
    return reason;
}

// Why the item cannot be kept: it is a value, and part of the name of its key map's
// section ([KeyMap_<item>]).
NotKeptReason ItemNotKept(const std::string& item) {
    const LineProblem value = CheckProfileValue(item);
    if (value != LineProblem::None) return Because(NotKept::Text, LineCheck::Part::Value, value);
    const LineProblem section = CheckProfileSection(std::string(profile::kClientSectionPrefix) + item);
    if (section != LineProblem::None) return Because(NotKept::Text, LineCheck::Part::Section, section);
    return {};
}

// A caption the monitor's search by caption can never match: one that the 256
// characters of a caption buffer may have cut, or one with characters that the ANSI
// code page turns into '?'.
NotKeptReason CaptionNotKept(const ClientWindowFacts& facts) {
    if (facts.caption.size() >= kProfileTextLimit) return Because(NotKept::MayBeCut);
    if (facts.captionNotAnsi) return Because(NotKept::NotAnsi);
    return ValueNotKept(facts.caption);
}

// Why the launch lines cannot be written: each text must survive the profile, the
// executable must be a bare file name, and no quote may break the quoting of the
// command line the monitor builds from the folder and the name.
NotKeptReason LaunchNotKept(const ClientWindowFacts& facts) {
    const LaunchLines& launch = facts.launch;
    if (const LineProblem p = CheckProfileValue(launch.regPath); p != LineProblem::None)
        return Because(NotKept::RegistryKey, LineCheck::Part::Value, p);
    if (const LineProblem p = CheckProfileValue(launch.regFolder); p != LineProblem::None)
        return Because(NotKept::RegistryValue, LineCheck::Part::Value, p);
    if (launch.exeName.find_first_of("\\/:") != std::string::npos || launch.exeName.empty())
        return Because(NotKept::NotBareName);
    if (const LineProblem p = CheckProfileValue(launch.exeName); p != LineProblem::None)
        return Because(NotKept::ProgramName, LineCheck::Part::Value, p);
    if (launch.exeName.find('"') != std::string::npos || facts.exePath.find('"') != std::string::npos)
        return Because(NotKept::Quote);
    return {};
}

}  // namespace

std::string BadProfileText(std::string_view text) { return LineProblemWords(CheckProfileValue(text)); }

NotKeptReason ValueNotKept(std::string_view text) {
    const LineProblem problem = CheckProfileValue(text);
    return problem == LineProblem::None ? NotKeptReason{} : Because(NotKept::Text, LineCheck::Part::Value, problem);
}

std::string ExeDescription(const ClientWindowFacts& facts) {
    if (!facts.fileDescription.empty() && BadProfileText(facts.fileDescription).empty())
        return facts.fileDescription;
    const std::string name = FileNameOf(facts.exePath);
    return BadProfileText(name).empty() ? name : std::string();
}

std::string TakenAppName(const ClientWindowFacts& facts) {
    const std::string description = ExeDescription(facts);
    if (!description.empty()) return description;
    // A name that cannot be a line of the profile cannot be a line of a note either.
    return BadProfileText(facts.item).empty() && !facts.item.empty() ? facts.item : "the application";
}

ClientLinesPlan PlanClientLines(int32_t client, const ClientWindowFacts& facts) {
    ClientLinesPlan plan;
    const std::string app = TakenAppName(facts);
    auto add = [&](const profile::Key& key, const std::string& value) {
        plan.lines.push_back({profile::kClient, profile::KeyName(key, client), value});
    };
    auto note = [&](SlotNoteCode code, NotKeptReason reason = {}) {
        SlotNote& n = plan.notes.emplace_back();
        n.code = code;
        n.app = app;
        n.reason = reason;
        return &n;
    };
    // A text the profile cannot hold is written empty, so that no older value stays.
    auto addText = [&](const profile::Key& key, SlotNoteCode code, const std::string& value, NotKeptReason why) {
        add(key, why.Kept() ? value : std::string());
        if (!why.Kept()) note(code, why);
    };

    addText(profile::kItem, SlotNoteCode::ItemLeftEmpty, facts.item, ItemNotKept(facts.item));
    if (!facts.titleNeeded) {
        // Found without it: a title that changes with the channel cannot lose it.
        add(profile::kCaption, "");
    } else {
        const NotKeptReason caption = CaptionNotKept(facts);
        addText(profile::kCaption, SlotNoteCode::TitleLeftEmpty, facts.caption, caption);
        // Kept, and the only mark that finds it: the owner is told what a new title does.
        if (caption.Kept() && !facts.caption.empty() && !facts.foundByControls)
            note(SlotNoteCode::TitleNeeded)->title = facts.caption;
    }
    addText(profile::kClassName, SlotNoteCode::ClassLeftEmpty, facts.className, ValueNotKept(facts.className));
    const profile::Key* childKeys[kClientChildCount] = {&profile::kChild0, &profile::kChild1,
                                                        &profile::kChild2};
    for (int i = 0; i < kClientChildCount; ++i) add(*childKeys[i], std::to_string(facts.childIds[i]));

    plan.lines.push_back({profile::kClient, profile::kDefaultClient.name, std::to_string(client)});
    add(profile::kControl, "1");
    if (client >= 0 && client < profile::kClientSlots) add(profile::kExeDesc, ExeDescription(facts));

    const NotKeptReason launch = facts.launch.found ? LaunchNotKept(facts) : NotKeptReason{};
    if (facts.launch.found && launch.Kept()) {
        add(profile::kRegPath, facts.launch.regPath);
        add(profile::kRegFolder, facts.launch.regFolder);
        add(profile::kExeName, facts.launch.exeName);
        note(SlotNoteCode::LaunchFound)->where = facts.launch.where;
    } else {
        // Written empty, so that no other application's launch lines stay beside this one.
        add(profile::kRegPath, "");
        add(profile::kRegFolder, "");
        add(profile::kExeName, "");
        if (launch.Kept())
            note(SlotNoteCode::LaunchNotFound);
        else
            note(SlotNoteCode::LaunchNotKept, launch);
    }
    // The one check of every planned line: whatever slipped through above is emptied.
    for (ProfileChange& line : plan.lines) {
        const LineCheck check = CheckProfileLine(profile::kClient, line.key, line.value);
        if (check.Ok()) continue;
        line.value.clear();
        note(SlotNoteCode::LineLeftEmpty, Because(NotKept::Text, check.part, check.problem));
    }
    return plan;
}

void JudgeWindowMarks(ClientWindowFacts& facts, IDesktop& desktop, WindowHandle window) {
    ClientWindowFacts untitled = facts;
    untitled.titleNeeded = false;
    untitled.className.clear();
    const std::vector<ProfileChange> byControls = PlanClientLines(0, untitled).lines;
    facts.foundByControls = SearchWithLines(byControls, 0, desktop) == window;
    untitled.className = facts.className;
    facts.titleNeeded = SearchWithLines(PlanClientLines(0, untitled).lines, 0, desktop) != window;
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
