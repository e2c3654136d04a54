// The set-up window's ending and the monitor, decided by the model: Save (nothing
// to save, read-only, another writer's line, a failed write, the restart offered),
// Save as (to the monitor's file or elsewhere), Close's question and answers, the
// monitor closed to learn (asked once, another folder's, slow, closed meanwhile)
// and given back. Rows: events in, words and steps out.
#include "setup/SessionSave.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/RemoteSession.h"
#include "setup/StarterProfile.h"

namespace qrtl::setup {
namespace {

constexpr char kPath[] = "C:\\TV\\QRTLIRMoni.ini";
constexpr char kBackup[] = "C:\\TV\\QRTLIRMoni.ini.bak";
const SavedFile kFile{kPath, kPath, true};
const SavedFile kCopy{"D:\\copy.ini", kPath, false};
const std::string kOnACopy =
    std::string("This window works on D:\\copy.ini now. The monitor reads ") + kPath +
    ": copy this file there for it to use.";
const std::string kProfile = test::StarterProfile();

// ---- Save and Save as ----

struct WayCase {
    bool changed;
    bool writable;
    SaveWay way;
};

TEST(SaveWay, ChangesAndWriteAccess_NothingACopyOrTheFile) {
    const WayCase cases[] = {
        {false, true, SaveWay::NothingToSave},
        {false, false, SaveWay::NothingToSave},  // nothing to keep: no Save as asked
        {true, false, SaveWay::SaveAs},
        {true, true, SaveWay::Write},
    };
    for (const WayCase& c : cases)
        EXPECT_EQ(SaveWayFor(c.changed, c.writable), c.way) << c.changed << c.writable;
}

// The names alone: the folder is the one the window opened, and the line is one line.
const std::string kSaved = "Saved QRTLIRMoni.ini; the previous file is QRTLIRMoni.ini.bak.";
const std::string kTakeEffect = "The changes take effect when the monitor starts next.";
const SaveWords kDeclined = SavedWords(kFile, kBackup, ChangesTaken::Declined);
const SaveWords kNotStarted = SavedWords(kFile, kBackup, ChangesTaken::NotStarted);

TEST(SaveSaid, Words_TheBannerKeepsOnlyWhatLasts) {
    const struct {
        const char* name;
        SaveWords words;
        std::string alert;
        std::string live;
        std::string banner;
    } cases[] = {
        {"Saved_StatusLineOnly", SavedWords(kFile, kBackup, ChangesTaken::NotOffered), "", kSaved, ""},
        {"SavedRestartYes_StatusLineSaysItUsesThem", SavedWords(kFile, kBackup, ChangesTaken::Restarted), "",
         kSaved + " The monitor was restarted and uses the changes.", ""},
        {"SavedRestartNo_BannerKeepsTheOldProfileRuns", kDeclined, "", kSaved, kTakeEffect},
        {"SavedMonitorNotClosed_BannerKeepsIt", SavedWords(kFile, kBackup, ChangesTaken::NotClosed), "", kSaved,
         kTakeEffect},
        {"SavedMonitorNotStartedAgain_BannerSaysStartIt", kNotStarted, "", kSaved,
         "The monitor is closed now: start it to use the changes."},
        {"WriteFailed_AlertAndBanner", SaveFailedWords("the file is locked"),
         "Nothing was saved: the file is locked\n\nYour changes are still in this window.",
         "Not saved: your changes are still in this window.", "Not saved: the file is locked"},
        {"SavedAsTheMonitorsFile_NothingLasts", SavedAsWords(kFile), "",
         std::string("Saved as ") + kPath + "; this window works on that file now.", ""},
        {"SavedAsElsewhere_BannerSaysTheMonitorReadsAnother", SavedAsWords(kCopy), "", "Saved as D:\\copy.ini.",
         kOnACopy},
        {"SavedOnACopy_BannerStillSaysTheMonitorReadsAnother",
         SavedWords(kCopy, "D:\\copy.ini.bak", ChangesTaken::NotOffered), "",
         "Saved copy.ini; the previous file is copy.ini.bak.", kOnACopy},
        {"SaveAsFailed_AlertAndBanner", SaveAsFailedWords("D:\\copy.ini", "access denied"),
         "Not saved as D:\\copy.ini: access denied.\n\nYour changes are still in this window.",
         "Not saved: your changes are still in this window.", "Not saved as D:\\copy.ini: access denied."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.words.alert, c.alert) << c.name;
        EXPECT_EQ(c.words.live, c.live) << c.name;
        EXPECT_EQ(c.words.banner, c.banner) << c.name;
        // Said once: the banner repeats nothing of the status line below it.
        if (!c.words.banner.empty()) {
            EXPECT_EQ(c.words.live.find(c.words.banner), std::string::npos) << c.name;
        }
    }
}

// The banner's line of a save goes once it is no longer true; the next save replaces it.
struct HoldsCase {
    const char* name;
    SaveWords words;
    std::vector<bool> looks;  // a monitor runs at each look
    bool kept;
};

TEST(SaveSaidInTheBanner, Looks_TheLineGoesOnceUntrue) {
    const HoldsCase cases[] = {
        {"RestartNo_OldOneStillRuns_Kept", kDeclined, {true, true}, true},
        {"RestartNo_ClosedNotStartedYet_Kept", kDeclined, {true, false}, true},
        {"RestartNo_StartedAgain_Gone", kDeclined, {true, false, true}, false},
        {"NotClosed_EndedThenStarted_Gone", SavedWords(kFile, kBackup, ChangesTaken::NotClosed), {false, true},
         false},
        {"NotStartedAgain_NoneRuns_Kept", kNotStarted, {false, false}, true},
        {"NotStartedAgain_OneRuns_Gone", kNotStarted, {false, true}, false},
        {"Failed_KeptWhateverRuns", SaveFailedWords("locked"), {false, true, false}, true},
        {"OnACopy_KeptWhateverRuns", SavedAsWords(kCopy), {false, true}, true},
    };
    for (const HoldsCase& c : cases) {
        RemoteSession session(kProfile, false);
        session.SaveSaid(c.words.banner, c.words.holds);
        for (const bool runs : c.looks) session.MonitorSeen(runs);
        EXPECT_EQ(session.SaveBanner(), c.kept ? c.words.banner : "") << c.name;
    }
}

TEST(SaveSaidInTheBanner, NextSave_ReplacesTheLastOnesLine) {
    RemoteSession session(kProfile, false);
    session.SaveSaid(kDeclined.banner, kDeclined.holds);
    session.MonitorSeen(false);
    EXPECT_EQ(BannerText(session.Facts(false), "QRD210DE.DLL", session.SaveBanner()), kTakeEffect);
    const SaveWords restarted = SavedWords(kFile, kBackup, ChangesTaken::Restarted);
    session.SaveSaid(restarted.banner, restarted.holds);
    EXPECT_EQ(BannerText(session.Facts(false), "QRD210DE.DLL", session.SaveBanner()), "");
    // A new line after a save starts its own count: a monitor gone before it does not count.
    session.SaveSaid(kDeclined.banner, kDeclined.holds);
    session.MonitorSeen(true);
    EXPECT_EQ(session.SaveBanner(), kTakeEffect);
}

struct ConflictCase {
    const char* name;
    MergeConflict conflict;
    std::string line;  // the question's middle line
};

TEST(SaveConflict, Question_NamesTheLineTheirsAndYours) {
    const ConflictCase cases[] = {
        {"BothSet", {{"KeyMap_Controler", "VOL+", "20", ChangeKind::Set}, true, "21", 0},
         "[KeyMap_Controler] VOL+: now \"21\", yours \"20\""},
        {"TheyRemoved", {{"Client", "Default", "1", ChangeKind::Set}, false, "", 0},
         "[Client] Default: now removed, yours \"1\""},
        {"WeRemove", {{"Client", "0_Item", "", ChangeKind::RemoveKey}, true, "x.exe", 0},
         "[Client] 0_Item: now \"x.exe\", yours removed"},
        {"ASection", {{"KeyMap_Old", "", "", ChangeKind::RemoveSection}, true, "POWER=1", 0},
         "[KeyMap_Old]: now \"POWER=1\", yours removed"},
    };
    for (const ConflictCase& c : cases) {
        const std::string question = ConflictQuestion(c.conflict);
        EXPECT_NE(question.find("\n\n" + c.line + ".\n\n"), std::string::npos) << c.name << ": " << question;
        EXPECT_NE(question.find("No keeps the other program's value."), std::string::npos) << c.name;
    }
}

// ---- Close ----

struct CloseCase {
    const char* name;
    bool changed;
    bool writable;
    std::string question;
};

TEST(CloseAsks, Question_OnlyWithChanges_ACopyWhenReadOnly) {
    const std::string path = kPath;
    const CloseCase cases[] = {
        {"Unchanged_ClosesAtOnce", false, true, ""},
        {"UnchangedReadOnly_ClosesAtOnce", false, false, ""},
        {"Changed_SaveFirst", true, true, "Save the changes to " + path + " before closing?"},
        {"ChangedReadOnly_ACopy", true, false, path + " is read-only. Save your changes as a copy before closing?"},
    };
    for (const CloseCase& c : cases) EXPECT_EQ(CloseQuestion(c.changed, c.writable, kPath), c.question) << c.name;
}

// ---- The monitor ----

const SeenMonitor kHere{"C:\\TV\\QRTLIRMoni.exe", true};
const SeenMonitor kOther{"D:\\Old\\QRTLIRMoni.exe", false};
const SeenMonitor kUnknown{"", false};

const char kOtherRuns[] = "Another monitor runs: learning is not possible now.";

TEST(MonitorToLearn, Plan_OnlyThisFoldersAskedOnce) {
    const struct {
        const char* name;
        std::vector<SeenMonitor> running;
        bool agreedBefore;
        int monitor;  // closed
        bool asked;   // with a question first
        bool go;      // learning at once
        std::string live;
        std::string alertHas;
    } cases[] = {
        {"NoneRuns_LearnAtOnce", {}, false, -1, false, true, "", ""},
        {"ThisFolders_AskedFirst", {kHere}, false, 0, true, false, "", ""},
        {"ThisFoldersAgreedBefore_ClosedWithoutAsking", {kHere}, true, 0, false, false, "", ""},
        {"AnotherFolders_NamedNotClosed", {kOther}, false, -1, false, false, kOtherRuns, "D:\\Old\\QRTLIRMoni.exe"},
        {"AnotherBesideThisFolders_NotClosed", {kHere, kOther}, true, -1, false, false, kOtherRuns,
         "D:\\Old\\QRTLIRMoni.exe"},
        {"ProgramNotTold_AnotherMonitor", {kUnknown}, false, -1, false, false, kOtherRuns,
         "reads the receiver: another monitor."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MonitorToClose plan = CloseToLearn(c.running, c.agreedBefore);
        EXPECT_EQ(plan.monitor, c.monitor);
        EXPECT_EQ(!plan.step.question.empty(), c.asked) << plan.step.question;
        EXPECT_EQ(plan.step.go, c.go);
        EXPECT_EQ(plan.step.live, c.live);
        EXPECT_NE(plan.step.alert.find(c.alertHas), std::string::npos) << plan.step.alert;
        EXPECT_EQ(plan.step.alert.empty(), c.alertHas.empty());
    }
}

// The close to learn ends: whether learning starts, what is said, and whether the
// monitor is started again once learning is over.
TEST(MonitorClosedToLearn, Result_LearningAndTheRestart) {
    const char kStillRuns[] = "The monitor still runs: learning is not possible now.";
    const struct {
        const char* name;
        CloseResult result;
        bool windowClosedMeanwhile;
        bool go;
        std::string live;
        MonitorRestart afterwards;
    } cases[] = {
        {"Closed_LearningStarts", CloseResult::Closed, false, true, "", MonitorRestart::Start},
        {"ClosedWhileTheWindowClosed_NoLearningStillStarted", CloseResult::Closed, true, false, "",
         MonitorRestart::Start},
        {"SlowToClose_ToldStartedOnceItEnded", CloseResult::StillRunning, false, false, kStillRuns,
         MonitorRestart::Start},
        {"CommandNotTaken_ToldNothingToStart", CloseResult::NotTaken, false, false, kStillRuns, MonitorRestart::None},
        {"ProgramEnding_NothingSaid", CloseResult::Quit, false, false, "", MonitorRestart::Start},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RemoteSession session(kProfile, false);
        session.MonitorClosing(kHere.image);
        session.WaitBegins();
        if (c.windowClosedMeanwhile) session.CloseAskedWhileWaiting();
        const FlowStep step = session.MonitorCloseEnded(c.result, "it does not answer");
        EXPECT_EQ(step.go, c.go);
        EXPECT_EQ(step.live, c.live);
        EXPECT_EQ(step.alert.empty(), c.live.empty()) << step.alert;
        EXPECT_EQ(session.GiveBack(false, false), c.afterwards);
    }
}

struct RestartCase {
    const char* name;
    std::vector<SeenMonitor> running;
    bool closedToLearn;
    bool savedMonitorsFile;
    int offered;
};

TEST(MonitorAfterSave, Restart_OfferedForThisFoldersThatKeptRunning) {
    const RestartCase cases[] = {
        {"NoneRuns", {}, false, true, -1},
        {"ThisFolders", {kHere}, false, true, 0},
        {"AnotherFoldersOnly", {kOther}, false, true, -1},
        {"ThisFoldersAfterAnother", {kOther, kHere}, false, true, 1},
        {"ClosedToLearn_StartedAnywayNotAsked", {kHere}, true, true, -1},
        {"SavedACopy_ARestartWouldNotReadIt", {kHere}, false, false, -1},
    };
    for (const RestartCase& c : cases)
        EXPECT_EQ(MonitorToRestart(c.running, c.closedToLearn, c.savedMonitorsFile), c.offered) << c.name;
}

// Learn pressed while the monitor started again after learning is not up yet.
struct AskedCase {
    const char* name;
    bool awaiting;     // a monitor was started again and is looked for
    bool monitorRuns;  // its window is there
    bool go;
    bool pending;
};

TEST(LearnAsked, WhileTheMonitorStartsAgain_TheLearnWaitsForIt) {
    const AskedCase cases[] = {
        {"NothingStarted_LearnNow", false, false, true, false},
        {"StartedAndUp_LearnNowItIsClosed", true, true, true, false},
        {"StartedNotUpYet_Waits", true, false, false, true},
    };
    for (const AskedCase& c : cases) {
        RemoteSession session(kProfile, false);
        if (c.awaiting) session.MonitorStarting("", 0, false);
        const FlowStep step = session.LearnAsked(4, true, c.monitorRuns);
        EXPECT_EQ(step.go, c.go) << c.name;
        EXPECT_EQ(step.live, c.pending ? kLearnAfterMonitorStarts : "") << c.name;
        int index = -1;
        bool all = false;
        EXPECT_EQ(session.TakePendingLearn(index, all), c.pending) << c.name;
        if (c.pending) {
            EXPECT_EQ(index, 4);
            EXPECT_TRUE(all);
        }
    }
}

// Learning over: each answer of the give-back made a step (which answer is the
// session's table): the monitor started, the stuck read told, or nothing.
struct BackCase {
    const char* name;
    bool closed;
    bool stuck;
    bool runsNow;
    bool go;
    bool told;
};

TEST(MonitorBackStep, GiveBack_StartOrTellOrNothing) {
    const BackCase cases[] = {
        {"NoneClosed_Nothing", false, false, false, false, false},
        {"Closed_Started", true, false, false, true, false},
        {"ClosedReadStuck_Told", true, true, false, false, true},
    };
    for (const BackCase& c : cases) {
        RemoteSession session(kProfile, false);
        if (c.closed) session.MonitorClosing(kHere.image);
        const FlowStep step = session.MonitorBack(c.stuck, c.runsNow);
        EXPECT_EQ(step.go, c.go) << c.name;
        EXPECT_EQ(!step.alert.empty(), c.told) << c.name;
        EXPECT_EQ(!step.live.empty(), c.told) << c.name;
    }
}

}  // namespace
}  // namespace qrtl::setup
