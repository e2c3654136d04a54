#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "config/ProfileKeys.h"
#include "config/RemoteCodes.h"
#include "fakes/Fakes.h"

namespace {

constexpr const char kIni[] = "C:\\Apps\\QRTLIRMoni.INI";

TEST(ProfileKeysTest, KeyName_ClientAndPlainKeys_NamedAsTheProfileWritesThem) {
    const struct {
        const profile::Key& key;
        int32_t nClient;
        const char* expected;
    } cases[] = {
        {profile::kItem, 0, "0_Item"},
        {profile::kExeName, 2, "2_ExeName"},
        {profile::kCaption, -1, "-1_Caption"},
        {profile::kTimer, 5, "Timer"},            // not a client key: no prefix
        {profile::kDefaultClient, 1, "Default"},
    };
    for (const auto& c : cases) EXPECT_EQ(profile::KeyName(c.key, c.nClient), c.expected);
}

TEST(ProfileKeysTest, Table_EveryKeyOnceInItsSection) {
    std::set<std::pair<std::string, std::string>> seen;
    for (const profile::Key* key : profile::kKeys)
        EXPECT_TRUE(seen.emplace(key->section, key->name).second) << key->section << "/" << key->name;
}

TEST(ProfileKeysTest, ReadInt_MissingOrPresent_DefaultOrValueUnderTheClientsName) {
    fakes::FakeProfile fake;
    EXPECT_EQ(profile::ReadInt(fake, profile::kTimer, kIni), 3000);
    EXPECT_EQ(profile::ReadInt(fake, profile::kShutDown, kIni), 1);
    fake.Set(kIni, "Client", "1_Control", "7");
    EXPECT_EQ(profile::ReadInt(fake, profile::kControl, kIni, 1), 7);
    EXPECT_EQ(profile::ReadInt(fake, profile::kControl, kIni, 0), 0);
    EXPECT_EQ(fake.reads.back(), "Client/0_Control");
}

TEST(RemoteCodesTest, CodeTexts_TickPadsToTwoDigitsPromptDoesNot) {
    const struct {
        uint32_t code;
        const char* tick;
        const char* prompt;
    } cases[] = {{0, "00", "0"}, {5, "05", "5"}, {42, "42", "42"}, {255, "255", "255"}};
    for (const auto& c : cases) {
        EXPECT_EQ(FormatIrCode(c.code), c.tick);
        EXPECT_EQ(FormatPromptCode(c.code), c.prompt);
    }
}

}  // namespace
