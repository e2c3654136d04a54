// The set-up window's model without a window: learning (skip, stop, a hung read,
// a held key, a code another key holds, Learn all from the first key without a
// code), the monitor closed to learn and given back, the file read-only and saved,
// and the controls' states after each event, as scripts of events.
#include "setup/RemoteSession.h"

#include <gtest/gtest.h>

#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "config/QRTLIRSet.h"
#include "setup/StarterProfile.h"

namespace qrtl::setup {
namespace {

constexpr char kDriver[] = "QRD210DE.DLL";

using test::StarterProfile;

// Plays `events` on `session`, each a word and maybe a number:
//   learn K / all K   Learn of key K / Learn all from K, the receiver taken
//   quiet             the quiet second before the first key (ten reads without a code)
//   read C / none     one read with code C / without a code
//   release           the release wait (twenty reads without a code)
//   held C            the key held through the release wait (twenty reads of code C)
//   skip / stop       Escape / Learn all's Stop
//   yes / no          the answer to the question asked
//   running MS        the read in progress has run MS ms
//   monitor           a monitor started while learning
// The status lines said and the questions asked, in order, joined by " | ".
std::string Play(RemoteSession& session, const std::vector<std::string>& events) {
    std::string log;
    const auto note = [&log](const std::string& words) { log += (log.empty() ? "" : " | ") + words; };
    const auto follow = [&](const SessionStep& step) {
        if (step.said) note(step.live);
        if (!step.question.empty()) note("? " + step.question);
        if (step.receiver == ReceiverStep::Abandon) note("(abandoned)");
    };
    for (const std::string& event : events) {
        std::istringstream in(event);
        std::string word;
        long number = 0;
        in >> word >> number;
        if (word == "learn" || word == "all") {
            const std::string off = session.MayLearn(false, kDriver);
            if (!off.empty()) {
                note(off);
                continue;
            }
            follow(session.ReadingStarted(static_cast<int>(number), word == "all"));
        } else if (word == "quiet" || word == "release") {
            const int reads = word == "quiet" ? kQuietSampleReads : kReleaseWaitReads;
            for (int i = 0; i < reads; ++i) follow(session.Read(false, 0));
        } else if (word == "held") {
            for (int i = 0; i < kReleaseWaitReads; ++i) follow(session.Read(true, static_cast<uint32_t>(number)));
        } else if (word == "read") {
            follow(session.Read(true, static_cast<uint32_t>(number)));
        } else if (word == "none") {
            follow(session.Read(false, 0));
        } else if (word == "skip") {
            follow(session.Skip());
        } else if (word == "stop") {
            follow(session.Stop("Learning stopped."));
        } else if (word == "yes" || word == "no") {
            follow(session.Answer(word == "yes"));
        } else if (word == "running") {
            follow(session.ReadRunning(static_cast<unsigned>(number)));
        } else if (word == "monitor") {
            follow(session.MonitorStarted());
        } else {
            ADD_FAILURE() << "no such event: " << event;
        }
    }
    return log;
}

// The codes of [KeyMap_Controler] that are set, as "VOL+=20 MUTE=22".
std::string Codes(const RemoteSession& session) {
    std::string codes;
    for (int i = 0; i < kRemoteKeyCount; ++i) {
        const std::string code = session.Profile().Get("KeyMap_Controler", RemoteKeyNames[i]);
        if (!code.empty()) codes += (codes.empty() ? "" : " ") + std::string(RemoteKeyNames[i]) + "=" + code;
    }
    return codes;
}

constexpr int kPower = 0;
constexpr int kVolUp = 5;
constexpr int kMute = 9;

struct LearnCase {
    const char* name;
    std::string profile;
    std::vector<std::string> events;
    std::string said;
    std::string codes;
    bool learning;
};

void PrintTo(const LearnCase& c, std::ostream* os) { *os << c.name; }

class SessionLearning : public ::testing::TestWithParam<LearnCase> {};

TEST_P(SessionLearning, Script_SaysAndKeepsWhatHappened) {
    const LearnCase& c = GetParam();
    RemoteSession session(c.profile, false);
    EXPECT_EQ(Play(session, c.events), c.said);
    EXPECT_EQ(Codes(session), c.codes);
    EXPECT_EQ(session.Learning(), c.learning);
    EXPECT_EQ(session.Profile().Changed(), c.codes != Codes(RemoteSession(c.profile, false)));
}

const std::string kArrow = " \xE2\x86\x92 ";
const std::string kListening = "Release all keys: listening to the receiver for one second ...";
const std::string kAskVolUp = kListening + " | Press VOL+ (volume up) on the remote; Escape stops.";
const std::string kPowerLearned =
    kListening + " | Press POWER (power on / off) on the remote; Escape skips it. | Received 10" + kArrow + "POWER";
const std::string kPowerThenZoom =
    kPowerLearned + " | Received 10" + kArrow + "POWER. Press ZOOM (zoom) on the remote; Escape skips it.";
const std::string kVolUpsCode = kListening +
                                " | Press VOL- (volume down) on the remote; Escape stops. | ? Code 20 is already VOL+ "
                                "(volume up).\n\nTake it over for VOL-? VOL+ then has no code.";

INSTANTIATE_TEST_SUITE_P(
    Table, SessionLearning,
    ::testing::Values(
        LearnCase{"ReceiverRepeatsAQuietCode_NeverTakenForAKey", StarterProfile(),
                  {"learn 5", "read 77", "none", "none", "none", "none", "none", "none", "none", "none", "none",
                   "read 77", "read 20"},
                  kAskVolUp + " | Received 20" + kArrow + "VOL+", "VOL+=20", false},
        LearnCase{"OneKey_EscapeStops", StarterProfile(), {"learn 5", "quiet", "skip", "read 20"},
                  kAskVolUp + " | Learning stopped.", "", false},
        LearnCase{"PressBeforeThePrompt_NotTaken", StarterProfile(), {"learn 5", "read 20", "read 20"}, kListening,
                  "", true},
        // Also where Learn all begins: the first key without a code.
        LearnCase{"LearnAll_EscapeSkipsToTheNextKeyAtOnce", StarterProfile("POWER=10\r\nZOOM=11\r\n"),
                  {"all 0", "quiet", "skip"},
                  kListening + " | Press SCAN (scan channels) on the remote; Escape skips it. | Press TVFMSW (TV / "
                               "FM radio) on the remote; Escape skips it.",
                  "POWER=10 ZOOM=11", true},
        LearnCase{"LearnAll_Stop_EndsAndKeepsWhatWasLearned", StarterProfile(), {"all 0", "quiet", "read 10", "stop"},
                  kPowerLearned + " | Learning stopped.", "POWER=10", false},
        // After a code the next key waits for the release; the held key's code
        // never counts for it, a different code after the release does.
        LearnCase{"KeyPressedAgainAfterTheRelease_ANewPressOfTheSameCode", StarterProfile(),
                  {"all 0", "quiet", "read 10", "read 10", "read 10", "none", "read 10", "none", "read 11"},
                  kPowerThenZoom + " | ? Code 10 is already POWER (power on / off).\n\nTake it over for ZOOM? POWER "
                                   "then has no code.",
                  "POWER=10", true},
        // Held past the release wait: the next key is asked for, the held code
        // still counts for nothing, and a different code after the release is taken.
        LearnCase{"KeyHeldIntoTheNextPrompt_CountsOnceTheNextCodeIsTaken", StarterProfile(),
                  {"all 0", "quiet", "read 10", "held 10", "read 10", "read 10", "none", "read 11"},
                  kPowerThenZoom + " | Received 11" + kArrow + "ZOOM", "POWER=10 ZOOM=11", true},
        LearnCase{"CodeOfAnotherKey_NoKeepsItThere", StarterProfile("VOL+=20\r\n"),
                  {"learn 6", "quiet", "read 20", "no", "none", "read 21"},
                  kVolUpsCode + " | Code 20 stays with VOL+. Press VOL- again, or Escape. | Received 21" + kArrow +
                      "VOL-",
                  "VOL+=20 VOL-=21", false},
        // Also the plain Yes: the code moves to the key learned.
        LearnCase{"ReadsWhileAsked_CountForNothing", StarterProfile("VOL+=20\r\n"),
                  {"learn 6", "quiet", "read 20", "none", "read 21", "yes"},
                  kVolUpsCode + " | Received 20" + kArrow + "VOL-",
                  "VOL-=20", false},
        LearnCase{"StoppedWhileAsked_TheAnswerChangesNothing", StarterProfile("VOL+=20\r\n"),
                  {"learn 6", "quiet", "read 20", "stop", "yes"}, kVolUpsCode + " | Learning stopped.", "VOL+=20",
                  false},
        // The hang limit as a number: one millisecond under it is a slow read; also
        // the plain learn of one key.
        LearnCase{"ReadRunsUnderTheLimit_LearningGoesOn", StarterProfile(),
                  {"learn 5", "quiet", "running 4999", "read 20"},
                  kAskVolUp + " | Received 20" + kArrow + "VOL+", "VOL+=20", false},
        LearnCase{"ReadHangs_LearningStopsTheReadIsLeftAndLearnIsOff", StarterProfile(),
                  {"learn 5", "quiet", "running 5000", "read 20", "learn 6"},
                  kAskVolUp + " | Learning stopped: the card driver has not answered for 5 s. Check the card, then "
                              "start the set-up again. | (abandoned) | Learn is off: the card driver has not answered "
                              "a read for 5 s; check the card, then start the set-up again.",
                  "", false},
        LearnCase{"MonitorStartedWhileLearning_LearningStops", StarterProfile(),
                  {"learn 5", "quiet", "monitor", "read 20"},
                  kAskVolUp + " | Learning stopped: the monitor was started and reads the receiver now.", "", false}));

// ---- The monitor this window closed to learn ----
// (Given back as learning ends, or one started meanwhile: the MonitorBack table.)

TEST(SessionMonitor, GiveBack_StartsOnlyTheMonitorThisWindowClosed) {
    const struct {
        const char* name;
        std::vector<std::string> events;  // closing, kept, learned
        bool stuck;
        bool runsNow;
        MonitorRestart restart;
        MonitorRestart second;  // asked again afterwards, nothing stuck and none running
    } cases[] = {
        {"ClosedAndWindowClosedDuringTheWait_StillStarted", {"closing"}, false, false, MonitorRestart::Start,
         MonitorRestart::None},
        {"RefusedToClose_NotStarted", {"closing", "kept"}, false, false, MonitorRestart::None, MonitorRestart::None},
        // Slow to close: it ended only after the wait ran out, or another started.
        {"OneRunsNow_NeverASecond", {"closing", "learned"}, false, true, MonitorRestart::None, MonitorRestart::None},
        {"ReadStuckInTheDriver_ToldAndStartedOnceItAnswers", {"closing", "learned"}, true, false,
         MonitorRestart::TellStuck, MonitorRestart::Start},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RemoteSession session(StarterProfile(), false);
        for (const std::string& event : c.events) {
            if (event == "closing") session.MonitorClosing("C:\\QRTL\\QRTLIRMoni.exe");
            if (event == "kept") session.MonitorKept();
            if (event == "learned") Play(session, {"learn 5", "quiet", "read 20"});
        }
        EXPECT_EQ(session.GiveBack(c.stuck, c.runsNow), c.restart);
        EXPECT_EQ(session.GiveBack(false, false), c.second);
        if (c.restart == MonitorRestart::Start) {
            EXPECT_EQ(session.ClosedMonitor(), "C:\\QRTL\\QRTLIRMoni.exe");
        }
    }
}

TEST(SessionMonitorWait, CloseAskedDuringTheWait_ComesAfterIt) {
    RemoteSession session(StarterProfile(), false);
    session.WaitBegins();
    EXPECT_TRUE(session.Waiting());
    session.CloseAskedWhileWaiting();
    EXPECT_TRUE(session.WaitEnds());
    EXPECT_FALSE(session.Waiting());
    session.WaitBegins();  // a later wait starts without it
    EXPECT_FALSE(session.WaitEnds());
}

// ---- The file: read-only, saved, saved as ----

TEST(SessionFile, ReadOnly_LearnAndSaveOffUntilWritable) {
    RemoteSession session(StarterProfile(), true);
    EXPECT_EQ(Play(session, {"learn 5"}),
              "Learn is off: the profile is read-only. Save as... keeps your changes in a copy.");
    session.Profile().Set("KeyMap_Controler", "VOL+", "20");
    EXPECT_FALSE(session.Controls(kVolUp, false).save);
    EXPECT_TRUE(session.Controls(kVolUp, false).saveAs);
    EXPECT_FALSE(session.WritableNow(false));  // no news
    EXPECT_TRUE(session.WritableNow(true));
    EXPECT_TRUE(session.MayLearn(false, kDriver).empty());
    EXPECT_TRUE(session.Controls(kVolUp, false).save);
}

TEST(SessionFile, SavedWithOtherWritersLines_TheirLinesKeptTheEditedApplicationStays) {
    const std::string text = StarterProfile();
    RemoteSession session(text, false);
    session.Profile().EditClient(1);
    session.Profile().Set("KeyMap_Controler", "VOL+", "20");
    const std::string written = StarterProfile("VOL+=20\r\nMUTE=22\r\n");
    session.Saved(written);
    EXPECT_FALSE(session.Profile().Changed());
    EXPECT_EQ(session.SavedText(), written);
    EXPECT_EQ(session.Profile().Get("KeyMap_Controler", "MUTE"), "22");
    EXPECT_EQ(session.Profile().ClientIndex(), 1);
}

TEST(SessionFile, SavedAsACopyNotWritable_ReadOnlyFromNowOn) {
    RemoteSession session(StarterProfile(), false);
    session.Profile().Set("KeyMap_Controler", "VOL+", "20");
    session.SavedAs(false);
    EXPECT_TRUE(session.ReadOnly());
    EXPECT_FALSE(session.Profile().Changed());
    EXPECT_EQ(session.SavedText(), session.Profile().Text());
}

// ---- The controls after each event ----

// L Learn, A Learn all, S it reads Stop, c Action, t Test, x Clear, f Fill,
// w Use this window, W the window list, s Save, a Save as, p the applications.
std::string On(const ControlStates& s) {
    std::string on;
    const std::pair<bool, char> controls[] = {{s.learn, 'L'},  {s.learnAll, 'A'}, {s.learnAllReadsStop, 'S'},
                                               {s.action, 'c'}, {s.test, 't'},     {s.clear, 'x'},
                                               {s.fill, 'f'},   {s.useWindow, 'w'}, {s.windowList, 'W'}, {s.save, 's'},
                                               {s.saveAs, 'a'}, {s.applications, 'p'}};
    for (const auto& [flag, letter] : controls)
        if (flag) on += letter;
    return on;
}

TEST(SessionControls, View_OnlyWhatCanBeUsedNow) {
    const struct {
        const char* name;
        bool readOnly;
        std::vector<std::string> events;
        bool changed;  // a change made before the view
        bool catalog;  // the application's commands are known
        int selected;
        const char* expected;  // the controls on, by letter
    } cases[] = {
        {"Start_NothingToSaveNoCommands", false, {}, false, false, kVolUp, "LAcxwWap"},
        {"NoRowSelected_NoKeyButtons", false, {}, false, false, -1, "AwWap"},
        {"Changed_SaveOn", false, {}, true, false, kMute, "LAcxwWsap"},
        {"Learning_OnlySkipAndStop", false, {"learn 5"}, false, true, kVolUp, "LAS"},
        {"LearningNoRowSelected_SkipStillOn", false, {"learn 5"}, false, true, -1, "LAS"},
        // Also Fill on once the commands are known.
        {"LearningEnded_AllBack", false, {"learn 5", "skip"}, false, true, kVolUp, "LAcxfwWap"},
        {"ReadOnlyChanged_OnlySaveAs", true, {}, true, false, kVolUp, "cxwWap"},
        {"DriverHung_LearnOff", false, {"learn 5", "quiet", "running 5000"}, false, false, kPower, "cxwWap"},
    };
    for (const auto& c : cases) {
        RemoteSession session(StarterProfile("VOL+=20\r\n") + "[Client]\r\n", c.readOnly);
        if (c.catalog) {
            AppCatalog catalog;
            catalog.menus.push_back({});
            session.CommandsRead(catalog);
        }
        Play(session, c.events);
        if (c.changed) session.Profile().Set("KeyMap_Controler", "MUTE", "22");
        session.Recheck({}, kDriver);
        EXPECT_EQ(On(session.Controls(c.selected, false)), c.expected) << c.name;
    }
}

TEST(SessionApplication, AnotherApplication_ItsCommandsAndLaunchForgotten) {
    RemoteSession session(StarterProfile(), false);
    AppCatalog catalog;
    catalog.menus.push_back({});
    session.WindowTaken(catalog, false);
    EXPECT_TRUE(session.LaunchNotFound());
    EXPECT_FALSE(session.Catalog().Empty());
    session.ApplicationChanged();
    EXPECT_FALSE(session.LaunchNotFound());
    EXPECT_TRUE(session.Catalog().Empty());
}

// ---- The lines of the view after each event of the world ----

World Seen(bool clientOpen, bool monitorRuns = false) {
    World world;
    world.clientOpen = clientOpen;
    world.monitorRuns = monitorRuns;
    world.driver = kDriver;
    return world;
}

TEST(SessionView, Lines_FollowTheWorldAndAgree) {
    const std::string kStandin = "0_Item=STANDINTV\r\n0_Caption=Standin TV\r\n0_ClassName=StandinTVClass\r\n";
    const std::string kNoneYet = "none chosen yet: drag the crosshair onto its window, or choose it from the list";
    const std::string kReady = "Learning: QRD210DE.DLL ready. Select a key and press Learn.";
    const std::string kReadOnly = "Learning is off while the profile is read-only.";
    const ReceiverFault kNone = ReceiverFault::None;
    const struct {
        const char* name;
        std::string clientLines;  // the [Client] entries of slot 0
        bool readOnly;
        ReceiverFault fault;
        std::vector<std::string> events;  // driver-back, writable, read-only
        World world;
        std::string client;
        std::string receiver;
        bool learnOn;  // Learn on for a selected key: says the same as the receiver line
    } cases[] = {
        {"NoApplication_NoneChosenYet", "", false, kNone, {}, Seen(false), kNoneYet, kReady, true},
        {"ApplicationOpen_SaysSo", kStandin, false, kNone, {}, Seen(true), "Standin TV, its window is open now", kReady,
         true},
        {"ApplicationClosed_SaysSo", kStandin, false, kNone, {}, Seen(false), "Standin TV, its window is not found now",
         kReady, true},
        {"OwnersName_BeforeTheCaption", kStandin + "0_ExeDesc=My TV\r\n", false, kNone, {}, Seen(true),
         "My TV, its window is open now", kReady, true},
        {"MonitorRuns_ItHoldsTheReceiverLearnAsksToCloseIt", kStandin, false, kNone, {}, Seen(true, true),
         "Standin TV, its window is open now",
         "Learning: the monitor is using the remote now; Learn asks to close the monitor.", true},
        {"DriverMissing_LearnOff", "", false, ReceiverFault::DriverMissing, {}, Seen(false), kNoneYet,
         "Learning is off: the card driver QRD210DE.DLL is missing.", false},
        {"DriverBack_ReadyAndLearnOn", "", false, ReceiverFault::DriverMissing, {"driver-back"}, Seen(false), kNoneYet,
         kReady, true},
        {"DriverHungFileThere_StaysOff", "", false, ReceiverFault::DriverHung, {"driver-back"}, Seen(false), kNoneYet,
         "Learning is off: the card driver has not answered a read for 5 s.", false},
        {"ReadOnly_LearnOff", "", true, kNone, {}, Seen(false), kNoneYet, kReadOnly, false},
        {"MadeWritable_ReadyAndLearnOn", "", true, kNone, {"writable"}, Seen(false), kNoneYet, kReady, true},
        {"MadeReadOnly_LearnOff", "", false, kNone, {"read-only"}, Seen(false), kNoneYet, kReadOnly, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string text =
            "[Main]\r\n[Client]\r\nDefault=0\r\n" + c.clientLines + "[KeyMap_Controler]\r\nVOL+=20\r\n";
        RemoteSession session(text, c.readOnly);
        session.ReceiverFailed(c.fault);
        for (const std::string& event : c.events) {
            if (event == "driver-back") session.DriverBack();
            if (event == "writable") session.WritableNow(true);
            if (event == "read-only") session.WritableNow(false);
        }
        session.Recheck({}, kDriver);
        const qrtl::setup::SessionView shown = session.View(c.world);
        EXPECT_EQ(shown.client, c.client);
        EXPECT_EQ(shown.receiver, c.receiver);
        EXPECT_EQ(session.Controls(kVolUp, c.world.monitorRuns).learn, c.learnOn);
    }
}

// After Save, the monitor started again: "runs again" only once its window shows.
TEST(SessionMonitorStarted, RunsAgain_SaidOnlyOnceItShows) {
    const std::string kRunsAgain = "Saved. The monitor runs again.";
    const struct {
        const char* name;
        std::vector<std::pair<bool, uint32_t>> looks;  // shows, at ms after the start
        std::string said;                              // every non-empty words, joined by " | "
        bool awaited;                                  // still looked for afterwards
    } cases[] = {
        {"ShowsAfterAWhile_Said", {{false, 100}, {true, 300}}, kRunsAgain, false},
        {"NotYet_StillLookedFor", {{false, 100}, {false, 4999}}, "", true},
        {"NeverShows_NothingClaimed", {{false, 100}, {false, 5000}, {true, 5100}}, "", false},
        {"SaidOnce", {{true, 100}, {true, 200}}, kRunsAgain, false},
    };
    for (const auto& c : cases) {
        RemoteSession session(StarterProfile(), false);
        const uint32_t start = 4294967000u;  // the clock wraps meanwhile
        session.MonitorStarting("Saved.", start);
        std::string said;
        for (const auto& [shows, at] : c.looks) {
            const std::string words = session.MonitorLook(shows, start + at);
            if (!words.empty()) said += (said.empty() ? "" : " | ") + words;
        }
        EXPECT_EQ(said, c.said) << c.name;
        EXPECT_EQ(session.AwaitingMonitor(), c.awaited) << c.name;
    }
}

}  // namespace
}  // namespace qrtl::setup
