#include "config/SetupData.h"
#include "dispatch/DispatchFixture.h"

namespace {

constexpr uint32_t kPower = 10;
constexpr int kPromptPasses = 30;  // 100 ms passes until the whole-second clock has moved by 3

// Records whether the driver library was already closed when the shutdown was asked for.
struct OrderedShutdown : qrtl::IShutdown {
    explicit OrderedShutdown(fakes::FakeCard& c) : card(c) {}
    bool RequestShutdown(bool win9x) override {
        requests.push_back({win9x, card.closed});
        return true;
    }
    fakes::FakeCard& card;
    std::vector<std::pair<bool, bool>> requests;  // win9x flag, card closed before
};

class PowerKeyTest : public DispatchTest {
protected:
    // POWER read by the tick, then `during` handed out by the prompt's reads in turn.
    void PowerTick(std::vector<uint32_t> during = {}) {
        platform.card.codes = {kPower};
        for (uint32_t code : during) platform.card.codes.push_back(code);
        Tick();
    }
    int PromptReads() const { return platform.card.reads - 1; }
};

TEST_F(PowerKeyTest, Power_NothingElsePressed_LaunchesAfterFullPrompt) {
    InstallClient();
    bool visibleAtEveryRead = true;
    platform.card.onRead = [&] {
        if (platform.card.reads > 1) visibleAtEveryRead &= platform.prompt.visible;
    };
    PowerTick({99, 3});  // unmapped codes are ignored
    EXPECT_EQ(platform.prompt.shows, 1);
    EXPECT_EQ(platform.prompt.destroys, 1);
    EXPECT_TRUE(visibleAtEveryRead);
    EXPECT_EQ(PromptReads(), kPromptPasses);
    EXPECT_EQ(platform.clock.sleeps, kPromptPasses);
    EXPECT_EQ(platform.launcher.launched, std::vector<std::string>{"C:\\MyTV\\mytv.exe"});
    EXPECT_TRUE(history.items.empty());
    EXPECT_EQ(g_bPowerLaunch, 0);
    EXPECT_EQ(g_bPowerShutdown, 0);
}

TEST_F(PowerKeyTest, Power_DefaultStoredBySetup_LaunchesLoadedClientWithItsKeysAsNow) {
    auto& hklm = platform.registry.keys[qrtl::RegRoot::LocalMachine];
    for (const char* n : {"0", "1"}) {
        const std::string path = std::string("Software\\Client") + n;
        platform.profile.Set(kIni, "Client", std::string(n) + "_RegPath", path);
        platform.profile.Set(kIni, "Client", std::string(n) + "_RegFolder", "Folder");
        platform.profile.Set(kIni, "Client", std::string(n) + "_ExeName", "tv.exe");
        hklm[path].values["Folder"] = std::string("C:\\Client") + n;
    }
    platform.profile.Set(kIni, "Client", "Default", "1");
    platform.profile.Set(kIni, "KeyMap_Controler", "POWER", "10");
    set.LoadProfile();

    // The setup dialog stores client 0; the client's keys and folder change too.
    CSetupData(set).SaveFromDialog(1, 0, 0);
    ASSERT_EQ(platform.profile.Get(kIni, "Client", "Default"), "0");
    platform.profile.Set(kIni, "Client", "1_ExeName", "new.exe");
    hklm["Software\\Client1"].values["Folder"] = "D:\\Moved";

    PowerTick();
    EXPECT_EQ(platform.launcher.launched, std::vector<std::string>{"D:\\Moved\\new.exe"});
}

TEST_F(PowerKeyTest, Power_NoClientInstalled_StartsNothing) {
    PowerTick();
    EXPECT_TRUE(platform.launcher.launched.empty());
    EXPECT_TRUE(history.items.empty());
}

TEST_F(PowerKeyTest, Power_OtherMappedKeyDuringPrompt_PowerCodeGoesToHistoryOnly) {
    InstallClient();
    PowerTick({99, 12, 12});
    EXPECT_EQ(PromptReads(), 2);  // the watch ends at the first mapped key
    EXPECT_TRUE(platform.launcher.launched.empty());
    EXPECT_TRUE(platform.shutdown.requests.empty());
    EXPECT_EQ(history.items, std::vector<std::string>{"10 NoClientFound!"});
}

TEST_F(PowerKeyTest, Power_PromptRendersPlainDecimal_FiveIsNotZeroFive) {
    InstallClient();
    PowerTick({5});
    EXPECT_EQ(platform.launcher.launched.size(), 1u);  // "5" is unmapped; "05" is not looked up

    set.m_mapController["5"] = "BTN5";
    PowerTick({5});
    EXPECT_EQ(platform.launcher.launched.size(), 1u);
    EXPECT_EQ(history.items, std::vector<std::string>{"10 NoClientFound!"});
}

TEST_F(PowerKeyTest, Power_SecondPower_ShutdownDecisionReadAnewEachTime) {
    OrderedShutdown shutdown(platform.card);
    qrtl::Services services = platform.Services();
    services.shutdown = &shutdown;
    set.SetServices(services);

    struct Case { const char* value; int32_t win9x; bool asked; };
    const Case cases[] = {{nullptr, 0, true}, {"0", 1, false}, {"1", 1, true}, {"-3", 0, true}};
    for (const Case& c : cases) {
        if (c.value) platform.profile.Set(kIni, "Main", "ShutDown", c.value);
        set.m_bWin9x = c.win9x;
        platform.card.closed = false;
        shutdown.requests.clear();
        PowerTick({kPower});
        const auto expected = c.asked ? std::vector<std::pair<bool, bool>>{{c.win9x != 0, true}}
                                      : std::vector<std::pair<bool, bool>>{};
        EXPECT_EQ(shutdown.requests, expected) << (c.value ? c.value : "missing");
        EXPECT_EQ(platform.card.closed, c.asked);
    }
    EXPECT_TRUE(platform.launcher.launched.empty());
    EXPECT_TRUE(history.items.empty());
}

TEST_F(PowerKeyTest, Power_KeyInPassWhereTimeRunsOut_StillDecides) {
    platform.card.onRead = [&] {
        if (platform.clock.sleeps == kPromptPasses) platform.card.codes.push_back(kPower);
    };
    PowerTick();
    EXPECT_EQ(PromptReads(), kPromptPasses);
    EXPECT_EQ(platform.shutdown.requests, std::vector<bool>{false});
}

TEST_F(PowerKeyTest, Power_ClockMoved_PromptEndsRelativeToStartReading) {
    // Set back by 10 s at the fifth pass: up until the clock passes start + 3 again.
    platform.clock.onSleep = [](fakes::FakeClock& clock) {
        if (clock.sleeps == 5) clock.now -= 10;
    };
    PowerTick();
    EXPECT_EQ(platform.clock.sleeps, 130);
    EXPECT_EQ(platform.prompt.destroys, 1);

    platform.clock.sleeps = 0;
    platform.clock.onSleep = [](fakes::FakeClock& clock) {
        if (clock.sleeps == 1) clock.now += 5;
    };
    PowerTick();
    EXPECT_EQ(platform.clock.sleeps, 1);
}

TEST_F(PowerKeyTest, ShutdownWindows_CardClosed_LaterTicksAndPromptsReadNothing) {
    set.ShutdownWindows();
    ASSERT_TRUE(platform.card.closed);
    InstallClient();

    PowerTick({kPower});
    EXPECT_EQ(platform.card.reads, 0);
    EXPECT_FALSE(Traced(485));
    EXPECT_EQ(platform.prompt.shows, 0);

    int32_t bShutdown = 1, bLaunch = 0;
    set.WaitPowerConfirm(&bShutdown, &bLaunch);  // a closed receiver only lets the time run out
    EXPECT_EQ(bShutdown, 0);
    EXPECT_EQ(bLaunch, 1);
    EXPECT_EQ(platform.clock.sleeps, kPromptPasses);
    EXPECT_EQ(platform.shutdown.requests.size(), 1u);
}

// A shutdown that does not happen leaves the monitor running: the receiver works again.
TEST_F(PowerKeyTest, ShutdownRefusedOrCancelled_CardOpenedAgainTickReads) {
    struct Case {
        const char* name;
        bool accepted;
        bool cancelled;  // WM_ENDSESSION(FALSE) after the request
        int reopens;
    };
    const Case cases[] = {
        {"ExitWindowsEx failed", false, false, 1},
        {"session end cancelled", true, true, 1},
        {"shutdown goes on", true, false, 0},
    };
    // A cancel with no shutdown of ours before it changes nothing.
    set.OnSessionEndCancelled();
    EXPECT_EQ(platform.card.reopens, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform.card.closed = false;
        platform.card.reopens = 0;
        platform.card.reads = 0;
        platform.shutdown.accepted = c.accepted;
        set.ShutdownWindows();
        if (c.cancelled) set.OnSessionEndCancelled();
        EXPECT_EQ(platform.card.reopens, c.reopens);
        platform.card.codes = {12};  // VOL+
        Tick();
        EXPECT_EQ(platform.card.reads, c.reopens);
    }
}

}  // namespace
