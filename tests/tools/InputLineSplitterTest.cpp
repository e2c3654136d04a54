// learn's typed answers: whole lines without their line ends, a line kept only up to
// its limit and lines typed ahead only up to theirs, however the input arrives.
#include "tools/profile/InputLineSplitter.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace {

using profiletool::InputLineSplitter;

struct SplitCase {
    const char* name;
    std::vector<std::string> reads;   // what each read gave
    std::deque<std::string> lines;    // the whole lines, in order
    std::size_t pending;              // what waits for its line end
};

TEST(InputLineSplitter, Feed_ReadsOfAnySize_WholeLinesWithinTheLimits) {
    const std::string longLine(10 * 1024 * 1024, 'x');
    const SplitCase cases[] = {
        {"answers in one read", {"\r\nq\r\n"}, {"", "q"}, 0},
        {"a line split over reads", {"r", "\r", "\n"}, {"r"}, 0},
        {"plain line ends, a rest waiting", {"\nq\nab"}, {"", "q"}, 2},
        {"10 MB without a line end", {longLine, longLine}, {}, InputLineSplitter::kMaxLine},
        {"10 MB line, then an answer", {longLine, "\r\nq\r\n"}, {std::string(InputLineSplitter::kMaxLine, 'x'), "q"},
         0},
    };
    for (const SplitCase& c : cases) {
        InputLineSplitter splitter;
        std::deque<std::string> lines;
        for (const std::string& read : c.reads) splitter.Feed(read.data(), read.size(), lines);
        EXPECT_EQ(lines, c.lines) << c.name;
        EXPECT_EQ(splitter.Pending(), c.pending) << c.name;
    }
}

TEST(InputLineSplitter, Feed_MoreLinesThanWait_LaterOnesDropped) {
    const std::string flood(InputLineSplitter::kMaxWaiting * 3, '\n');
    InputLineSplitter splitter;
    std::deque<std::string> lines;
    splitter.Feed(flood.data(), flood.size(), lines);
    EXPECT_EQ(lines.size(), InputLineSplitter::kMaxWaiting);
    lines.clear();
    splitter.Feed("q\n", 2, lines);
    EXPECT_EQ(lines, std::deque<std::string>{"q"});
}

}  // namespace
