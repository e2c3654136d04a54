#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "config/QRTLIRSet.h"
#include "fakes/Fakes.h"

namespace {

constexpr const char kIni[] = "C:\\Apps\\QRTLIRMoni.INI";

class LoadProfileTest : public ::testing::Test {
protected:
    void SetUp() override { set.SetServices(fake.Services()); }
    void Client(const std::string& key, const std::string& value) {
        fake.profile.Set(kIni, "Client", key, value);
    }
    bool WasRead(const std::string& entry) const {
        const auto& r = fake.profile.reads;
        return std::find(r.begin(), r.end(), entry) != r.end();
    }
    fakes::FakePlatform fake;
    CQRTLIRSet set;
};

TEST_F(LoadProfileTest, LoadProfile_NoFile_EveryDefault) {
    set.LoadProfile();
    EXPECT_EQ(set.m_strIniPath, kIni);
    EXPECT_EQ(set.m_nDefaultClient, 0);
    EXPECT_EQ(set.m_strItem, "");
    EXPECT_EQ(set.m_strCaption, "");
    EXPECT_EQ(set.m_strClassName, "");
    EXPECT_EQ(set.m_nChild0, 0);
    EXPECT_EQ(set.m_nChild1, 0);
    EXPECT_EQ(set.m_nChild2, 0);
    EXPECT_EQ(set.m_nControl, 0);
    EXPECT_EQ(set.m_nTimer, 3000);
    EXPECT_EQ(set.m_bShowMainWindow, 0);
    EXPECT_EQ(set.m_astrExeDesc, (std::vector<std::string>{"", "", ""}));
    EXPECT_EQ(set.m_hWndClient, qrtl::kNoWindow);
    // Every name lacks a code: the last one, BTN100, holds the empty key.
    ASSERT_EQ(set.m_mapController.size(), 1u);
    EXPECT_EQ(set.m_mapController.at(""), "BTN100");
    EXPECT_EQ(set.m_mapClient.size(), 27u);
    EXPECT_EQ(set.m_bWin9x, 0);
}

TEST_F(LoadProfileTest, LoadProfile_FullClientTwo_ReadsKeysOfTwoAndFixedDescriptions) {
    Client("Default", "2");
    Client("2_Item", "MYTV");
    Client("2_Caption", "My TV");
    Client("2_ClassName", "TvWnd");
    Client("2_Child0", "1001");
    Client("2_Child1", "1002");
    Client("2_Child2", "-3");
    Client("2_Control", "1");
    Client("0_Item", "WRONG");
    Client("0_ExeDesc", "Zero");
    Client("1_ExeDesc", "One");
    Client("2_ExeDesc", "Two");
    fake.profile.Set(kIni, "Main", "ShowMainWindow", "1");
    fake.profile.Set(kIni, "Main", "Timer", "500");
    fake.profile.Set(kIni, "KeyMap_MYTV", "VOL+", "#8001");
    set.LoadProfile();

    EXPECT_EQ(set.m_nDefaultClient, 2);
    EXPECT_EQ(set.m_strItem, "MYTV");
    EXPECT_EQ(set.m_strCaption, "My TV");
    EXPECT_EQ(set.m_strClassName, "TvWnd");
    EXPECT_EQ(set.m_nChild0, 1001);
    EXPECT_EQ(set.m_nChild1, 1002);
    EXPECT_EQ(set.m_nChild2, -3);
    EXPECT_EQ(set.m_nControl, 1);
    EXPECT_EQ(set.m_astrExeDesc, (std::vector<std::string>{"Zero", "One", "Two"}));
    EXPECT_EQ(set.m_bShowMainWindow, 1);
    EXPECT_EQ(set.m_nTimer, 500);
    EXPECT_EQ(set.m_mapClient.at("VOL+"), "#8001");
}

TEST_F(LoadProfileTest, LoadProfile_ReadOrder_FollowsTheTenSteps) {
    Client("Default", "2");
    Client("2_Item", "MYTV");
    set.LoadProfile();
    const std::vector<std::string> head = {
        "Client/Default",   "Client/2_Item",      "Client/2_Caption",    "Client/2_ClassName",
        "Client/2_Child0",  "Client/2_Child1",    "Client/2_Child2",     "Client/2_Control",
        "Client/0_ExeDesc", "Client/1_ExeDesc",   "Client/2_ExeDesc",    "Main/ShowMainWindow",
        "Main/Timer",       "KeyMap_Controler/POWER"};
    const auto& reads = fake.profile.reads;
    ASSERT_EQ(reads.size(), head.size() - 1 + 27 + 27);
    EXPECT_TRUE(std::equal(head.begin(), head.end(), reads.begin()));
    EXPECT_EQ(reads[13 + 26], "KeyMap_Controler/BTN100");
    EXPECT_EQ(reads[13 + 27], "KeyMap_MYTV/POWER");
    EXPECT_EQ(reads.back(), "KeyMap_MYTV/BTN100");
    // The platform test comes last, after every profile read.
    EXPECT_EQ(fake.module.versionCalls, (std::vector<uint32_t>{156}));
}

TEST_F(LoadProfileTest, LoadProfile_DefaultMinusOne_ReadsSignedKeys) {
    Client("Default", "-1");
    Client("-1_Item", "NEG");
    Client("-1_Control", "7");
    set.LoadProfile();
    EXPECT_EQ(set.m_nDefaultClient, -1);
    EXPECT_EQ(set.m_strItem, "NEG");
    EXPECT_EQ(set.m_nControl, 7);
    EXPECT_TRUE(WasRead("Client/-1_Caption"));
    EXPECT_TRUE(WasRead("Client/-1_ClassName"));
    EXPECT_TRUE(WasRead("Client/-1_Child2"));
    EXPECT_TRUE(WasRead("Client/0_ExeDesc"));
    EXPECT_TRUE(WasRead("KeyMap_NEG/POWER"));
}

TEST_F(LoadProfileTest, LoadProfile_LongCaption_CutTo255) {
    Client("0_Caption", std::string(300, 'c'));
    set.LoadProfile();
    EXPECT_EQ(set.m_strCaption, std::string(255, 'c'));
}

TEST_F(LoadProfileTest, LoadProfile_PathCases_OnlyLastDotCounts) {
    const struct {
        const char* exe;
        const char* ini;
    } cases[] = {
        {"C:\\a.b\\prog.exe", "C:\\a.b\\prog.INI"},
        {"C:\\Apps\\QRTLIRMoni.EXE", "C:\\Apps\\QRTLIRMoni.INI"},
        {"C:\\x\\name.tar.exe", "C:\\x\\name.tar.INI"},
        {"C:\\a.b\\noext", "C:\\a.INI"},
    };
    for (const auto& c : cases) {
        fake.module.path = c.exe;
        set.LoadProfile();
        EXPECT_EQ(set.m_strIniPath, c.ini) << c.exe;
    }
}

TEST_F(LoadProfileTest, LoadProfile_VersionCases_DecideWin9x) {
    const struct {
        std::map<uint32_t, uint32_t> answers;
        int32_t win9x;
        std::vector<uint32_t> calls;
    } cases[] = {
        {{{156, qrtl::kPlatformWin32Nt}}, 0, {156}},
        {{{156, qrtl::kPlatformWin32Windows}}, 1, {156}},
        {{{148, qrtl::kPlatformWin32Windows}}, 1, {156, 148}},  // 156 rejected, 148 decides
        {{{148, qrtl::kPlatformWin32Nt}}, 0, {156, 148}},
        {{{148, 0}}, 0, {156, 148}},                             // Win32s is not the 9x family
        {{}, 1, {156, 148}},                                     // both fail: stays 1
    };
    for (const auto& c : cases) {
        fakes::FakePlatform local;
        local.module.platformBySize = c.answers;
        CQRTLIRSet s;
        s.SetServices(local.Services());
        s.LoadProfile();
        EXPECT_EQ(s.m_bWin9x, c.win9x);
        EXPECT_EQ(local.module.versionCalls, c.calls);
    }
}

// A profile that hands back more than the platform's buffer would hold.
class UnboundedProfile : public fakes::FakeProfile {
public:
    std::string GetString(const std::string&, const std::string&, const std::string&,
                          const std::string&) override {
        return std::string(400, 'x');
    }
};

TEST(ReadProfileStringTest, ReadProfileString_ProfileReturnsMore_CutTo255) {
    UnboundedProfile profile;
    EXPECT_EQ(ReadProfileString(profile, "Client", "0_Item", kIni), std::string(255, 'x'));
}

}  // namespace
