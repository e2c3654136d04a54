#include <gtest/gtest.h>

#include <string>

#include "config/QRTLIRSet.h"
#include "fakes/Fakes.h"

namespace {

constexpr const char kIni[] = "C:\\Apps\\QRTLIRMoni.INI";
constexpr const char kViewerKey[] = "Software\\Vendor\\Viewer";

class ClientPathTest : public ::testing::Test {
protected:
    void SetUp() override {
        set.SetServices(fake.Services());
        set.m_strIniPath = kIni;
    }
    void Client(int n, const std::string& folder, const std::string& exe) {
        const std::string p = std::to_string(n) + "_";
        fake.profile.Set(kIni, "Client", p + "RegPath", kViewerKey);
        fake.profile.Set(kIni, "Client", p + "RegFolder", "InstallDir");
        fake.profile.Set(kIni, "Client", p + "ExeName", exe);
        if (!folder.empty())
            fake.registry.keys[qrtl::RegRoot::LocalMachine][kViewerKey].values["InstallDir"] =
                folder;
    }
    fakes::FakePlatform fake;
    CQRTLIRSet set;
};

TEST_F(ClientPathTest, GetClientExePath_IndexOne_ReadsOneKeysThenRegistry) {
    Client(0, "C:\\Wrong", "wrong.exe");
    Client(1, "C:\\Program Files\\Viewer", "viewer.exe");
    EXPECT_EQ(set.GetClientExePath(1), "C:\\Program Files\\Viewer\\viewer.exe");
    EXPECT_EQ(fake.profile.reads,
              (std::vector<std::string>{"Client/1_RegPath", "Client/1_RegFolder",
                                        "Client/1_ExeName"}));
    EXPECT_EQ(fake.registry.calls,
              (std::vector<std::string>{std::string("read ") + kViewerKey + " InstallDir"}));
}

TEST_F(ClientPathTest, GetClientExePath_TrailingBackslashOrEmptyExe_NothingTrimmed) {
    Client(0, "C:\\Viewer\\", "viewer.exe");
    EXPECT_EQ(set.GetClientExePath(0), "C:\\Viewer\\\\viewer.exe");
    Client(2, "C:\\Viewer", "");
    EXPECT_EQ(set.GetClientExePath(2), "C:\\Viewer\\");
}

TEST_F(ClientPathTest, GetClientExePath_RegistryMissing_Empty) {
    Client(0, "", "viewer.exe");  // the key does not exist
    EXPECT_EQ(set.GetClientExePath(0), "");
    fake.registry.keys[qrtl::RegRoot::LocalMachine][kViewerKey].values["Other"] = "C:\\X";
    EXPECT_EQ(set.GetClientExePath(0), "");  // the key exists, the value does not
    EXPECT_EQ(set.GetClientExePath(5), "");  // no profile keys at all
}

}  // namespace
