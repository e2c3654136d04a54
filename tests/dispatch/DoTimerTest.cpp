#include "dispatch/DispatchFixture.h"

namespace {

TEST_F(DispatchTest, DoTimer_ClientFoundMappedCode_ExactTraceSequenceAndDelivery) {
    const auto hWnd = AddClient();
    set.m_nControl = 1;
    set.m_mapClient["VOL+"] = "#8001";
    platform.card.codes = {12};
    Tick();

    const std::vector<std::string> search = {
        "100 MYTV @ QRTLIRSet @ 390",
        "101 TVWnd, My TV, 00010010 @ QRTLIRSet @ 342",
        "100 m_hWndClient : 00010010 @ QRTLIRSet @ 396",
        "100 FoundAtProcessName : MYTV.EXE, MYTV.EXE @ QRTLIRSet @ 44",
        "100 Target Window : My TV @ QRTLIRSet @ 411",
    };
    std::vector<std::string> expected = {"101 DoTimer : Byte : 0, bFake : 0 @ QRTLIRSet @ 466"};
    expected.insert(expected.end(), search.begin(), search.end());
    expected.push_back("401 IRCODE : 12 @ QRTLIRSet @ 485");
    expected.push_back("401 Lookup Result : 12, VOL+ @ QRTLIRSet @ 488");
    expected.insert(expected.end(), search.begin(), search.end());
    expected.push_back("101 LookUpKey : #8001 @ QRTLIRSet @ 301");
    expected.push_back("101 KEY : 8001 @ QRTLIRSet @ 310");
    EXPECT_EQ(Lines(), expected);

    EXPECT_EQ(platform.card.addresses, (std::vector<std::pair<int32_t, int32_t>>{{0x64, 0}}));
    ASSERT_EQ(platform.desktop.posted.size(), 1u);
    EXPECT_EQ(platform.desktop.posted[0].hWnd, hWnd);
    EXPECT_EQ(history.items, std::vector<std::string>{"12#8001"});
    EXPECT_EQ(history.selected, 0);
    EXPECT_EQ(g_bInDoTimer, 0);
}

TEST_F(DispatchTest, DoTimer_NestedCallDuringRead_ReturnsWithoutTraceOrRead) {
    platform.card.codes = {12};
    std::size_t linesBefore = 0, linesAfter = 0;
    platform.card.onRead = [&] {
        linesBefore = transport.lines.size();
        set.DoTimer(&history, "12", 1);
        linesAfter = transport.lines.size();
    };
    Tick();
    EXPECT_EQ(platform.card.reads, 1);
    EXPECT_EQ(linesAfter, linesBefore);
    EXPECT_EQ(history.items, std::vector<std::string>{"12 NoClientFound!"});
    EXPECT_EQ(g_bInDoTimer, 0);
}

TEST_F(DispatchTest, DoTimer_ClientFoundControlOff_NoReadNoDispatch) {
    AddClient();
    platform.card.codes = {12};
    Tick();
    Tick("12", 1);  // a typed code is ignored as well
    EXPECT_EQ(platform.card.reads, 0);
    EXPECT_FALSE(Traced(485));
    EXPECT_EQ(transport.lines.size(), 2u * 6u);  // the 466 line and the five lines of the search
    EXPECT_TRUE(history.items.empty());
    EXPECT_TRUE(platform.desktop.posted.empty());
}

TEST_F(DispatchTest, DoTimer_CodeText_ByteZeroPaddedTypedTextUnchanged) {
    struct Case { uint32_t byte; const char* typed; const char* code; };
    const Case cases[] = {
        {5, nullptr, "05"}, {255, nullptr, "255"}, {0x1234, nullptr, "52"}, {0, nullptr, "00"},
        {0, "5", "5"}, {0, " 12", " 12"},
    };
    for (const Case& c : cases) {
        transport.lines.clear();
        platform.card.codes = {c.byte};
        if (c.typed) Tick(c.typed, 1); else Tick();
        EXPECT_TRUE(Traced(485));
        EXPECT_EQ(Lines()[5], std::string("401 IRCODE : ") + c.code + " @ QRTLIRSet @ 485");
    }
    EXPECT_EQ(platform.card.reads, 4);  // typed codes never read the receiver
    // Only "05" is mapped: the byte 5 reaches LookUpKey, nothing else does.
    EXPECT_EQ(history.items, std::vector<std::string>{"05 NoClientFound!"});
}

TEST_F(DispatchTest, DoTimer_UnmappedOrAbsentCode_ChangesNothingButTrace) {
    AddClient();
    set.m_nControl = 1;
    platform.card.codes = {99};
    Tick();
    EXPECT_TRUE(Traced(485));
    EXPECT_FALSE(Traced(488));

    transport.lines.clear();
    Tick();  // the read leaves the preset untouched: no code at all
    EXPECT_EQ(platform.card.reads, 2);
    EXPECT_FALSE(Traced(485));
    EXPECT_TRUE(history.items.empty());
    EXPECT_TRUE(platform.desktop.posted.empty());
    EXPECT_EQ(platform.prompt.shows, 0);
}

TEST_F(DispatchTest, DoTimer_NoClientMappedKey_NoClientFoundOnTop) {
    history.items = {"older"};
    platform.card.codes = {12};
    Tick();
    EXPECT_EQ(history.items, (std::vector<std::string>{"12 NoClientFound!", "older"}));
    EXPECT_EQ(history.selected, 0);
    EXPECT_TRUE(platform.desktop.posted.empty());

    platform.card.codes = {12};
    set.DoTimer(nullptr, "0", 0);  // no history list: the line is dropped, nothing breaks
    EXPECT_EQ(history.items.size(), 2u);
}

TEST_F(DispatchTest, DoTimer_PowerWithClientAndControlOn_DeliveredWithoutPrompt) {
    AddClient();
    set.m_nControl = 1;
    platform.card.codes = {10};
    Tick();
    EXPECT_EQ(platform.prompt.shows, 0);
    ASSERT_EQ(platform.desktop.posted.size(), 1u);
    EXPECT_EQ(platform.desktop.posted[0].msg, kWmCommand);
    EXPECT_EQ(history.items, std::vector<std::string>{"10#8001"});
}

}  // namespace
