// The learn flow of both set-up tools over a scripted receiver: quiet sampling, a
// key held over several reads, a code again after release, silence, failed reads
// and a hung driver.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/PressDetector.h"

namespace {

using qrtl::setup::PressDetector;
using Event = PressDetector::Event;

constexpr int kNone = -1;   // a read without a code; a failed read looks the same
constexpr int kHang = -2;   // the read in progress has run the hang limit
constexpr int kSlow = -3;   // the read in progress has run just under it
constexpr int kSkip = -4;   // the owner skips the key being learned

// The hang limit as the owner is told it ("5 s"), written as numbers here so that
// a changed limit shows.
constexpr unsigned kHangMs = 5000;
constexpr unsigned kSlowMs = 4999;

// The quiet second before the first key: ten reads.
std::vector<int> Quiet(int code = kNone) { return std::vector<int>(qrtl::setup::kQuietSampleReads, code); }

std::vector<int> Join(std::vector<int> a, const std::vector<int>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Runs the script as a tool would: every press is learned for the key being
// learned, and the next key follows. The events in order, as "ready k0=7 hung".
// `answered` false: a question about each press stays open, so the key being
// learned stays and the reads go on meanwhile.
std::string Play(const std::vector<int>& keys, const std::vector<int>& script, PressDetector& detector,
                 bool answered = true) {
    detector.Start(keys);
    std::string log;
    const auto note = [&log](const std::string& word) { log += (log.empty() ? "" : " ") + word; };
    for (const int step : script) {
        Event event = Event::None;
        if (step == kHang || step == kSlow)
            event = detector.OnReadRunning(step == kHang ? kHangMs : kSlowMs);
        else if (step == kSkip) {
            note("k" + std::to_string(detector.Key()) + " skipped");
            if (!detector.Next(false)) note("end");
        } else
            event = detector.OnRead(step >= 0, step >= 0 ? static_cast<uint32_t>(step) : 0u);
        if (event == Event::Ready) note("ready");
        if (event == Event::Hung) note("hung");
        if (event == Event::Pressed) {
            note("k" + std::to_string(detector.Key()) + "=" + std::to_string(detector.Code()));
            if (answered && !detector.Next(true)) note("end");
        }
    }
    return log;
}

TEST(PressDetector, ScriptedReceiver_EachPressCountedOnce) {
    struct Case {
        const char* name;
        std::vector<int> keys;
        std::vector<int> script;
        const char* expected;
    };
    const std::vector<int> held(qrtl::setup::kReleaseWaitReads, 7);
    const std::vector<Case> cases = {
        {"silence", {0, 1}, Join(Quiet(), {kNone, kNone, kNone}), "ready"},
        {"a code held over several reads is one press", {0, 1}, Join(Quiet(), {7, 7, 7, 7}), "ready k0=7"},
        {"the next key is asked for at the release; the same code again is a press", {0, 1},
         Join(Quiet(), {7, 7, kNone, 7}), "ready k0=7 ready k1=7 end"},
        {"another code before the release counts as held", {0, 1}, Join(Quiet(), {7, 8, kNone, 9}),
         "ready k0=7 ready k1=9 end"},
        {"held past the release wait: asked anyway, the held code not taken", {0, 1},
         Join(Join(Quiet(), {7}), Join(held, {7, 7, kNone, 7})), "ready k0=7 ready k1=7 end"},
        {"a failed read releases like silence", {0, 1}, Join(Quiet(), {7, kNone, 7}), "ready k0=7 ready k1=7 end"},
        {"a press while listening is taken as the quiet receiver", {0}, Join(Quiet(40), {40, 40, 41}),
         "ready k0=41 end"},
        {"a quiet code releases the held key", {0, 1}, Join(Join({255}, Quiet()), {7, 255, 7}),
         "ready k0=7 ready k1=7 end"},
        {"a read just under the limit is slow, not hung", {0}, Join(Quiet(), {kSlow, 7}), "ready k0=7 end"},
        {"a hung read stops learning; later reads count for nothing", {0, 1},
         Join(Quiet(), {7, kHang, kNone, 8, kNone, 9, kHang}), "ready k0=7 hung"},
        {"a hang while listening stops as well", {0}, {kNone, kHang, 7}, "hung"},
        {"skips ask for the next key at once; the last one ends the run", {3, 4},
         Join(Quiet(), {kSkip, kSkip, 7}), "ready k3 skipped k4 skipped end"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PressDetector detector;
        EXPECT_EQ(Play(c.keys, c.script, detector), c.expected);
    }
}

TEST(PressDetector, QuestionOpen_HeldCodeTakenOnceUntilReleased) {
    struct Case {
        const char* name;
        std::vector<int> script;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"a held code is one press", Join(Quiet(), {7, 7, 7}), "ready k0=7"},
        {"a different code after the release is a new press, held once", Join(Quiet(), {7, 7, kNone, 8, 8, 8}),
         "ready k0=7 k0=8"},
        {"the same code after the release is a new press", Join(Quiet(), {7, kNone, 7, 7}), "ready k0=7 k0=7"},
        {"a different code without a release is another press", Join(Quiet(), {7, 8, 8}), "ready k0=7 k0=8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PressDetector detector;
        EXPECT_EQ(Play({0, 1}, c.script, detector, false), c.expected);
    }
}

TEST(PressDetector, RunDoneOrStopped_DoneKeysInOrderNothingAfterTheEnd) {
    PressDetector detector;
    Play({5, 6, 7}, Join(Quiet(), {20, kSkip}), detector);
    ASSERT_TRUE(detector.Active());
    EXPECT_EQ(detector.Key(), 7);
    EXPECT_TRUE(detector.LastKey());
    detector.Stop();
    EXPECT_FALSE(detector.Active());
    EXPECT_EQ(detector.Key(), -1);
    EXPECT_EQ(detector.OnRead(true, 30), Event::None);
    const auto& done = detector.DoneKeys();
    ASSERT_EQ(done.size(), 2u);
    EXPECT_EQ(done[0].key, 5);
    EXPECT_TRUE(done[0].learned);
    EXPECT_EQ(done[1].key, 6);
    EXPECT_FALSE(done[1].learned);

    // A new run forgets the last one's quiet codes and its held key.
    Play({1}, Join(Quiet(), {20}), detector);
    EXPECT_EQ(detector.DoneKeys().size(), 1u);
    EXPECT_TRUE(detector.Quiet().empty());
}

}  // namespace
