// The one check of every line the tools write, and the client lines planned from
// hostile texts: nothing from the registry or the application may add a line.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "config/ProfileReader.h"
#include "setup/ClientLines.h"
#include "setup/ProfileLineCheck.h"
#include "setup/SlotWords.h"

namespace {

using qrtl::setup::LineCheck;
using qrtl::setup::LineProblem;

TEST(ProfileLineCheck, HostileParts_RefusedNamingPartAndProblem) {
    struct Case {
        std::string section, key, value;
        LineCheck::Part part;
        LineProblem problem;
    };
    const std::string nul("a\0b", 3);
    const std::vector<Case> cases = {
        {"Client", "0_Item", "STANDINTV", LineCheck::Part::None, LineProblem::None},
        {"Client", "0_Caption", "", LineCheck::Part::None, LineProblem::None},
        {"KeyMap_A]B", "VOL+", "#8001", LineCheck::Part::Section, LineProblem::SectionEnd},
        {"Key\nMap", "VOL+", "#8001", LineCheck::Part::Section, LineProblem::LineBreak},
        {"", "VOL+", "#8001", LineCheck::Part::Section, LineProblem::Empty},
        {"Client", "A=B", "x", LineCheck::Part::Key, LineProblem::KeyEquals},
        {"Client", "[Injected]", "x", LineCheck::Part::Key, LineProblem::KeyStart},
        {"Client", ";hidden", "x", LineCheck::Part::Key, LineProblem::KeyStart},
        {"Client", " key", "x", LineCheck::Part::Key, LineProblem::EdgeBlank},
        {"Client", "", "x", LineCheck::Part::Key, LineProblem::Empty},
        {"Client", "0_RegFolder", "Dir\r\n[Injected]\r\nX", LineCheck::Part::Value, LineProblem::LineBreak},
        {"Client", "0_RegFolder", "Dir\r", LineCheck::Part::Value, LineProblem::LineBreak},
        {"Client", "0_RegFolder", nul, LineCheck::Part::Value, LineProblem::LineBreak},
        {"Client", "0_Caption", std::string(256, 'x'), LineCheck::Part::Value, LineProblem::TooLong},
        {"Client", "0_Caption", std::string(255, 'x'), LineCheck::Part::None, LineProblem::None},
        {"Client", "0_Caption", "\"TV\"", LineCheck::Part::Value, LineProblem::EdgeQuote},
        {"Client", "0_Caption", "TV\t", LineCheck::Part::Value, LineProblem::EdgeBlank},
        {"Client", "0_Caption", "TV\x0B", LineCheck::Part::Value, LineProblem::EdgeBlank},
        {"Client", "0_Caption", "\x1ATV", LineCheck::Part::Value, LineProblem::EdgeBlank},
        {"Client", "0_Caption", "a=b]c;d", LineCheck::Part::None, LineProblem::None},
    };
    for (const Case& c : cases) {
        const LineCheck check = qrtl::setup::CheckProfileLine(c.section, c.key, c.value);
        EXPECT_EQ(check.part, c.part) << c.section << "|" << c.key << "|" << c.value;
        EXPECT_EQ(check.problem, c.problem) << c.section << "|" << c.key << "|" << c.value;
        EXPECT_EQ(qrtl::setup::LineCheckWords(check).empty(), false);
    }
}

qrtl::setup::ClientWindowFacts StandinFacts() {
    qrtl::setup::ClientWindowFacts facts;
    facts.item = "STANDINTV";
    facts.caption = "Standin TV";
    facts.className = "StandinTVClass";
    facts.exePath = "C:\\TV\\StandinTV.exe";
    facts.launch = {true, "Software\\Standin\\StandinTV", "InstallDir", "StandinTV.exe", "Software\\Vendor"};
    return facts;
}

// The plan written as a profile and read back: exactly one section, and each planned
// key with its planned value.
void ExpectNoInjection(const qrtl::setup::ClientLinesPlan& plan) {
    std::string text = "[Client]\n";
    for (const auto& line : plan.lines) text += line.key + "=" + line.value + "\n";
    const auto document = qrtl::ProfileDocument::Parse(text);
    EXPECT_EQ(text.find("[Injected]"), std::string::npos) << text;
    EXPECT_EQ(text.find("MUTE=#DEAD"), std::string::npos) << text;
    for (const auto& line : plan.lines) {
        EXPECT_TRUE(qrtl::setup::CheckProfileLine("Client", line.key, line.value).Ok()) << line.key;
        EXPECT_EQ(document.GetString("Client", line.key), line.value) << line.key;
    }
}

// Whether the plan writes a value for `key`: a launch line it cannot keep is written
// empty, so that no older application's line stays beside the new one.
bool Writes(const qrtl::setup::ClientLinesPlan& plan, const std::string& key) {
    return std::any_of(plan.lines.begin(), plan.lines.end(),
                       [&](const auto& line) { return line.key == key && !line.value.empty(); });
}

// The notes in the owner's words as one text, each on a line of its own.
std::string AllNotes(const qrtl::setup::ClientLinesPlan& plan) {
    std::string text;
    for (const auto& note : plan.notes) text += qrtl::setup::SlotNoteWords(note) + "\n";
    return text;
}

TEST(ClientLinesHostile, LaunchTextsThatCannotBeKept_LaunchLinesDroppedWithTheReason) {
    const std::string injection = "Dir\r\n[KeyMap_NOTEPAD]\r\nMUTE=#DEAD\r\n[Injected]\r\nX";
    struct Case {
        const char* name;
        void (*spoil)(qrtl::setup::ClientWindowFacts&, const std::string&);
        const char* note;
    };
    const std::vector<Case> cases = {
        {"value name with line breaks",
         [](auto& f, const std::string& bad) { f.launch.regFolder = bad; },
         "the registry value's name cannot be kept in the profile"},
        {"key path with line breaks", [](auto& f, const std::string& bad) { f.launch.regPath = "Software\\" + bad; },
         "the registry key's name cannot be kept in the profile"},
        {"value name with a quote at its end", [](auto& f, const std::string&) { f.launch.regFolder = "Dir\""; },
         "the registry value's name cannot be kept in the profile"},
        {"executable with a folder", [](auto& f, const std::string&) { f.launch.exeName = "..\\evil.exe"; },
         "not a bare file name"},
        {"executable with a quote", [](auto& f, const std::string&) { f.launch.exeName = "Tv\".exe"; },
         "quote"},
        {"folder with a quote", [](auto& f, const std::string&) { f.exePath = "C:\\T\"V\\StandinTV.exe"; },
         "quote"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto facts = StandinFacts();
        c.spoil(facts, injection);
        const auto plan = qrtl::setup::PlanClientLines(0, facts);
        ExpectNoInjection(plan);
        EXPECT_FALSE(Writes(plan, "0_RegPath"));
        EXPECT_FALSE(Writes(plan, "0_RegFolder"));
        EXPECT_FALSE(Writes(plan, "0_ExeName"));
        EXPECT_NE(AllNotes(plan).find(c.note), std::string::npos) << AllNotes(plan);
        for (const auto& note : plan.notes) {
            const std::string words = qrtl::setup::SlotNoteWords(note);
            EXPECT_EQ(words.find_first_of("\r\n"), std::string::npos) << words;
        }
    }
}

TEST(ClientLinesHostile, CaptionsTheSearchCannotMatch_WrittenEmptyWithTheReason) {
    struct Case {
        const char* name;
        std::string caption;
        bool notAnsi;
        const char* why;
    };
    const std::vector<Case> cases = {
        {"255 characters, maybe cut", std::string(255, 'x'), false, "255 characters"},
        {"characters outside the code page", "Fernsehen ?", true, "code page"},
        {"line break", "A\nB", false, "line break"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto facts = StandinFacts();
        facts.caption = c.caption;
        facts.captionNotAnsi = c.notAnsi;
        const auto plan = qrtl::setup::PlanClientLines(0, facts);
        ExpectNoInjection(plan);
        bool empty = false;
        for (const auto& line : plan.lines)
            if (line.key == "0_Caption") empty = line.value.empty();
        EXPECT_TRUE(empty);
        EXPECT_NE(AllNotes(plan).find(c.why), std::string::npos) << AllNotes(plan);
    }
}

TEST(ClientLinesHostile, ItemOrDescriptionThatCannotBeKept_WrittenEmpty) {
    auto facts = StandinFacts();
    facts.item = "MY]TV";  // would end the name of [KeyMap_MY]TV]
    facts.fileDescription.clear();
    facts.exePath = "C:\\TV\\ tv.exe";  // the file name as description begins with a blank
    const auto plan = qrtl::setup::PlanClientLines(0, facts);
    ExpectNoInjection(plan);
    for (const auto& line : plan.lines) {
        if (line.key == "0_Item" || line.key == "0_ExeDesc") {
            EXPECT_EQ(line.value, "") << line.key;
        }
    }
    EXPECT_NE(AllNotes(plan).find("program name of MY]TV is not kept"), std::string::npos) << AllNotes(plan);
}

}  // namespace
