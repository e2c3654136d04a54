// The complete client lines that window --write and the set-up window write.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/ClientLines.h"
#include "setup/SlotWords.h"
#include "fakes/Fakes.h"
#include "setup/ClientSlots.h"

namespace {

using qrtl::setup::ClientWindowFacts;
using qrtl::setup::SlotNoteCode;

ClientWindowFacts NewTv() {
    ClientWindowFacts facts;
    facts.item = "NEWTV";
    facts.caption = "New TV";
    facts.className = "NewTvMain";
    facts.childIds[0] = 11;
    facts.childIds[1] = 12;
    facts.childIds[2] = 13;
    facts.exePath = "C:\\NewTV\\newtv.exe";
    facts.fileDescription = "New TV viewer";
    return facts;
}

std::string Lines(const qrtl::setup::ClientLinesPlan& plan) {
    std::string text;
    for (const auto& line : plan.lines) text += line.key + "=" + line.value + "\n";
    return text;
}

std::vector<SlotNoteCode> Codes(const qrtl::setup::ClientLinesPlan& plan) {
    std::vector<SlotNoteCode> codes;
    for (const auto& note : plan.notes) codes.push_back(note.code);
    return codes;
}

bool AnyNote(const qrtl::setup::ClientLinesPlan& plan, const std::string& part) {
    for (const auto& note : plan.notes)
        if (qrtl::setup::SlotNoteWords(note).find(part) != std::string::npos) return true;
    return false;
}

TEST(ClientLines, CompleteClient_EveryLineTheMonitorNeeds) {
    ClientWindowFacts facts = NewTv();
    facts.launch = {true, "Software\\Acme\\NewTV", "InstallDir", "newtv.exe", "Software\\Vendor"};
    const auto plan = qrtl::setup::PlanClientLines(2, facts);
    EXPECT_EQ(Lines(plan),
              "2_Item=NEWTV\n2_Caption=New TV\n2_ClassName=NewTvMain\n2_Child0=11\n2_Child1=12\n"
              "2_Child2=13\nDefault=2\n2_Control=1\n2_ExeDesc=New TV viewer\n"
              "2_RegPath=Software\\Acme\\NewTV\n2_RegFolder=InstallDir\n2_ExeName=newtv.exe\n");
    EXPECT_EQ(Codes(plan), (std::vector<SlotNoteCode>{SlotNoteCode::TitleNeeded, SlotNoteCode::LaunchFound}));
    EXPECT_TRUE(AnyNote(plan, "POWER starts New TV viewer"));
}

TEST(ClientLines, ClientAboveTwoWithoutLaunch_NoDescriptionLaunchLinesEmpty) {
    ClientWindowFacts facts = NewTv();
    facts.fileDescription.clear();
    const auto plan = qrtl::setup::PlanClientLines(3, facts);
    EXPECT_EQ(Lines(plan).find("ExeDesc"), std::string::npos);
    // Written empty, so that another application's launch lines cannot stay.
    EXPECT_NE(Lines(plan).find("3_RegPath=\n3_RegFolder=\n3_ExeName=\n"), std::string::npos);
    EXPECT_TRUE(AnyNote(plan, "POWER cannot start newtv.exe"));
    // Without a version resource the file name describes it.
    EXPECT_EQ(qrtl::setup::ExeDescription(facts), "newtv.exe");
}

TEST(ClientLines, BadTexts_WrittenEmptyWithTheReason) {
    const std::vector<std::pair<std::string, bool>> texts = {
        {"New TV", true},        {"Line\r\nbreak", false}, {"Line\nbreak", false},
        {" leading", false},     {"trailing ", false},     {"\"quoted\"", false},
        {"it's fine", true},     {"'x", false},            {std::string(256, 'x'), false},
        {"", true},
    };
    for (const auto& [text, good] : texts) EXPECT_EQ(qrtl::setup::BadProfileText(text).empty(), good) << text;

    ClientWindowFacts facts = NewTv();
    facts.caption = "Channel 5\r\nNews";
    const auto plan = qrtl::setup::PlanClientLines(0, facts);
    EXPECT_NE(Lines(plan).find("0_Caption=\n"), std::string::npos);
    EXPECT_EQ(Codes(plan), (std::vector<SlotNoteCode>{SlotNoteCode::TitleLeftEmpty, SlotNoteCode::LaunchNotFound}));
    EXPECT_TRUE(AnyNote(plan, "is not kept (it holds a line break"));
}

TEST(ClientLines, AppName_DescriptionElseItemElseGeneric_NeverALineBreak) {
    const struct {
        const char* description;
        const char* exePath;
        const char* item;
        const char* name;
    } cases[] = {
        {"New TV viewer", "C:\\NewTV\\newtv.exe", "NEWTV", "New TV viewer"},
        {"", "C:\\NewTV\\newtv.exe", "NEWTV", "newtv.exe"},
        {"", "", "NEWTV", "NEWTV"},
        {"", "", "NEW\r\nTV", "the application"},
        {"Two\nlines", "C:\\A\r\nB\\tv.exe", "", "tv.exe"},
        {"", "", "", "the application"},
    };
    for (const auto& c : cases) {
        ClientWindowFacts facts;
        facts.fileDescription = c.description;
        facts.exePath = c.exePath;
        facts.item = c.item;
        EXPECT_EQ(qrtl::setup::TakenAppName(facts), c.name) << c.item;
        for (const auto& note : qrtl::setup::PlanClientLines(0, facts).notes)
            EXPECT_EQ(qrtl::setup::SlotNoteWords(note).find_first_of("\r\n"), std::string::npos) << c.item;
    }
}

// ---- Which window marks are kept: the title only when nothing else tells it ----

// One top-level window of the desktop, in the order FindWindow meets them.
struct Open {
    const char* className;
    const char* title;
    uint32_t pid;
    std::vector<int32_t> children = {};
};

TEST(ClientLines, TitleNeeded_OnlyWhenProgramAndClassPickAnotherWindow) {
    struct Case {
        const char* name;
        std::vector<Open> windows;
        std::size_t taken;  // which of them
        bool titleNeeded;
        bool foundByControls = false;
    };
    // pid 1 the TV application (tv.exe), 2 another program.
    const std::vector<Case> cases = {
        {"alone with its class", {{"TvMain", "Channel 1 - TV", 1}}, 0, false},
        {"another class first, with the same title", {{"Other", "Channel 1 - TV", 2}, {"TvMain", "Channel 1 - TV", 1}},
         1, false},
        {"a window of its class comes later", {{"TvMain", "Channel 1 - TV", 1}, {"TvMain", "Guide", 1}}, 0, false},
        {"a common class, another program's window first", {{"#32770", "Find", 2}, {"#32770", "Channel 1 - TV", 1}},
         1, true},
        {"its own program's window of the class first", {{"TvMain", "Guide", 1}, {"TvMain", "Channel 1 - TV", 1}}, 1,
         true},
        {"needed, but its controls tell it as well",
         {{"TvMain", "Guide", 1, {1, 2, 3}}, {"TvMain", "Channel 1 - TV", 1, {7, 8, 9}}}, 1, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fakes::FakeDesktop desktop;
        desktop.AddProcess(1, "tv.exe");
        desktop.AddProcess(2, "other.exe");
        for (const Open& w : c.windows) desktop.AddWindow(w.className, w.title, w.children, w.pid);
        const qrtl::WindowHandle taken = desktop.windows[c.taken].handle;
        ClientWindowFacts facts;
        facts.item = "TV";
        facts.className = c.windows[c.taken].className;
        facts.caption = c.windows[c.taken].title;
        for (std::size_t i = 0; i < c.windows[c.taken].children.size(); ++i)
            facts.childIds[i] = c.windows[c.taken].children[i];
        qrtl::setup::JudgeWindowMarks(facts, desktop, taken);
        EXPECT_EQ(facts.titleNeeded, c.titleNeeded);
        EXPECT_EQ(facts.foundByControls, c.foundByControls);

        // The lines planned find the window, and the owner is told when only its
        // title does; then a new title loses it.
        const auto plan = qrtl::setup::PlanTakeWindow(0, facts, qrtl::ProfileDocument::Parse(""));
        std::vector<qrtl::setup::ProfileChange> lines;
        for (const auto& change : plan.changes)
            if (change.section == "Client") lines.push_back(change);
        EXPECT_EQ(qrtl::setup::SearchWithLines(lines, 0, desktop), taken);
        bool told = false;
        for (const auto& note : plan.notes)
            if (note.code == SlotNoteCode::TitleNeeded)
                told = qrtl::setup::SlotNoteWords(note).find("if the title changes") != std::string::npos;
        EXPECT_EQ(told, c.titleNeeded && !c.foundByControls);
        desktop.windows[c.taken].caption = "Channel 2 - TV";
        EXPECT_EQ(qrtl::setup::SearchWithLines(lines, 0, desktop) == taken, !told);
    }
}

}  // namespace
