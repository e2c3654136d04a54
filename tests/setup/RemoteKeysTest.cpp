// The set-up window's keyboard and where its findings lead: each Alt letter once in
// every state, the first focus on what is still missing, a finding that names keys
// selecting the first of them; and the monitor closed to learn given back as soon
// as learning ends, closed again by a later Learn without a second question.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "config/QRTLIRSet.h"
#include "setup/PressDetector.h"
#include "setup/RemoteSession.h"
#include "setup/StarterProfile.h"

namespace qrtl::setup {
namespace {

constexpr char kDriver[] = "QRD210DE.DLL";
constexpr char kMonitor[] = "C:\\QRTL\\QRTLIRMoni.exe";

using test::StarterProfile;

// ---- Alt letters ----

TEST(WindowLetters, EveryState_EachControlHasALetterNoneRepeats) {
    for (const bool learning : {false, true}) {
        std::map<char, std::string> seen;
        for (const ControlCaption& c : Captions(learning)) {
            const char letter = AltLetter(c.caption);
            EXPECT_NE(letter, 0) << c.caption;
            const auto [at, fresh] = seen.emplace(letter, c.caption);
            EXPECT_TRUE(fresh) << "'" << letter << "' in \"" << c.caption << "\" and \"" << at->second
                               << "\", learning " << learning;
        }
    }
}

TEST(WindowLetters, Learning_LearnReadsSkipLearnAllStop_BackAfter) {
    struct Row {
        bool learning;
        Control control;
        const char* caption;
    };
    const Row rows[] = {{false, Control::Learn, "&Learn"},
                        {true, Control::Learn, "Ski&p"},
                        {false, Control::LearnAll, "Lea&rn all"},
                        {true, Control::LearnAll, "St&op"}};
    for (const Row& row : rows) {
        const std::vector<ControlCaption> captions = Captions(row.learning);
        const auto at = std::find_if(captions.begin(), captions.end(),
                                     [&](const ControlCaption& c) { return c.control == row.control; });
        ASSERT_NE(at, captions.end());
        EXPECT_STREQ(at->caption, row.caption) << "learning " << row.learning;
    }
}

TEST(WindowLetters, AltLetter_TheLetterAfterALoneAmpersand) {
    const std::pair<const char*, char> cases[] = {
        {"&Save", 's'}, {"Sa&ve as...", 'v'}, {"Fish && &Chips", 'c'}, {"Fish && Chips", 0}, {"End&", 0}, {"", 0}};
    for (const auto& [caption, letter] : cases) EXPECT_EQ(AltLetter(caption), letter) << caption;
}

// ---- The first focus ----

TEST(WindowFirstFocus, Start_OnTheFirstThingMissing) {
    const struct {
        const char* name;
        std::string client;
        FirstFocus expected;
    } cases[] = {
        {"NoApplication_WindowList", "", FirstFocus::WindowList},
        {"ProgramNamed_KeyList", "0_Item=STANDINTV\r\n", FirstFocus::KeyList},
        {"KindOfWindowOnly_KeyList", "0_ClassName=StandinTVClass\r\n", FirstFocus::KeyList},
        {"TitleOnly_KeyList", "0_Caption=Standin TV\r\n", FirstFocus::KeyList},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RemoteSession(StarterProfile("POWER=10\r\n", c.client), false).StartFocus(), c.expected) << c.name;
}

// ---- Where a finding leads ----

struct LeadCase {
    const char* name;
    std::string profile;
    FindingId kind;
    FindingGoal goal;
    const char* key;  // for Key
};

void PrintTo(const LeadCase& c, std::ostream* os) { *os << c.name; }

class FindingLeads : public ::testing::TestWithParam<LeadCase> {};

TEST_P(FindingLeads, DoubleClick_GoesWhereTheFindingIsAbout) {
    const LeadCase& c = GetParam();
    RemoteSession session(c.profile, false);
    session.Recheck({}, kDriver);
    const auto& rows = session.Findings();
    const auto row = std::find_if(rows.begin(), rows.end(), [&](const FindingRow& r) { return r.kind == c.kind; });
    ASSERT_NE(row, rows.end()) << FindingIdName(c.kind);
    const FindingLead lead = LeadOf(*row);
    EXPECT_EQ(lead.goal, c.goal) << row->text;
    if (c.goal == FindingGoal::Key) {
        ASSERT_GE(lead.key, 0) << row->text;
        EXPECT_STREQ(RemoteKeyNames[lead.key], c.key) << row->text;
    }
}

const std::string kTv = "0_Item=STANDINTV\r\n0_ClassName=StandinTVClass\r\n0_Control=1\r\n";

INSTANTIATE_TEST_SUITE_P(
    Table, FindingLeads,
    ::testing::Values(
        // "26 keys have no code yet: ZOOM, ...": the first of them, not the first key.
        LeadCase{"KeysWithoutCode_TheFirstOfThem", StarterProfile("POWER=10\r\n", kTv), FindingId::CodeUnlearned,
                 FindingGoal::Key, "ZOOM"},
        LeadCase{"KeysWithoutCodeFromTheMiddle_TheFirstOfThem",
                 StarterProfile("POWER=10\r\nZOOM=11\r\nSCAN=12\r\nTVFMSW=13\r\nSWITCH=14\r\n", kTv),
                 FindingId::CodeUnlearned, FindingGoal::Key, "VOL+"},
        LeadCase{"CodeNeverReceived_ThatKey", StarterProfile("POWER=10\r\nMUTE=5\r\n", kTv), FindingId::CodeFormat,
                 FindingGoal::Key, "MUTE"},
        LeadCase{"NoApplication_WindowList", StarterProfile("POWER=10\r\n"), FindingId::ClientMissing,
                 FindingGoal::WindowList, ""},
        LeadCase{"NoActions_Fill", StarterProfile("POWER=10\r\n", kTv), FindingId::ClientKeymap, FindingGoal::Fill,
                 ""},
        LeadCase{"PollingOff_Stays", "[Main]\r\nTimer=0\r\n[Client]\r\nDefault=0\r\n" + kTv +
                                         "[KeyMap_Controler]\r\nPOWER=10\r\n",
                 FindingId::Timer, FindingGoal::Stay, ""}));

TEST(FindingLeads, ReceiverFault_Stays) {
    RemoteSession session(StarterProfile("POWER=10\r\n", kTv), false);
    session.ReceiverFailed(ReceiverFault::DriverMissing);
    session.Recheck({}, kDriver);
    ASSERT_FALSE(session.Findings().empty());
    EXPECT_EQ(LeadOf(session.Findings().front()).goal, FindingGoal::Stay) << session.Findings().front().text;
}

// ---- The monitor given back when learning ends ----

// Learning of VOL+ until the step that ends it: `how` is "learned" (a code),
// "escape", "stop" (Learn all's Stop), "save" (Save stops it), or "monitor" (one
// started meanwhile).
SessionStep LearnUntilEnd(RemoteSession& session, const std::string& how) {
    session.ReadingStarted(5, how == "stop");
    for (int i = 0; i < kQuietSampleReads; ++i) session.Read(false, 0);
    if (how == "learned") return session.Read(true, 20);
    if (how == "escape") return session.Skip();
    if (how == "stop") return session.Stop("Learning stopped.");
    if (how == "save") return session.Stop("", false);
    return session.MonitorStarted();
}

TEST(MonitorBack, LearningEnds_TheMonitorClosedStartsAtOnce) {
    const struct {
        const char* name;
        bool closed;            // the window closed the monitor to learn
        const char* how;        // how learning ended
        bool back;              // the monitor is started again at once
        MonitorRestart atSave;  // what Save, Save as or Close do with it afterwards
    } cases[] = {
        {"KeyLearned_Started", true, "learned", true, MonitorRestart::None},
        {"Escape_Started", true, "escape", true, MonitorRestart::None},
        {"LearnAllStopped_Started", true, "stop", true, MonitorRestart::None},
        {"NoneClosed_NoneStarted", false, "learned", false, MonitorRestart::None},
        // Save starts it itself, after writing: it reads the saved profile.
        {"SaveStopsLearning_LeftToSave", true, "save", false, MonitorRestart::Start},
        {"OneStartedMeanwhile_NeverASecond", true, "monitor", false, MonitorRestart::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RemoteSession session(StarterProfile(), false);
        if (c.closed) session.MonitorClosing(kMonitor);
        const SessionStep ended = LearnUntilEnd(session, c.how);
        ASSERT_TRUE(ended.learningEnded);
        EXPECT_EQ(ended.monitorBack, c.back);
        // The window starts it through GiveBack, once: Save finds nothing more to start.
        if (ended.monitorBack) {
            EXPECT_EQ(session.GiveBack(false, false), MonitorRestart::Start);
        }
        EXPECT_EQ(session.GiveBack(false, false), c.atSave);
    }
}

TEST(MonitorBack, LaterLearn_ClosesItAgainWithoutAsking) {
    RemoteSession session(StarterProfile(), false);
    EXPECT_FALSE(session.MonitorCloseAgreed());
    session.MonitorClosing(kMonitor);
    ASSERT_TRUE(LearnUntilEnd(session, "learned").monitorBack);
    ASSERT_EQ(session.GiveBack(false, false), MonitorRestart::Start);
    EXPECT_TRUE(session.MonitorCloseAgreed());
    // Closed again for the next learn: started again when that one ends.
    session.MonitorClosing(kMonitor);
    EXPECT_TRUE(LearnUntilEnd(session, "escape").monitorBack);
}

TEST(MonitorBack, LearnWhileItStarts_WaitsForItOnce) {
    RemoteSession session(StarterProfile(), false);
    session.MonitorStarting("Received 20 \xE2\x86\x92 VOL+", 1000, false);
    session.LearnOnceMonitorShows(9, false);
    EXPECT_FALSE(session.StartedForSave());
    EXPECT_EQ(session.MonitorLook(true, 1300), "Received 20 \xE2\x86\x92 VOL+. The monitor runs again.");
    int index = -1;
    bool all = true;
    ASSERT_TRUE(session.TakePendingLearn(index, all));
    EXPECT_EQ(index, 9);
    EXPECT_FALSE(all);
    EXPECT_FALSE(session.TakePendingLearn(index, all));
}

TEST(MonitorBack, SaveRestartsItMeanwhile_TheWaitingLearnIsDropped) {
    RemoteSession session(StarterProfile(), false);
    session.MonitorStarting("Received 20 \xE2\x86\x92 VOL+", 1000, false);
    session.LearnOnceMonitorShows(9, true);
    session.MonitorStarting("Saved.", 1200);
    EXPECT_TRUE(session.StartedForSave());
    EXPECT_EQ(session.MonitorLook(true, 1300), "Saved. The monitor runs again.");
    int index = -1;
    bool all = false;
    EXPECT_FALSE(session.TakePendingLearn(index, all));
}

}  // namespace
}  // namespace qrtl::setup
