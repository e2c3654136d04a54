#include <gtest/gtest.h>

#include <string>

#include "config/QRTLIRSet.h"
#include "fakes/Fakes.h"

namespace {

constexpr const char kIni[] = "C:\\Apps\\QRTLIRMoni.INI";

class KeyMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        set.SetServices(fake.Services());
        set.m_strIniPath = kIni;
    }
    void Controller(const std::string& key, const std::string& code) {
        fake.profile.Set(kIni, "KeyMap_Controler", key, code);
    }
    fakes::FakePlatform fake;
    CQRTLIRSet set;
};

TEST(RemoteKeyNamesTest, RemoteKeyNames_List_ExactNamesInLoadingOrder) {
    const std::vector<std::string> expected = {
        "POWER",  "ZOOM",   "SCAN",   "TVFMSW", "SWITCH", "VOL+", "VOL-", "CH+",  "CH-",
        "MUTE",   "REVIEW", "RESET+", "RESET-", "FREZE+", "FREZE-", "FUNC", "BTN0", "BTN1",
        "BTN2",   "BTN3",   "BTN4",   "BTN5",   "BTN6",   "BTN7", "BTN8", "BTN9", "BTN100"};
    ASSERT_EQ(kRemoteKeyCount, 27);
    EXPECT_EQ(std::vector<std::string>(RemoteKeyNames.begin(), RemoteKeyNames.end()), expected);
}

TEST_F(KeyMapTest, LoadKeyMap_ValueAsKeySharedCode_LaterNameWins) {
    Controller("POWER", "12");
    Controller("BTN0", "12");
    Controller("VOL+", "20");
    Controller("CH+", "20");
    set.LoadKeyMap("KeyMap_Controler", set.m_mapController, 1);
    EXPECT_EQ(set.m_mapController.at("12"), "BTN0");
    EXPECT_EQ(set.m_mapController.at("20"), "CH+");
    for (const auto& entry : set.m_mapController) EXPECT_NE(entry.second, "POWER");
}

TEST_F(KeyMapTest, LoadKeyMap_ValueAsKeyMissingNames_EmptyKeyNamesLastMissing) {
    Controller("BTN100", "99");
    Controller("BTN9", "");  // empty counts as missing
    Controller("POWER", "05");
    set.LoadKeyMap("KeyMap_Controler", set.m_mapController, 1);
    EXPECT_EQ(set.m_mapController.size(), 3u);
    EXPECT_EQ(set.m_mapController.at(""), "BTN9");
    EXPECT_EQ(set.m_mapController.at("05"), "POWER");
    EXPECT_EQ(set.m_mapController.count("5"), 0u);  // codes are exact text
}

TEST_F(KeyMapTest, LoadKeyMap_ClientSection_Always27EntriesAndUnknownKeysIgnored) {
    fake.profile.Set(kIni, "KeyMap_MYTV", "VOL+", "#8001");
    fake.profile.Set(kIni, "KeyMap_MYTV", "FREZE-", "*20");
    fake.profile.Set(kIni, "KeyMap_MYTV", "POWER2", "#1");
    set.LoadKeyMap("KeyMap_MYTV", set.m_mapClient, 0);
    ASSERT_EQ(set.m_mapClient.size(), 27u);
    for (const char* name : RemoteKeyNames) EXPECT_EQ(set.m_mapClient.count(name), 1u) << name;
    EXPECT_EQ(set.m_mapClient.at("VOL+"), "#8001");
    EXPECT_EQ(set.m_mapClient.at("FREZE-"), "*20");
    EXPECT_EQ(set.m_mapClient.at("POWER"), "");
    EXPECT_EQ(set.m_mapClient.count("POWER2"), 0u);
    EXPECT_EQ(set.m_mapClient.count("vol+"), 0u);  // map keys are case-sensitive
}

TEST_F(KeyMapTest, LoadKeyMap_MapNotEmpty_EntriesAddAndOverwrite) {
    set.m_mapController["77"] = "KEEP";
    set.m_mapController[""] = "OLD";
    set.LoadKeyMap("KeyMap_Controler", set.m_mapController, 1);
    EXPECT_EQ(set.m_mapController.at("77"), "KEEP");
    EXPECT_EQ(set.m_mapController.at(""), "BTN100");
}

TEST_F(KeyMapTest, LoadProfile_EmptyItem_ReadsSectionKeyMapUnderscore) {
    fake.profile.Set(kIni, "KeyMap_", "ZOOM", "#42");
    set.LoadProfile();
    EXPECT_EQ(set.m_strItem, "");
    EXPECT_EQ(set.m_mapClient.at("ZOOM"), "#42");
    EXPECT_EQ(set.m_mapClient.size(), 27u);
}

}  // namespace
