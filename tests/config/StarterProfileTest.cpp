// The starter profile of a fresh install: a profile in every respect but that
// nothing is chosen or learned yet, and the checker says so.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "setup/CheckWords.h"
#include "setup/ProfileCheck.h"
#include "config/QRTLIRSet.h"
#include "config/StarterProfile.h"

namespace {

std::string Starter() { return std::string(qrtl::StarterProfileText()); }

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

TEST(StarterProfile, Text_TheInstalledFileWithCrLf) {
    std::ifstream file(QRTL_STARTER_PROFILE, std::ios::binary);
    ASSERT_TRUE(file) << QRTL_STARTER_PROFILE;
    std::stringstream source;
    source << file.rdbuf();
    std::string expected;
    for (const char c : source.str()) {
        if (c == '\r') continue;
        if (c == '\n') expected += '\r';
        expected += c;
    }
    EXPECT_EQ(Starter(), expected);
}

TEST(StarterProfile, Keys_AllNamedNoneLearnedNoClient) {
    const auto document = qrtl::ProfileDocument::Parse(Starter());
    for (const char* name : RemoteKeyNames) {
        const auto* entry = document.Find("KeyMap_Controler", name);
        ASSERT_NE(entry, nullptr) << name;
        EXPECT_TRUE(entry->hasValue && entry->value.empty()) << name;
    }
    for (const char* key : {"0_Item", "0_Caption", "0_ClassName"})
        EXPECT_EQ(document.GetString("Client", key, "missing"), "") << key;
    EXPECT_EQ(document.GetInt("Client", "Default", -1), 0);
}

TEST(StarterProfile, Check_OnlyThatTheRemoteIsNotSetUp) {
    const auto findings = qrtl::CheckProfile(qrtl::ProfileDocument::Parse(Starter()));
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_STREQ(qrtl::FindingIdName(findings[0].kind), "not-set-up");
    EXPECT_EQ(findings[0].severity, qrtl::Severity::Warning);
    const std::string text = qrtl::CheckText(findings[0]);
    EXPECT_NE(text.find("the remote is not set up yet"), std::string::npos);
    EXPECT_NE(text.find("no TV application is chosen"), std::string::npos);
}

// What the set-up writes into the starter, in place of its empty values: a client
// and three codes check clean.
TEST(StarterProfile, ClientAndThreeCodesWritten_ChecksClean) {
    std::string text = Starter();
    text = Replaced(text, "0_Item=\r\n", "0_Item=STANDINTV\r\n");
    // Found by its class and program: no title, which a new channel would change.
    text = Replaced(text, "0_ClassName=\r\n", "0_ClassName=StandinTVClass\r\n");
    text = Replaced(text, "\r\nPOWER=\r\n", "\r\nPOWER=10\r\n");
    text = Replaced(text, "\r\nVOL+=\r\n", "\r\nVOL+=20\r\n");
    text = Replaced(text, "\r\nVOL-=\r\n", "\r\nVOL-=21\r\n");
    text += "[KeyMap_STANDINTV]\r\nVOL+=#8001\r\nVOL-=#8002\r\n";
    const auto findings = qrtl::CheckProfile(qrtl::ProfileDocument::Parse(text));
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_STREQ(qrtl::FindingIdName(findings[0].kind), "code-unlearned");
    EXPECT_EQ(qrtl::CheckText(findings[0]).find("24 keys have no code yet: ZOOM, SCAN, "), 0u)
        << qrtl::CheckText(findings[0]);
    EXPECT_EQ(qrtl::CheckExitStatus(findings), 0);
}

}  // namespace
