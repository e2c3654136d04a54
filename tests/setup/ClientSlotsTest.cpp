// The application slots: taking a window for one, removing, renaming, the
// selector's rows and the words the owner reads about them.
#include "setup/ClientSlots.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "setup/OwnerWords.h"
#include "setup/SlotWords.h"

namespace qrtl::setup {
namespace {

using Values = std::vector<std::pair<std::string, std::string>>;

// Standin TV set up completely in slot 0, with two actions.
const std::string kStandinClient =
    "[Client]\r\nDefault=0\r\n0_Item=STANDINTV\r\n0_Caption=Standin TV\r\n0_ClassName=StandinTVClass\r\n"
    "0_Child0=1001\r\n0_Child1=1002\r\n0_Child2=1003\r\n0_Control=1\r\n0_ExeDesc=Standin TV\r\n"
    "0_RegPath=Software\\Standin\\StandinTV\r\n0_RegFolder=InstallDir\r\n0_ExeName=StandinTV.exe\r\n";
const std::string kStandinKeys = "[KeyMap_STANDINTV]\r\nPOWER=#8010\r\nVOL+=#8001\r\n";

ClientWindowFacts Notepad() {
    // The only Notepad open: its class and program find it, whatever its title.
    return {"NOTEPAD", "Untitled - Notepad", false, "Notepad", {15, 0, 0}, "C:\\windows\\notepad.exe", "Notepad", {},
            false};
}

ClientWindowFacts StandinInstalled() {
    return {"STANDINTV",
            "Standin TV",
            false,
            "StandinTVClass",
            {1001, 1002, 1003},
            "C:\\Standin\\StandinTV.exe",
            "Standin TV",
            {true, "Software\\Standin\\StandinTV", "InstallDir", "StandinTV.exe", "Software\\Vendor"},
            false};
}

// Found in the registry, but its file name would break the command line POWER builds.
ClientWindowFacts StandinWithQuotedExe() {
    ClientWindowFacts facts = StandinInstalled();
    facts.launch.exeName = "Standin\"TV.exe";
    return facts;
}

ClientWindowFacts NotepadWithBrokenTitle() {
    ClientWindowFacts facts = Notepad();
    facts.caption = "Line\r\nbreak";
    // A second Notepad before it: only the title would tell them apart.
    facts.titleNeeded = true;
    return facts;
}

// ---- Taking a window for a slot ----

struct TakeCase {
    const char* name;
    std::string before;
    int32_t slot;
    ClientWindowFacts (*facts)();
    Values after;  // [Client] values read after the plan is applied
    bool ask;
    int32_t freeSlot;
    bool standinActionsKept;
    std::vector<SlotNoteCode> notes;
};

void PrintTo(const TakeCase& c, std::ostream* os) { *os << c.name; }

class SlotTake : public ::testing::TestWithParam<TakeCase> {};

TEST_P(SlotTake, Plan_WritesTheSlotsLinesTogether) {
    const TakeCase& c = GetParam();
    const ClientWindowFacts facts = c.facts();
    EditedProfile profile(c.before);
    const SlotTakePlan plan = PlanTakeWindow(c.slot, facts, profile.Document());
    profile.Change(plan.changes);
    for (const auto& [key, value] : c.after) EXPECT_EQ(profile.Get("Client", key), value) << key;
    EXPECT_EQ(plan.replace.ask, c.ask);
    if (c.ask) {
        EXPECT_EQ(plan.replace.oldApp, "Standin TV");
        EXPECT_EQ(plan.replace.newApp, "Notepad");
        EXPECT_EQ(plan.replace.freeSlot, c.freeSlot);
    }
    EXPECT_EQ(profile.Get("KeyMap_STANDINTV", "VOL+").empty(), !c.standinActionsKept);
    std::vector<SlotNoteCode> codes;
    for (const SlotNote& note : plan.notes) codes.push_back(note.code);
    EXPECT_EQ(codes, c.notes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SlotTake,
    ::testing::Values(
        TakeCase{"OtherApplication_ReplaceAskedOldLaunchLinesCleared", kStandinClient + kStandinKeys, 0, Notepad,
                 {{"0_Item", "NOTEPAD"}, {"0_ClassName", "Notepad"}, {"0_Child0", "15"}, {"0_Child1", "0"},
                  {"0_ExeDesc", "Notepad"}, {"0_RegPath", ""}, {"0_RegFolder", ""}, {"0_ExeName", ""},
                  {"Default", "0"}},
                 true, 1, false,
                 {SlotNoteCode::ActionsRemoved, SlotNoteCode::LaunchCleared, SlotNoteCode::LaunchNotFound,
                  SlotNoteCode::ActiveNow}},
        TakeCase{"EverySlotUsed_NoFreeSlotOffered",
                 kStandinClient + "1_Item=OTHERTV\r\n2_Caption=Third\r\n" + kStandinKeys, 0, Notepad,
                 {{"0_Item", "NOTEPAD"}}, true, -1, false,
                 {SlotNoteCode::ActionsRemoved, SlotNoteCode::LaunchCleared, SlotNoteCode::LaunchNotFound,
                  SlotNoteCode::ActiveNow}},
        TakeCase{"OldApplicationInAnotherSlot_ItsActionsStay",
                 kStandinClient + "1_Item=standintv\r\n" + kStandinKeys, 0, Notepad, {{"0_Item", "NOTEPAD"}}, true,
                 2, true,
                 {SlotNoteCode::LaunchCleared, SlotNoteCode::LaunchNotFound, SlotNoteCode::ActiveNow}},
        TakeCase{"FreeSlot_NoQuestionOtherSlotUntouched", kStandinClient + kStandinKeys, 1, Notepad,
                 {{"1_Item", "NOTEPAD"}, {"1_RegPath", ""}, {"1_Control", "1"}, {"Default", "1"},
                  {"0_Item", "STANDINTV"}, {"0_ExeName", "StandinTV.exe"}},
                 false, -1, true,
                 {SlotNoteCode::LaunchNotFound, SlotNoteCode::ActiveNow, SlotNoteCode::ForwardsKeys}},
        TakeCase{"NameWithoutApplication_TakenWithoutQuestion",
                 "[Client]\r\nDefault=1\r\n2_ExeDesc=Third TV viewer\r\n", 2, Notepad,
                 {{"2_Item", "NOTEPAD"}, {"2_ExeDesc", "Notepad"}, {"Default", "2"}}, false, -1, false,
                 {SlotNoteCode::LaunchNotFound, SlotNoteCode::ActiveNow, SlotNoteCode::ForwardsKeys}},
        TakeCase{"SameApplicationAgain_OwnersNameKept",
                 "[Client]\r\nDefault=0\r\n0_Item=STANDINTV\r\n0_ExeDesc=Living room TV\r\n" + kStandinKeys, 0,
                 StandinInstalled,
                 {{"0_ExeDesc", "Living room TV"}, {"0_RegPath", "Software\\Standin\\StandinTV"},
                  {"0_ExeName", "StandinTV.exe"}},
                 false, -1, true,
                 {SlotNoteCode::LaunchFound, SlotNoteCode::ActiveAlready, SlotNoteCode::ForwardsKeys,
                  SlotNoteCode::NameKept}},
        TakeCase{"LaunchFoundButNotKept_LinesEmptyPowerCannotStartIt", kStandinClient + kStandinKeys, 0,
                 StandinWithQuotedExe,
                 {{"0_Item", "STANDINTV"}, {"0_RegPath", ""}, {"0_RegFolder", ""}, {"0_ExeName", ""}}, false, -1, true,
                 {SlotNoteCode::LaunchCleared, SlotNoteCode::LaunchNotKept, SlotNoteCode::ActiveAlready}},
        TakeCase{"TitleTheProfileCannotHold_LeftEmptyWithReason", "", 0, NotepadWithBrokenTitle,
                 {{"0_Caption", ""}, {"0_ClassName", "Notepad"}}, false, -1, false,
                 {SlotNoteCode::TitleLeftEmpty, SlotNoteCode::LaunchNotFound, SlotNoteCode::ActiveNow,
                  SlotNoteCode::ForwardsKeys}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SlotTake, ReplacedApplication_QuestionAndNotesInOwnersWords) {
    const auto document = ProfileDocument::Parse(kStandinClient + kStandinKeys);
    const SlotTakePlan plan = PlanTakeWindow(0, Notepad(), document);
    EXPECT_EQ(ReplaceQuestion(plan.replace),
              "Replace Standin TV with Notepad in this entry of the list?\n\nNew entry keeps Standin TV and adds "
              "Notepad beside it.");
    std::string words;
    for (const SlotNote& note : plan.notes) words += SlotNoteWords(note) + "\n";
    EXPECT_EQ(words,
              "The 2 actions of Standin TV are removed with it.\n"
              "POWER no longer starts StandinTV.exe.\n"
              "POWER cannot start Notepad: Windows does not say where it is installed. Start Notepad yourself "
              "before you use the remote.\n"
              "The remote now works with Notepad.\n");
}

// ---- Does the taken window offer TV commands ----

struct CommandsCase {
    std::vector<const char*> keys;  // the remote keys with a suggested command
    bool known;
    std::string words;
};

TEST(SlotTake, CommandCount_NoTvCommandsSaidWithPlurals) {
    const std::vector<CommandsCase> cases = {
        {{}, true, "Notepad shows no TV commands: none of the 27 keys found a meaning."},
        {{"POWER"}, true, "Notepad shows no TV commands: only 1 of 27 keys found a meaning."},
        {{"POWER", "FUNC", "ZOOM"}, true, "Notepad shows no TV commands: only 3 of 27 keys found a meaning."},
        {{"POWER", "VOL+", "MUTE"}, true, ""},
        {{}, false, ""},
    };
    for (const CommandsCase& c : cases) {
        std::vector<Suggestion> suggestions;
        for (const char* key : c.keys) suggestions.push_back({key, {}, {}});
        const SlotTakePlan plan = PlanTakeWindow(0, Notepad(), ProfileDocument::Parse(""),
                                                 c.known ? &suggestions : nullptr);
        EXPECT_EQ(NoTvCommandsWords(plan.app, plan.commands), c.words) << c.keys.size();
    }
}

// ---- One program, one entry ----

// Standin TV in entry 0 (the remote works with it), Notepad in entry 1.
const std::string kStandinAndNotepad = kStandinClient + "1_Item=NOTEPAD\r\n1_ExeDesc=My notes\r\n" + kStandinKeys;

TEST(SlotTake, SameProgramInAnotherEntry_RefusedWithThatEntry) {
    const struct {
        const char* name;
        std::string profile;
        int32_t slot;
        int32_t sameSlot;  // -1: taken
        std::string sameApp;
    } cases[] = {
        {"another entry has it", kStandinAndNotepad, 2, 1, "My notes"},
        {"another entry has it, other case", kStandinClient + "2_Item=notepad\r\n", 1, 2, "notepad"},
        {"taking it again for its own entry", kStandinAndNotepad, 1, -1, ""},
        {"replacing the only other program", kStandinAndNotepad, 0, 1, "My notes"},
        {"no other entry has it", kStandinClient, 1, -1, ""},
        {"beyond the three entries: not listed, not counted", kStandinClient + "5_Item=NOTEPAD\r\n", 1, -1, ""},
    };
    for (const auto& c : cases) {
        const auto document = ProfileDocument::Parse(c.profile);
        const SlotTakePlan plan = PlanTakeWindow(c.slot, Notepad(), document);
        EXPECT_EQ(plan.sameProgramSlot, c.sameSlot) << c.name;
        EXPECT_EQ(plan.sameProgramApp, c.sameApp) << c.name;
        EXPECT_EQ(plan.Refused(), c.sameSlot >= 0) << c.name;
        // The window list leaves out what the plan would refuse.
        EXPECT_EQ(SlotWithProgram(document, "NOTEPAD", c.slot), c.sameSlot) << c.name;
    }
}

TEST(SlotTake, SameProgram_ReasonAndOfferInOwnersWords) {
    const SlotTakePlan plan = PlanTakeWindow(2, Notepad(), ProfileDocument::Parse(kStandinAndNotepad));
    EXPECT_EQ(SameProgramWords(plan),
              "Notepad is in the list already, as My notes: two entries of one program would share one set of "
              "actions. Switch to that entry?");
}

// ---- Which application the remote works with ----

TEST(SlotTake, AnotherEntryActive_AskedAndNoKeepsIt) {
    const struct {
        const char* name;
        std::string profile;
        int32_t slot;
        bool makeActive;
        bool ask;
        std::string defaultAfter;
        SlotNoteCode note;
    } cases[] = {
        {"Yes: the new one", kStandinClient + kStandinKeys, 1, true, true, "1", SlotNoteCode::ActiveNow},
        {"No: the current one stays", kStandinClient + kStandinKeys, 1, false, true, "0", SlotNoteCode::ActiveStays},
        {"the active entry itself, another program in it: nothing to ask", kStandinClient, 0, false, false, "0",
         SlotNoteCode::ActiveNow},
        {"the active entry is empty: nothing to ask", "[Client]\r\nDefault=2\r\n", 0, false, false, "0",
         SlotNoteCode::ActiveNow},
        {"Default beyond the three: nothing to ask", "[Client]\r\nDefault=7\r\n7_Item=X\r\n", 0, false, false,
         "0", SlotNoteCode::ActiveNow},
    };
    for (const auto& c : cases) {
        EditedProfile profile(c.profile);
        const SlotTakePlan plan = PlanTakeWindow(c.slot, Notepad(), profile.Document(), nullptr, c.makeActive);
        EXPECT_EQ(plan.askActive, c.ask) << c.name;
        profile.Change(plan.changes);
        EXPECT_EQ(profile.Get("Client", "Default"), c.defaultAfter) << c.name;
        EXPECT_EQ(profile.Get("Client", std::to_string(c.slot) + "_Item"), "NOTEPAD") << c.name;
        bool noted = false;
        for (const SlotNote& note : plan.notes) noted = noted || note.code == c.note;
        EXPECT_TRUE(noted) << c.name;
    }
}

TEST(SlotTake, AnotherEntryActive_QuestionAndAnswersInWords) {
    const auto document = ProfileDocument::Parse(kStandinClient);
    const SlotTakePlan yes = PlanTakeWindow(1, Notepad(), document);
    EXPECT_EQ(ActiveQuestion(yes),
              "The remote works with Standin TV now. Should it work with Notepad instead?\n\nYes: POWER starts "
              "Notepad and the remote's keys control it.\nNo: the remote stays with Standin TV; Notepad waits in "
              "the list until you choose Work with this.");
    const SlotTakePlan no = PlanTakeWindow(1, Notepad(), document, nullptr, false);
    std::string words;
    for (const SlotNote& note : no.notes) words += SlotNoteWords(note) + "\n";
    EXPECT_NE(words.find("The remote still works with Standin TV; Notepad waits in the list.\n"), std::string::npos)
        << words;
    EXPECT_EQ(words.find("now works with"), std::string::npos) << words;
    EXPECT_EQ(WorksWithWords(""), "The remote works with no application yet.");
}

// ---- Removing a slot ----

const std::string kTwo =
    "[Client]\r\nDefault=1\r\n0_Item=STANDINTV\r\n0_ExeDesc=Standin TV\r\n1_Item=NOTEPAD\r\n1_ExeDesc=Notepad\r\n"
    "1_ExeName=notepad.exe\r\n[KeyMap_STANDINTV]\r\nPOWER=#8010\r\n[KeyMap_NOTEPAD]\r\nPOWER=#1\r\nVOL+=#2\r\n";

struct RemoveCase {
    const char* name;
    std::string before;
    int32_t slot;
    std::string after;
    std::string question;
    std::string done;
};

void PrintTo(const RemoveCase& c, std::ostream* os) { *os << c.name; }

class SlotRemove : public ::testing::TestWithParam<RemoveCase> {};

TEST_P(SlotRemove, Plan_ClearsTheSlotAndItsActions) {
    const RemoveCase& c = GetParam();
    EditedProfile profile(c.before);
    const SlotRemoval removal = PlanRemoveSlot(profile.Document(), c.slot);
    profile.Change(removal.changes);
    EXPECT_EQ(profile.Text(), c.after);
    EXPECT_EQ(RemoveQuestion(removal), c.question);
    EXPECT_EQ(RemovedWords(removal), c.done);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SlotRemove,
    ::testing::Values(
        RemoveCase{"ActiveSlot_DefaultMovesToTheOtherApplication", kTwo, 1,
                   "[Client]\r\nDefault=0\r\n0_Item=STANDINTV\r\n0_ExeDesc=Standin TV\r\n"
                   "[KeyMap_STANDINTV]\r\nPOWER=#8010\r\n",
                   "Remove Notepad from the remote's applications? Its 2 actions are removed too.",
                   "Notepad is removed. The remote now works with Standin TV; POWER starts it."},
        RemoveCase{"OtherSlot_DefaultStays", kTwo, 0,
                   "[Client]\r\nDefault=1\r\n1_Item=NOTEPAD\r\n1_ExeDesc=Notepad\r\n1_ExeName=notepad.exe\r\n"
                   "[KeyMap_NOTEPAD]\r\nPOWER=#1\r\nVOL+=#2\r\n",
                   "Remove Standin TV from the remote's applications? Its 1 action is removed too.",
                   "Standin TV is removed."},
        RemoveCase{"SameItemInAnotherSlot_ActionsStay",
                   "[Client]\r\nDefault=0\r\n0_Item=STANDINTV\r\n0_exedesc=Standin TV\r\n2_Item=standintv\r\n" +
                       kStandinKeys,
                   0, "[Client]\r\nDefault=2\r\n2_Item=standintv\r\n" + kStandinKeys,
                   "Remove Standin TV from the remote's applications? Its actions stay: another entry uses them "
                   "too.",
                   "Standin TV is removed. The remote now works with standintv; POWER starts it."},
        RemoveCase{"LastApplication_DefaultBackToTheFirstSlot",
                   "[Client]\r\nDefault=2\r\n2_Item=TV\r\n[KeyMap_TV]\r\n", 2, "[Client]\r\nDefault=0\r\n",
                   "Remove TV from the remote's applications?",
                   "TV is removed. The remote works with no application now."}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Renaming ----

TEST(SlotRename, Texts_OnlyWhatTheProfileHoldsAsTypedIsWritten) {
    const auto document = ProfileDocument::Parse("[Client]\r\n1_Item=TV\r\n1_ExeDesc=Old name\r\n");
    const struct {
        int32_t slot;
        std::string name;
        RenameProblem problem;
        bool written;
    } cases[] = {
        {1, "Living room TV", RenameProblem::None, true},
        {1, "Old name", RenameProblem::None, false},
        {2, "", RenameProblem::None, true},
        {1, std::string(255, 'x'), RenameProblem::None, true},
        {1, std::string(256, 'x'), RenameProblem::BadText, false},
        {1, "Two\r\nlines", RenameProblem::BadText, false},
        {1, "Lone\rreturn", RenameProblem::BadText, false},
        {1, std::string("Nul\0inside", 10), RenameProblem::HasNul, false},
        {1, " Leading", RenameProblem::BadText, false},
        {1, "Trailing\t", RenameProblem::BadText, false},
        {1, "\"Quoted\"", RenameProblem::BadText, false},
        {3, "Fourth", RenameProblem::NoSuchSlot, false},
    };
    for (const auto& c : cases) {
        const SlotRename rename = PlanRenameSlot(document, c.slot, c.name);
        EXPECT_EQ(rename.problem, c.problem) << c.name;
        EXPECT_EQ(RenameWords(rename).empty(), c.problem == RenameProblem::None) << c.name;
        ASSERT_EQ(rename.changes.size(), c.written ? 1u : 0u) << c.name;
        if (c.written) {
            EXPECT_EQ(rename.changes[0].key, std::to_string(c.slot) + "_ExeDesc");
            EXPECT_EQ(rename.changes[0].value, c.name);
        }
    }
}

// ---- Making one active ----

TEST(SlotActive, MakeActive_DefaultWrittenOnlyWhenItChanges) {
    const struct {
        const char* name;
        std::string before;
        int32_t slot;
        const char* defaultAfter;  // nullptr: nothing written
    } cases[] = {
        {"another slot becomes the active one", "[Client]\r\nDefault=0\r\n", 1, "1"},
        {"the last slot", "[Client]\r\nDefault=0\r\n", 2, "2"},
        {"the first slot from another", "[Client]\r\nDefault=2\r\n", 0, "0"},
        {"the active one already: nothing to write", "[Client]\r\nDefault=1\r\n", 1, nullptr},
        {"no Default line: slot 0 is meant, and the line is written", "[Client]\r\n0_Item=TV\r\n", 0, "0"},
        {"no profile at all", "", 1, "1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EditedProfile profile(c.before);
        const std::vector<ProfileChange> changes = PlanMakeActive(profile.Document(), c.slot);
        if (c.defaultAfter == nullptr) {
            EXPECT_TRUE(changes.empty());
            continue;
        }
        profile.Change(changes);
        EXPECT_EQ(profile.Get("Client", "Default"), c.defaultAfter);
        EXPECT_EQ(ActiveSlot(profile.Document()), c.slot);
    }
}

// ---- The selector ----

// Only an entry with an application works with the remote; names tell entries apart.
TEST(SlotRows, Selector_NamesTellSlotsApartOnlyAnApplicationWorksWithTheRemote) {
    const struct {
        std::string profile;
        std::vector<std::string> texts;
        std::vector<std::string> lines;  // the selector's, with the remote's mark
        int32_t active;
        int32_t nextFree;
    } cases[] = {
        {"", {"(empty)", "(empty)", "(empty)"}, {"(empty)", "(empty)", "(empty)"}, 0, 0},
        // Default names an empty entry: the remote works with nothing.
        {"[Client]\r\nDefault=2\r\n2_ExeDesc=Third TV viewer\r\n",
         {"(empty)", "(empty)", "Third TV viewer (not set up)"},
         {"(empty)", "(empty)", "Third TV viewer (not set up)"}, 2, 0},
        {"[Client]\r\nDefault=1\r\n0_Item=A\r\n0_ExeDesc=TV\r\n1_Item=NOTEPAD\r\n", {"TV", "NOTEPAD", "(empty)"},
         {"TV", "NOTEPAD  (remote works with it)", "(empty)"}, 1, 2},
        {"[Client]\r\nDefault=1\r\n0_Item=STANDINTV\r\n0_ExeDesc=Standin TV\r\n1_Item=STANDINTV\r\n"
         "1_ExeDesc=Standin TV\r\n2_ExeDesc=Third TV viewer\r\n",
         {"Standin TV", "Standin TV (2)", "Third TV viewer (not set up)"},
         {"Standin TV", "Standin TV (2)  (remote works with it)", "Third TV viewer (not set up)"}, 1, 2},
        {"[Client]\r\nDefault=5\r\n0_Item=A\r\n0_ExeDesc=TV\r\n1_ClassName=X\r\n1_ExeDesc=TV\r\n2_Child0=7\r\n"
         "2_ExeDesc=TV\r\n",
         {"TV", "TV (2)", "TV (3)"}, {"TV", "TV (2)", "TV (3)"}, -1, -1},
        {"[Client]\r\n0_Item=NOTEPAD\r\n", {"NOTEPAD", "(empty)", "(empty)"},
         {"NOTEPAD  (remote works with it)", "(empty)", "(empty)"}, 0, 1},
    };
    for (const auto& c : cases) {
        const auto document = ProfileDocument::Parse(c.profile);
        const std::vector<SlotRow> rows = SlotRows(document);
        ASSERT_EQ(rows.size(), 3u);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(SelectorText(rows[i]), c.texts[i]) << c.profile;
            EXPECT_EQ(SelectorLine(rows[i]), c.lines[i]) << c.profile;
            EXPECT_EQ(rows[i].active, static_cast<int32_t>(i) == c.active) << c.profile;
        }
        EXPECT_EQ(NextFreeSlot(document), c.nextFree) << c.profile;
    }
}

TEST(SlotRows, Lines_TheSlotsOwnInFileOrder) {
    const auto document =
        ProfileDocument::Parse("[Client]\r\n1_Item=TV\r\n10_Item=TEN\r\n0_Item=ZERO\r\n1_ExeDesc=\"My TV\"\r\n");
    const SlotRow row = ReadSlot(document, 1);
    ASSERT_EQ(row.lines.size(), 2u);
    EXPECT_EQ(row.lines[0].key, "1_Item");
    EXPECT_EQ(row.lines[1].key, "1_ExeDesc");
    EXPECT_EQ(row.lines[1].value, "My TV");
    EXPECT_EQ(row.description, "My TV");
}

// ---- Words ----

// Every text about an entry read with any name: no "tests's", none of the words an
// owner does not know, and nothing of the file's format.
TEST(SlotWords, AnyNameEveryText_NoInnerWordsNoFileFormat) {
    const std::string name = "Stand-in TV client for tests";
    std::vector<std::string> texts;
    for (int code = 0; code <= static_cast<int>(SlotNoteCode::ActionsRemoved); ++code) {
        SlotNote note;
        note.code = static_cast<SlotNoteCode>(code);
        note.app = name;
        note.oldApp = name;
        note.oldExe = "standin.exe";
        note.count = 2;
        note.reason.why = NotKept::Text;
        note.reason.check = {LineCheck::Part::Value, LineProblem::LineBreak};
        note.title = "Channel 5";
        note.where = "App Paths";
        const std::string words = SlotNoteWords(note);
        EXPECT_FALSE(words.empty()) << code;
        for (const char* format : {"[", "_", "=", "HKEY", "KeyMap", "Default", "Item", "Control"})
            EXPECT_EQ(words.find(format), std::string::npos) << code << ": " << words;
        texts.push_back(words);
    }
    SlotReplace replace{true, name, name, 1};
    texts.push_back(ReplaceQuestion(replace));
    replace.freeSlot = -1;
    texts.push_back(ReplaceQuestion(replace));
    SlotRemoval removal;
    removal.app = name;
    removal.actionsRemoved = true;
    removal.actions = 3;
    removal.sharedWith = 1;
    removal.newActive = 1;
    texts.push_back(RemoveQuestion(removal));
    texts.push_back(RemovedWords(removal));
    removal.app.clear();
    texts.push_back(RemoveQuestion(removal));
    texts.push_back(RemovedWords(removal));
    SlotRow empty;
    texts.push_back(SelectorText(empty));
    SlotTakePlan plan;
    plan.app = plan.activeApp = plan.sameProgramApp = name;
    texts.push_back(ActiveQuestion(plan));
    texts.push_back(SameProgramWords(plan));
    LaunchFinding noLaunch;
    noLaunch.state = LaunchState::NoLaunchLines;
    texts.push_back(LaunchInWords(noLaunch, true));
    for (const std::string& text : texts)
        for (const char* word : {"s's", "slot", "free", "Receiver", "Taken", "recorded nowhere", "Setup"})
            EXPECT_EQ(text.find(word), std::string::npos) << word << " in: " << text;
}

TEST(SlotWords, Counts_SingularAndPlural) {
    const struct {
        int count;
        std::string words;
    } cases[] = {
        {0, "Standin TV had no actions."},
        {1, "The 1 action of Standin TV is removed with it."},
        {2, "The 2 actions of Standin TV are removed with it."},
    };
    for (const auto& c : cases) {
        SlotNote note;
        note.code = SlotNoteCode::ActionsRemoved;
        note.oldApp = "Standin TV";
        note.count = c.count;
        EXPECT_EQ(SlotNoteWords(note), c.words);
    }
}

}  // namespace
}  // namespace qrtl::setup
