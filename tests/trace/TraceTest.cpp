#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "fakes/Fakes.h"
#include "trace/Trace.h"

namespace {

class TraceTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetTraceTransport(&transport);
        g_bTraceEnabled = 1;
    }
    void TearDown() override {
        SetTraceTransport(nullptr);
        g_bTraceEnabled = 1;
    }
    fakes::RecordingTransport transport;
};

TEST_F(TraceTest, TraceOut_LookUpKeyLine_DeliversExactZeroFilledBlock) {
    TraceOut(101, "QRTLIRSet", 301, "LookUpKey : %s", "#8001");
    ASSERT_EQ(transport.lines.size(), 1u);
    const auto& line = transport.lines[0];
    EXPECT_EQ(line.level, 101);
    ASSERT_EQ(line.block.size(), 1024u);
    const std::string expected = "LookUpKey : #8001 @ QRTLIRSet @ 301";
    EXPECT_EQ(line.block.compare(0, expected.size() + 1, expected.c_str(), expected.size() + 1), 0);
    for (std::size_t i = expected.size(); i < line.block.size(); ++i)
        ASSERT_EQ(line.block[i], '\0') << "byte " << i;
}

TEST_F(TraceTest, TraceOut_LevelAndNegativeLine_PassThroughUnchanged) {
    TraceOut(401, "QRTLIRSet", 485, "IRCODE : %s", "05");
    TraceOut(-7, "F", -3, "x");
    ASSERT_EQ(transport.lines.size(), 2u);
    EXPECT_EQ(transport.lines[0].level, 401);
    EXPECT_EQ(transport.lines[0].text, "IRCODE : 05 @ QRTLIRSet @ 485");
    EXPECT_EQ(transport.lines[1].level, -7);
    EXPECT_EQ(transport.lines[1].text, "x @ F @ -3");
}

TEST_F(TraceTest, TraceOut_EmptyNullOrOversizeMessage_DroppedWhole) {
    TraceOut(101, "QRTLIRSet", 1, "%s", "");
    TraceOut(101, "QRTLIRSet", 1, nullptr);
    const std::string fits(511, 'a');
    const std::string tooLong(512, 'b');
    TraceOut(101, "QRTLIRSet", 1, "%s", tooLong.c_str());
    EXPECT_TRUE(transport.lines.empty());

    // 511 characters fit the message half, but the composed line does not fit its half.
    TraceOut(101, "QRTLIRSet", 1, "%s", fits.c_str());
    EXPECT_TRUE(transport.lines.empty());

    const std::string longest(512 - 1 - std::strlen(" @ QRTLIRSet @ 1"), 'c');
    TraceOut(101, "QRTLIRSet", 1, "%s", longest.c_str());
    ASSERT_EQ(transport.lines.size(), 1u);
    EXPECT_EQ(transport.lines[0].text.size(), 511u);
}

TEST_F(TraceTest, TraceOut_SwitchOff_SendsNothing) {
    g_bTraceEnabled = 0;
    TraceOut(101, "QRTLIRSet", 1, "text");
    EXPECT_TRUE(transport.lines.empty());
}

TEST_F(TraceTest, TraceBox_SnapshotFailure_ShowsTextWithLineFeedEvenWhenSwitchOff) {
    g_bTraceEnabled = 0;
    TraceBox("CreateTooHelp32Snapshot failed !!");
    ASSERT_EQ(transport.boxes.size(), 1u);
    EXPECT_EQ(transport.boxes[0], "CreateTooHelp32Snapshot failed !!\n");
    EXPECT_TRUE(transport.lines.empty());
}

TEST_F(TraceTest, TraceBox_EmptyOrTooLongForLineFeed_ShowsNothing) {
    TraceBox("%s", "");
    TraceBox("%s", std::string(510, 'x').c_str());  // 510 + line feed + zero = 512: fits
    TraceBox("%s", std::string(511, 'x').c_str());  // no room for the line feed
    ASSERT_EQ(transport.boxes.size(), 1u);
    EXPECT_EQ(transport.boxes[0].size(), 511u);
}

}  // namespace

TEST(EscapeControlTextTest, ControlBytes_EscapedTabAndPrintableKept) {
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        {"KEY : 8001 @ QRTLIRSet @ 310", "KEY : 8001 @ QRTLIRSet @ 310"},
        {"a\r\nIRCODE : 20 @ QRTLIRSet @ 485", "a\\r\\nIRCODE : 20 @ QRTLIRSet @ 485"},
        {"\x1b[2J\x1b]0;x\x07", "\\x1b[2J\\x1b]0;x\\x07"},
        {std::string("\x01\x08\x0b\x0c\x1f", 5), "\\x01\\x08\\x0b\\x0c\\x1f"},
        {"col\tcol C:\\Apps \xe4\x7f", "col\tcol C:\\Apps \xe4\x7f"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(EscapeControlText(c.in), c.out) << c.out;
}

// Three seconds of ticks every 100 ms, five lines each, to a viewer answering each
// line after `answerMs`: the sends of one second stop once the slower ones took 100 ms.
TEST_F(TraceTest, TraceOut_ViewerAnswersLate_SendsOfOneSecondTakeAtMostTheirBudget) {
    const struct {
        uint32_t answerMs;
        std::size_t delivered;
    } cases[] = {
        {0, 150},   // answered at once: every line
        {4, 150},   // a viewer keeping up on a busy system: every line
        {19, 48},   // just under the quick limit: the free allowance runs out
        {20, 45},
        {25, 12},   // four lines a second
        {100, 3},   // one a second
        {190, 3},   // just under the slow limit: one a second, not 2-3 s per tick
        {450, 1},   // slow: quiet for five seconds
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answerMs);
        SetTraceTransport(&transport);
        transport.lines.clear();
        transport.nowMs = 0;
        transport.answerMs = c.answerMs;
        uint32_t busiestTickMs = 0;
        for (uint32_t tick = 0; tick < 3000; tick += 100) {
            // A tick that overran starts late.
            if (transport.nowMs < tick) transport.nowMs = tick;
            const uint32_t start = transport.nowMs;
            for (int i = 0; i < 5; ++i) TraceOut(kTraceFlow, "QRTLIRSet", 1, "DoTimer : %d", i);
            busiestTickMs = std::max(busiestTickMs, transport.nowMs - start);
        }
        EXPECT_EQ(transport.lines.size(), c.delivered);
        EXPECT_LE(busiestTickMs, std::max<uint32_t>(c.answerMs, kTraceBudgetMs));
    }
}

// Poll ticks every `tickMs` for `seconds`, `linesPerTick` lines each, to a viewer
// answering each line after `answerMs`: the lines delivered, and the most time that
// the sends of one second of ticks took together.
namespace {

struct ViewerRun {
    std::size_t delivered = 0;
    uint32_t busiestSecondMs = 0;
};

ViewerRun RunTicks(fakes::RecordingTransport& transport, uint32_t answerMs, int linesPerTick,
                   uint32_t tickMs, uint32_t seconds) {
    SetTraceTransport(&transport);
    transport.lines.clear();
    transport.nowMs = 0;
    transport.answerMs = answerMs;
    ViewerRun run;
    uint32_t secondFrom = 0;
    uint32_t secondMs = 0;
    for (uint32_t tick = 0; tick < seconds * 1000; tick += tickMs) {
        if (transport.nowMs < tick) transport.nowMs = tick;  // a tick that overran starts late
        if (transport.nowMs - secondFrom >= 1000) {
            secondFrom = transport.nowMs;
            secondMs = 0;
        }
        const uint32_t start = transport.nowMs;
        for (int i = 0; i < linesPerTick; ++i) TraceOut(kTraceFlow, "QRTLIRSet", 1, "DoTimer : %d", i);
        secondMs += transport.nowMs - start;
        run.busiestSecondMs = std::max(run.busiestSecondMs, secondMs);
    }
    run.delivered = transport.lines.size();
    return run;
}

}  // namespace

// A viewer that keeps up sees every line, at the busiest tick rate and line count.
TEST_F(TraceTest, TraceOut_ViewerKeepsUp_EveryLineDelivered) {
    const struct {
        uint32_t answerMs;
        int linesPerTick;
        uint32_t tickMs;
    } cases[] = {
        {1, 17, 100},   // 170 lines a second, each taking a millisecond
        {4, 5, 100},    // a busy system
        {5, 17, 500},   // the sample profile's poll
        {19, 11, 3000}, // the default poll: one tick's lines fit the allowance and the budget
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.answerMs << " ms, " << c.linesPerTick << " lines every "
                                          << c.tickMs << " ms");
        const ViewerRun run = RunTicks(transport, c.answerMs, c.linesPerTick, c.tickMs, 6);
        EXPECT_EQ(run.delivered, static_cast<std::size_t>(c.linesPerTick) * (6000 / c.tickMs));
    }
}

// A viewer answering each line just under the quick limit is held to the free
// allowance plus the budget, whatever the number of lines.
TEST_F(TraceTest, TraceOut_ViewerAnswersJustUnderQuickLimit_SecondCostsAtMostAllowanceAndBudget) {
    const struct {
        uint32_t answerMs;
        int linesPerTick;
    } cases[] = {{19, 17}, {19, 11}, {20, 5}, {10, 17}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.answerMs << " ms, " << c.linesPerTick << " lines");
        const ViewerRun run = RunTicks(transport, c.answerMs, c.linesPerTick, 100, 5);
        EXPECT_LE(run.busiestSecondMs, kTraceFreeMs + kTraceBudgetMs + c.answerMs);
        EXPECT_GT(run.delivered, 0u);
        if (c.answerMs == 19 && c.linesPerTick == 17)
            std::printf("viewer answering in 19 ms, 17 lines per 100 ms tick: at most %u ms of sends "
                        "a second, %zu of 850 lines in 5 s\n",
                        static_cast<unsigned>(run.busiestSecondMs), run.delivered);
    }
}

TEST(TraceThrottleTest, SlowOrTimedOutSend_QuietFiveSecondsThenOneTry) {
    const struct {
        uint32_t start, end;
        bool timedOut, quiet;
    } cases[] = {
        {1000, 1200, false, false},  // answered in 200 ms
        {1000, 1201, false, true},
        {1000, 1000, true, true},  // timed out (or hung) at once
        {0xFFFFFF00u, 0x00000100u, false, true},  // across the tick wrap
    };
    for (const auto& c : cases) {
        TraceThrottle throttle;
        throttle.Sent(c.start, c.end, c.timedOut);
        EXPECT_EQ(throttle.MaySend(c.end + 4999), !c.quiet) << c.end;
        EXPECT_TRUE(throttle.MaySend(c.end + 5000)) << c.end;
        throttle.Sent(c.end + 5000, c.end + 5010, false);  // the retry answered in time
        EXPECT_TRUE(throttle.MaySend(c.end + 5011)) << c.end;
    }
}
