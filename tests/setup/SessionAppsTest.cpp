// The set-up window's TV applications in its model, as scripts of events: taking
// a window (each question answered), the selector (pick, work with, add, remove,
// rename), Fill, and the key buttons' refusals.
#include <gtest/gtest.h>

#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "setup/RemoteSession.h"

namespace qrtl::setup {
namespace {

// Standin TV in entry 0, the one the remote works with, with two actions.
const std::string kStandinLines =
    "[Client]\r\nDefault=0\r\n0_Item=STANDINTV\r\n0_ClassName=StandinTVClass\r\n0_Control=1\r\n"
    "0_ExeDesc=Standin TV\r\n";
const std::string kStandinKeys = "[KeyMap_STANDINTV]\r\nPOWER=#8010\r\nVOL+=#8001\r\n";
const std::string kNotepadLines = "1_Item=NOTEPAD\r\n1_ExeDesc=My notes\r\n";
const std::string kStandin = kStandinLines + kStandinKeys;
// Notepad in entry 1 beside it.
const std::string kStandinNotepad = kStandinLines + kNotepadLines + kStandinKeys;
// Every entry used.
const std::string kThree = kStandinLines + kNotepadLines + "2_Item=OTHERTV\r\n2_ExeDesc=Other TV\r\n" + kStandinKeys;
const std::string kEmpty = "[Client]\r\nDefault=0\r\n";

ClientWindowFacts Facts(const std::string& item) {
    ClientWindowFacts facts;
    facts.item = item;
    facts.className = item == "NOTEPAD" ? "Notepad" : "StandinTVClass";
    facts.caption = item == "NOTEPAD" ? "Untitled - Notepad" : "Standin TV";
    facts.fileDescription = item == "NOTEPAD" ? "Notepad" : "Standin TV";
    facts.titleNeeded = false;
    return facts;
}

// A TV application's menus, or an editor's.
AppCatalog Catalog(const std::string& item) {
    AppCatalog catalog;
    if (item == "NOTEPAD") {
        catalog.menus = {{1, "File > New", ""}, {2, "File > Save", ""}, {3, "Edit > Cut", ""}};
    } else if (item == "STANDINTV") {
        catalog.menus = {{0x8010, "File > Power", ""},      {0x8001, "Audio > Volume up", ""},
                         {0x8002, "Audio > Volume down", ""}, {0x8003, "Audio > Mute", ""},
                         {0x8004, "Channel > Channel up", ""}};
    }
    return catalog;
}

// Plays `events`, each a word and maybe an argument:
//   take ITEM / gone ITEM   the window of program ITEM examined (there / gone meanwhile)
//   unread ITEM             the same, its commands not read
//   yes / no / cancel       the answer to the question asked
//   fill / fill?            Fill pressed / offered with a question
//   select N / work / add / remove / rename NAME / unfit   the selector
// What each step asks ("?Kind", with "!" when No is the default), says and
// whether a window was chosen, joined by " | ".
std::string Play(RemoteSession& session, const std::vector<std::string>& events) {
    std::string log;
    const auto note = [&log](const std::string& words) { log += (log.empty() ? "" : " | ") + words; };
    const auto follow = [&](const AppStep& step) {
        if (step.chosen) note("chosen");
        if (step.said) note(step.live);
        static const char* const kKinds[] = {"",        "?WindowGone",      "?SameProgram", "?NoTvCommands",
                                             "?Replace", "?WorkWithInstead", "?Fill",        "?Remove"};
        if (step.ask != AppAsk::None) note(kKinds[static_cast<int>(step.ask)] + std::string(step.defaultNo ? "!" : ""));
        if (step.focus == AppFocus::WindowList) note("(to the window list)");
        if (step.focus == AppFocus::NameField) note("(to the name)");
    };
    for (const std::string& event : events) {
        std::istringstream in(event);
        std::string word, arg;
        in >> word;
        std::getline(in >> std::ws, arg);
        if (word == "take" || word == "gone" || word == "unread")
            follow(session.WindowExamined(Facts(arg), word == "unread" ? AppCatalog{} : Catalog(arg), word != "gone"));
        else if (word == "yes" || word == "no" || word == "cancel")
            follow(session.AppAnswer(word == "yes" ? AppReply::Yes : word == "no" ? AppReply::No : AppReply::Cancel));
        else if (word == "fill" || word == "fill?")
            follow(session.FillActions(word == "fill?"));
        else if (word == "select")
            follow(session.SelectApplication(std::stoi(arg)));
        else if (word == "work")
            follow(session.WorkWithEdited());
        else if (word == "add")
            follow(session.AddApplication());
        else if (word == "remove")
            follow(session.RemoveApplication());
        else if (word == "rename" || word == "unfit")
            follow(session.RenameApplication(arg, word == "rename"));
        else
            ADD_FAILURE() << "no such event: " << event;
    }
    return log;
}

struct AppCase {
    const char* name;
    std::string profile;
    std::vector<std::string> events;
    std::string said;
    // Lines of [Client] and key maps after it, "section.key=value" ("" when absent).
    std::vector<std::pair<std::string, std::string>> lines;
    int edited;  // the entry the window edits afterwards
};

void PrintTo(const AppCase& c, std::ostream* os) { *os << c.name; }

class SessionApps : public ::testing::TestWithParam<AppCase> {};

TEST_P(SessionApps, Script_AsksSaysAndChanges) {
    const AppCase& c = GetParam();
    RemoteSession session(c.profile, false);
    session.EditActive();
    EXPECT_EQ(Play(session, c.events), c.said);
    for (const auto& [line, value] : c.lines) {
        const std::size_t dot = line.find('.');
        EXPECT_EQ(session.Profile().Get(line.substr(0, dot), line.substr(dot + 1)), value) << line;
    }
    EXPECT_EQ(session.Profile().ClientIndex(), c.edited);
}

const std::string kFillTv = "Filled 4 keys from the application's commands.";

INSTANTIATE_TEST_SUITE_P(
    Take, SessionApps,
    ::testing::Values(
        AppCase{"EmptyEntry_TakenAtOnceFillAskedYes", kEmpty, {"take STANDINTV", "yes"},
                "chosen | ?Fill | " + kFillTv,
                {{"Client.0_Item", "STANDINTV"}, {"Client.Default", "0"}, {"KeyMap_STANDINTV.VOL+", "#8001"}}, 0},
        AppCase{"EmptyEntry_FillAnsweredNo_NoAction", kEmpty, {"take STANDINTV", "no"}, "chosen | ?Fill",
                {{"Client.0_Item", "STANDINTV"}, {"KeyMap_STANDINTV.VOL+", ""}}, 0},
        AppCase{"CommandsNotRead_TakenWithoutQuestions", kEmpty, {"unread NOTEPAD"}, "chosen",
                {{"Client.0_Item", "NOTEPAD"}}, 0},
        AppCase{"WindowGoneMeanwhile_NothingTaken", kEmpty, {"gone STANDINTV"},
                "Nothing was taken: the application's window went away. | ?WindowGone", {{"Client.0_Item", ""}}, 0},
        AppCase{"ProgramUnknown_NothingTaken", kEmpty, {"take "},
                "Nothing was taken: the application's window went away. | ?WindowGone", {{"Client.0_Item", ""}}, 0},
        AppCase{"NoTvCommands_Cancel_NothingTaken", kEmpty, {"take NOTEPAD", "cancel"},
                "?NoTvCommands! | Nothing was taken: Notepad shows no TV commands: none of the 27 keys found a "
                "meaning.",
                {{"Client.0_Item", ""}}, 0},
        AppCase{"NoTvCommands_TakenAnyway", kEmpty, {"take NOTEPAD", "yes"}, "?NoTvCommands! | chosen",
                {{"Client.0_Item", "NOTEPAD"}}, 0},
        AppCase{"SameProgramInAnotherEntry_YesSwitchesToIt", kStandinNotepad, {"select 2", "take NOTEPAD", "yes"},
                "An empty entry for another TV application: drag the crosshair onto its window, or choose it from "
                "the list. | ?SameProgram | Editing the actions of My notes.",
                {{"Client.2_Item", ""}}, 1},
        AppCase{"SameProgramInAnotherEntry_NoTakesNothing", kStandinNotepad, {"take NOTEPAD", "no"},
                "?SameProgram | Nothing was taken: Notepad has an entry already.",
                {{"Client.0_Item", "STANDINTV"}}, 0},
        AppCase{"OtherApplication_ReplaceCancelled_ItStays", kStandin, {"take NOTEPAD", "yes", "cancel"},
                "?NoTvCommands! | ?Replace! | Nothing was taken: Standin TV stays.",
                {{"Client.0_Item", "STANDINTV"}}, 0},
        AppCase{"OtherApplication_Replaced_ItsActionsGo", kStandin, {"take NOTEPAD", "yes", "yes"},
                "?NoTvCommands! | ?Replace! | chosen",
                {{"Client.0_Item", "NOTEPAD"}, {"KeyMap_STANDINTV.POWER", ""}, {"Client.Default", "0"}}, 0},
        AppCase{"OtherApplication_NewEntry_WorkWithItYes", kStandin, {"take NOTEPAD", "yes", "no", "yes"},
                "?NoTvCommands! | ?Replace! | ?WorkWithInstead! | chosen",
                {{"Client.0_Item", "STANDINTV"}, {"Client.1_Item", "NOTEPAD"}, {"Client.Default", "1"},
                 {"KeyMap_STANDINTV.POWER", "#8010"}},
                1},
        AppCase{"OtherApplication_NewEntry_WorkWithItNo_RemoteKeepsFirst", kStandin,
                {"take NOTEPAD", "yes", "no", "no"}, "?NoTvCommands! | ?Replace! | ?WorkWithInstead! | chosen",
                {{"Client.1_Item", "NOTEPAD"}, {"Client.Default", "0"}}, 1},
        AppCase{"EveryEntryUsed_NewEntryRefused_NothingTaken", kThree, {"select 2", "take STANDINTV"},
                "Editing the actions of Other TV; the codes of the keys are shared. | ?SameProgram",
                {{"Client.2_Item", "OTHERTV"}}, 2},
        AppCase{"EmptyEntryWhileAnotherIsActive_AskedNoKeepsIt", kStandin, {"select 1", "unread NOTEPAD", "no"},
                "An empty entry for another TV application: drag the crosshair onto its window, or choose it from "
                "the list. | ?WorkWithInstead! | chosen",
                {{"Client.1_Item", "NOTEPAD"}, {"Client.Default", "0"}}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Selector, SessionApps,
    ::testing::Values(
        AppCase{"SelectTheEditedOne_NothingSaid", kStandin, {"select 0"}, "", {}, 0},
        AppCase{"WorkWithAnother_DefaultMoves", kStandinNotepad, {"select 1", "work"},
                "Editing the actions of My notes; the codes of the keys are shared. | The remote now works with My "
                "notes. Save to keep it.",
                {{"Client.Default", "1"}}, 1},
        AppCase{"WorkWithTheActiveOne_SaidOnly", kStandin, {"work"}, "The remote works with: Standin TV; POWER starts it.",
                {{"Client.Default", "0"}}, 0},
        AppCase{"WorkWithEmptyEntry_Refused", kStandin, {"select 2", "work"},
                "An empty entry for another TV application: drag the crosshair onto its window, or choose it from "
                "the list. | This entry holds no application yet: take its window first.",
                {{"Client.Default", "0"}}, 2},
        AppCase{"Add_NextEmptyEntry", kStandin, {"add"},
                "Add: drag the crosshair onto the new application's window, or choose it from the list. | (to the "
                "window list)",
                {}, 1},
        AppCase{"AddWithEveryEntryUsed_Refused", kThree, {"add"},
                "The remote drives up to three applications: remove one to add another.", {}, 0},
        AppCase{"RemoveAnsweredNo_NothingRemoved", kStandinNotepad, {"select 1", "remove", "no"},
                "Editing the actions of My notes; the codes of the keys are shared. | ?Remove! | Nothing removed.",
                {{"Client.1_Item", "NOTEPAD"}}, 1},
        AppCase{"RemoveTheActiveOne_RemoteMovesToTheOther", kStandinNotepad, {"remove", "yes"},
                "?Remove! | Standin TV is removed. The remote now works with My notes; POWER starts it. Save to keep it.",
                {{"Client.0_Item", ""}, {"KeyMap_STANDINTV.POWER", ""}, {"Client.Default", "1"}}, 1},
        AppCase{"RemoveEmptyEntry_NothingToRemove", kStandin, {"select 1", "remove"},
                "An empty entry for another TV application: drag the crosshair onto its window, or choose it from "
                "the list. | This entry holds no application: nothing to remove.",
                {}, 1},
        AppCase{"Rename_NameWritten", kStandin, {"rename Living room"},
                "Renamed to Living room; the monitor's set-up dialog lists it so once saved.",
                {{"Client.0_ExeDesc", "Living room"}}, 0},
        AppCase{"RenameToTheSameName_NothingWritten", kStandin, {"rename Standin TV"}, "The name is the same.", {}, 0},
        AppCase{"RenameWithCharactersTheProfileCannotHold_Refused", kStandin, {"unfit x"},
                "Not renamed: the name holds characters the profile cannot keep. | (to the name)",
                {{"Client.0_ExeDesc", "Standin TV"}}, 0},
        AppCase{"RenameToATextTheProfileCannotHold_RefusedWithTheReason", kStandin, {"rename \"Quoted\""},
                "Not renamed: The name begins or ends with a quote, which the profile functions strip. | (to the name)",
                {{"Client.0_ExeDesc", "Standin TV"}}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Fill, SessionApps,
    ::testing::Values(
        AppCase{"FillPressedWithoutCommands_NothingFilled", kEmpty, {"unread STANDINTV", "fill"},
                "chosen | Every key the application's commands suggest has an action already: nothing filled.", {}, 0},
        AppCase{"FillPressedAfterTake_KeysWithActionKeepThem", kStandin,
                {"take STANDINTV", "no", "fill", "fill"},
                "chosen | ?Fill | Filled 3 keys from the application's commands; 1 kept their action. | Every key the "
                "application's commands suggest has an action already: nothing filled.",
                {{"KeyMap_STANDINTV.POWER", "#8010"}, {"KeyMap_STANDINTV.MUTE", "#8003"}}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// A window taken: the notes of what changed go together to the banner, apart from
// the status line, until a save or another change of the applications.
// Notepad taken beside Standin TV, not replacing it, the remote kept on Standin TV.
AppStep TakeNotepadBeside(RemoteSession& session) {
    session.EditActive();
    EXPECT_EQ(session.WindowExamined(Facts("NOTEPAD"), {}, true).ask, AppAsk::Replace);
    const AppStep no = session.AppAnswer(AppReply::No);
    EXPECT_EQ(no.ask, AppAsk::WorkWithInstead);
    EXPECT_EQ(no.question.rfind("The remote works with Standin TV now. Should it work with Notepad instead?", 0), 0u)
        << no.question;
    return session.AppAnswer(AppReply::No);
}

TEST(SessionAppsNotes, WindowTaken_NotesWholeUntilSavedOrChanged) {
    RemoteSession session(kStandin, false);
    const AppStep taken = TakeNotepadBeside(session);
    EXPECT_TRUE(taken.chosen);
    EXPECT_FALSE(taken.said) << taken.live;
    EXPECT_EQ(session.Facts(false).takeNotes,
              "POWER cannot start Notepad: Windows does not say where it is installed. Start Notepad yourself before "
              "you use the remote. The remote still works with Standin TV; Notepad waits in the list. The monitor now "
              "passes the remote's keys to Notepad while it runs.");

    const struct {
        const char* after;
        void (*event)(RemoteSession&);
    } clears[] = {
        {"saved", [](RemoteSession& s) { s.Saved({}); }},
        {"saved as", [](RemoteSession& s) { s.SavedAs(true); }},
        {"another entry picked", [](RemoteSession& s) { s.SelectApplication(0); }},
        {"renamed", [](RemoteSession& s) { s.RenameApplication("Editor", true); }},
        {"removed", [](RemoteSession& s) {
             s.RemoveApplication();
             s.AppAnswer(AppReply::Yes);
         }},
        {"work with it", [](RemoteSession& s) { s.WorkWithEdited(); }},
        {"another window examined", [](RemoteSession& s) { s.WindowExamined(Facts("NOTEPAD"), {}, false); }},
    };
    for (const auto& c : clears) {
        RemoteSession again(kStandin, false);
        TakeNotepadBeside(again);
        ASSERT_FALSE(again.Facts(false).takeNotes.empty()) << c.after;
        c.event(again);
        EXPECT_EQ(again.Facts(false).takeNotes, "") << c.after;
    }
    // Fill and learning say nothing against them: they stay.
    session.FillActions(false);
    EXPECT_FALSE(session.Facts(false).takeNotes.empty());
}

// One program, one entry: the window list leaves out the programs of other entries
// than the one edited (names without case, and programs no entry has: the slot table).
TEST(SessionAppsOffer, WindowList_ProgramOfAnotherEntryLeftOut) {
    const struct {
        int edited;
        const char* item;
        bool offered;
    } cases[] = {
        {0, "STANDINTV", true},   // its own program: taken again
        {0, "NOTEPAD", false},    // entry 1 has it
        {2, "STANDINTV", false},  // entry 0 has it
    };
    for (const auto& c : cases) {
        RemoteSession session(kStandinNotepad, false);
        session.SelectApplication(c.edited);
        EXPECT_EQ(session.OffersWindowOf(c.item), c.offered) << c.edited << " " << c.item;
    }
}

// The key buttons: what is said instead of asking.
TEST(SessionAppsKeys, TestAndClear_RefusedWithTheReason) {
    RemoteSession session(kStandin + "[KeyMap_Controler]\r\nMUTE=22\r\n", false);
    session.EditActive();
    session.Recheck({}, "QRD210DE.DLL");
    const auto row = [&](const std::string& key) {
        for (std::size_t i = 0; i < session.Rows().size(); ++i)
            if (session.Rows()[i].name == key) return static_cast<int>(i);
        return -1;
    };
    EXPECT_EQ(session.TestRefused(row("POWER")), "");
    EXPECT_EQ(session.TestRefused(row("MUTE")), "MUTE has no action yet: choose one with Action...");
    EXPECT_EQ(session.TestRefused(99), "");
    const ClearAsk none = session.ClearOffer(row("SCAN"));
    EXPECT_FALSE(none.ask);
    EXPECT_EQ(none.live, "SCAN has no code and no action: nothing to clear.");
    const ClearAsk code = session.ClearOffer(row("MUTE"));
    EXPECT_TRUE(code.ask);
    EXPECT_EQ(code.code, "22");
    EXPECT_EQ(code.action, "");
    const ClearAsk action = session.ClearOffer(row("POWER"));
    EXPECT_EQ(action.code, "");
    EXPECT_FALSE(action.action.empty());
    EXPECT_EQ(session.ActionApplication(), "Standin TV");
}

}  // namespace
}  // namespace qrtl::setup
