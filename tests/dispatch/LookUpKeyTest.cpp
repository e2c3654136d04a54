#include <cctype>
#include <optional>
#include <ostream>

#include "dispatch/DispatchFixture.h"

namespace {

struct CommandCase {
    const char* command;
    std::optional<uint32_t> msg;  // nothing posted when empty
    uint32_t wParam;
    const char* keyTrace;  // the "KEY : %02X" text, or null when not traced
    const char* history;
};

const CommandCase kCommandCases[] = {
    {"#8001", kWmCommand, 0x00018001, "8001", "12#8001"},
    {"*26", kWmKeyDown, 0x26, "26", "12*26"},
    {"#23456", kWmCommand, 0x00013456, "23456", "12#23456"},
    {"*1FF", kWmKeyDown, 0xFF, "1FF", "12*1FF"},
    {"#0x1A", kWmCommand, 0x0001001A, "1A", "12#0x1A"},
    {"#zz", kWmCommand, 0x00010000, "00", "12#zz"},
    {"#-1", kWmCommand, 0x0001FFFF, "FFFFFFFF", "12#-1"},
    {"# +1ag", kWmCommand, 0x0001001A, "1A", "12# +1ag"},
    {"#80000000", kWmCommand, 0x0001FFFF, "7FFFFFFF", "12#80000000"},
    {"*-80000001", kWmKeyDown, 0x00, "80000000", "12*-80000001"},
    {"#5", std::nullopt, 0, nullptr, "#5"},
    {"", std::nullopt, 0, nullptr, ""},
    {"X123", std::nullopt, 0, "123", "12X123"},
};

// Short names in test listings: the command text itself.
void PrintTo(const CommandCase& c, std::ostream* os) { *os << "[" << c.command << "]"; }

class CommandTextTest : public DispatchTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(CommandTextTest, LookUpKey_CommandText_PostsTracesAndReturnsHistory) {
    const CommandCase& c = GetParam();
    const auto hWnd = AddClient();
    set.m_mapClient["VOL+"] = c.command;

    EXPECT_EQ(set.LookUpKey("12"), c.history);

    const auto& posted = platform.desktop.posted;
    if (c.msg) {
        ASSERT_EQ(posted.size(), 1u);
        EXPECT_EQ(posted[0].hWnd, hWnd);
        EXPECT_EQ(posted[0].msg, *c.msg);
        EXPECT_EQ(posted[0].wParam, c.wParam);
        EXPECT_EQ(posted[0].lParam, 0);
    } else {
        EXPECT_TRUE(posted.empty());
    }
    const auto lines = Lines();
    EXPECT_EQ(lines[lines.size() - (c.keyTrace ? 2 : 1)],
              std::string("101 LookUpKey : ") + c.command + " @ QRTLIRSet @ 301");
    if (c.keyTrace)
        EXPECT_EQ(lines.back(), std::string("101 KEY : ") + c.keyTrace + " @ QRTLIRSet @ 310");
    else
        EXPECT_FALSE(Traced(310));
}

INSTANTIATE_TEST_SUITE_P(Table, CommandTextTest, ::testing::ValuesIn(kCommandCases),
                         [](const ::testing::TestParamInfo<CommandCase>& info) {
                             std::string name = "Case" + std::to_string(info.index) + "_";
                             for (const char* p = info.param.command; *p; ++p)
                                 if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
                             return name;
                         });

TEST_F(DispatchTest, LookUpKey_MissingMapEntry_ReturnsBareCodeWithoutPostOrTrace) {
    AddClient();
    set.m_mapClient.erase("VOL+");
    EXPECT_EQ(set.LookUpKey("12"), "12");
    EXPECT_EQ(set.LookUpKey("99"), "99");
    EXPECT_TRUE(platform.desktop.posted.empty());
    EXPECT_FALSE(Traced(301));

    std::string command = "stale";
    EXPECT_FALSE(set.GetClientCommand("99", command));
    EXPECT_EQ(command, "99");
    EXPECT_TRUE(set.GetClientCommand("10", command));
    EXPECT_EQ(command, "#8001");
}

TEST_F(DispatchTest, LookUpKey_PostRefused_ErrorLineAfterKeyLineHistoryUnchanged) {
    AddClient();
    for (const char* command : {"#8001", "*26"}) {
        SCOPED_TRACE(command);
        set.m_mapClient["VOL+"] = command;
        platform.desktop.postError = 5;  // a client run as administrator
        EXPECT_EQ(set.LookUpKey("12"), std::string("12") + command);
        const auto lines = Lines();
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines[lines.size() - 2].rfind("101 KEY : ", 0), 0u);
        EXPECT_EQ(lines.back(), "101 PostMessage Failed : 5 @ QRTLIRSet @ 311");

        platform.desktop.postError = 0;
        set.LookUpKey("12");
        EXPECT_EQ(Lines().back().rfind("101 KEY : ", 0), 0u);
    }
}

TEST_F(DispatchTest, LookUpKey_NoClientWindow_ReturnsNoClientFoundWithoutPost) {
    EXPECT_EQ(set.LookUpKey("12"), "12 NoClientFound!");
    EXPECT_TRUE(platform.desktop.posted.empty());
    EXPECT_FALSE(Traced(301));
}

}  // namespace
