// The simulated monitor over given profile lines: what the set-up tools ask of it.
#include "dispatch/MonitorSimulation.h"

#include <gtest/gtest.h>

#include <string>

#include "fakes/Fakes.h"

namespace {

constexpr uint32_t kTvPid = 7;

const char kProfile[] =
    "[Client]\nDefault=1\n1_Item=NEWTV\n1_ClassName=NewTvMain\n1_Control=1\n"
    "1_RegPath=Software\\NewTV\n1_RegFolder=Dir\n1_ExeName=newtv\n"
    "[KeyMap_Controler]\nVOL+=20\nMUTE=31\n"
    "[KeyMap_NEWTV]\nVOL+=#9C4A\nMUTE=*26\nCH+=#9C50\n";

struct SendCase {
    const char* key;
    bool windowOpen;
    bool sent;  // posted
    uint32_t msg;
    uint32_t wParam;
};

class SendKeyNowTest : public ::testing::TestWithParam<SendCase> {};

TEST_P(SendKeyNowTest, SendKeyNow_KeyAction_PostedAsTheMonitorPostsIt) {
    const SendCase& c = GetParam();
    fakes::FakeDesktop desktop;
    qrtl::WindowHandle tv = qrtl::kNoWindow;
    if (c.windowOpen) {
        tv = desktop.AddWindow("NewTvMain", "New TV", {}, kTvPid);
        desktop.AddProcess(kTvPid, "newtv.exe");
    }
    const auto document = qrtl::ProfileDocument::Parse(kProfile);
    dispatch::MonitorSimulation monitor(document, {nullptr, &desktop});
    const ControllerKeyMap learned = monitor.Loaded().m_mapController;
    const auto sent = monitor.SendKeyNow(c.key);
    EXPECT_EQ(sent.window, tv);
    EXPECT_EQ(sent.posted, c.sent);
    if (!c.sent) {
        EXPECT_TRUE(desktop.posted.empty());
        return;
    }
    ASSERT_EQ(desktop.posted.size(), 1u);
    EXPECT_EQ(desktop.posted[0].hWnd, tv);
    EXPECT_EQ(desktop.posted[0].msg, c.msg);
    EXPECT_EQ(desktop.posted[0].wParam, c.wParam);
    // The learned codes stay as they were.
    EXPECT_EQ(monitor.Loaded().m_mapController, learned);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SendKeyNowTest,
    ::testing::Values(SendCase{"VOL+", true, true, kWmCommand, 0x9C4A | kAcceleratorNotify},
                      SendCase{"MUTE", true, true, kWmKeyDown, 0x26},
                      // A key with an action but no learned code is sent all the same.
                      SendCase{"CH+", true, true, kWmCommand, 0x9C50 | kAcceleratorNotify},
                      SendCase{"VOL+", false, false, 0, 0},
                      SendCase{"BTN1", true, false, 0, 0}),
    [](const auto& info) {
        std::string name = std::string(info.param.windowOpen ? "Open_" : "Closed_") + info.param.key;
        for (char& ch : name)
            if (ch == '+') ch = 'P';
        return name;
    });

TEST(MonitorSimulation, WithoutServices_NothingSearchedNothingRead) {
    const auto document = qrtl::ProfileDocument::Parse(kProfile);
    dispatch::MonitorSimulation monitor(document);
    EXPECT_TRUE(monitor.ClientNamed());
    EXPECT_EQ(monitor.FindClientWindow(), qrtl::kNoWindow);
    EXPECT_EQ(monitor.ClientExePath(), "");
    EXPECT_EQ(monitor.SendKeyNow("VOL+").window, qrtl::kNoWindow);
}

TEST(MonitorSimulation, ClientExePath_FolderFromTheRegistryNameAsWritten) {
    fakes::FakeRegistry registry;
    registry.keys[qrtl::RegRoot::LocalMachine]["Software\\NewTV"].values["Dir"] = "C:\\New TV";
    const auto document = qrtl::ProfileDocument::Parse(kProfile);
    dispatch::MonitorSimulation monitor(document, {&registry, nullptr});
    EXPECT_EQ(monitor.ClientExePath(), "C:\\New TV\\newtv");
}

TEST(MonitorSimulation, SearchClientWindow_FindsTheWindowOfTheLinesOnly) {
    fakes::FakeDesktop desktop;
    const qrtl::WindowHandle other = desktop.AddWindow("Other", "", {}, kTvPid + 1);
    desktop.AddProcess(kTvPid + 1, "other.exe");
    const qrtl::WindowHandle tv = desktop.AddWindow("NewTvMain", "New TV", {}, kTvPid);
    desktop.AddProcess(kTvPid, "newtv.exe");
    const auto named = qrtl::ProfileDocument::Parse("[Client]\n0_Item=NEWTV\n0_ClassName=NewTvMain\n");
    EXPECT_EQ(dispatch::SearchClientWindow(named, desktop), tv);
    const auto unnamed = qrtl::ProfileDocument::Parse("[Client]\nDefault=0\n");
    EXPECT_FALSE(dispatch::MonitorSimulation(unnamed).ClientNamed());
    EXPECT_NE(dispatch::SearchClientWindow(named, desktop), other);
}

}  // namespace
