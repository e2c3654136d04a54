// Poll ticks on the fake platform: the fuzz bytes choose a small profile, the
// client's presence and a run of received codes and typed texts. Every post of a
// tick is checked against the window the search finds on the same desktop.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "trace/Trace.h"

namespace {

constexpr uint32_t kClientPid = 7;
constexpr uint32_t kOtherPid = 9;
constexpr int kMaxMapped = 6;
constexpr int kMaxEvents = 16;
constexpr std::size_t kMaxTyped = 10;
constexpr std::size_t kMaxCommand = 14;
const char* const kItems[] = {"MYTV", "", "TV", "mytv"};

// A command text: mostly "#hex" or "*hex" shaped, sometimes anything.
std::string Command(FuzzedDataProvider& in) {
    const uint8_t shape = in.ConsumeIntegral<uint8_t>();
    std::string text = in.ConsumeRandomLengthString(kMaxCommand);
    if (shape % 4 == 0) return "#" + text;
    if (shape % 4 == 1) return "*" + text;
    return text;
}

struct Scene {
    fakes::FakePlatform platform;
    bool clientUp = false;
    bool decoy = false;
    bool byProfile = false;
    std::string exeName;

    void Client(bool up) {
        auto& desk = platform.desktop;
        desk.windows.clear();
        desk.processes.clear();
        desk.AddProcess(kOtherPid, "C:\\WINDOWS\\EXPLORER.EXE");
        // A window with the client's controls in another program comes first.
        if (decoy) desk.AddWindow("Other", "Other", {1001, 1002, 1003}, kOtherPid);
        if (up) {
            desk.AddProcess(kClientPid, exeName);
            desk.AddWindow(byProfile ? "TVWnd" : "Unnamed", byProfile ? "My TV" : "",
                           {1001, 1002, 1003}, kClientPid);
        }
        clientUp = up;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    Scene scene;
    auto& platform = scene.platform;
    fuzz::ReadingTransport transport;
    SetTraceTransport(&transport);
    g_bInDoTimer = g_bPowerShutdown = g_bPowerLaunch = 0;

    const uint8_t flags = in.ConsumeIntegral<uint8_t>();
    const char* item = kItems[flags & 3];
    scene.byProfile = flags & 4;
    scene.decoy = flags & 8;
    scene.exeName = (flags & 16) ? std::string("C:\\TV\\") + item + "APP.EXE" : "C:\\TV\\VIEW.EXE";
    platform.desktop.snapshotFails = (flags & 32) != 0;
    if (flags & 64) {
        platform.card.hasIdleCode = true;
        platform.card.idleCode = in.ConsumeIntegral<uint8_t>();
    }

    auto& profile = platform.profile;
    profile.Set(fuzz::kIniPath, "Main", "ShutDown", (flags & 128) ? "1" : "0");
    profile.Set(fuzz::kIniPath, "Client", "0_Item", item);
    if (scene.byProfile) {
        profile.Set(fuzz::kIniPath, "Client", "0_Caption", "My TV");
        profile.Set(fuzz::kIniPath, "Client", "0_ClassName", "TVWnd");
    }
    for (int i = 0; i < 3; ++i)
        profile.Set(fuzz::kIniPath, "Client", "0_Child" + std::to_string(i),
                    std::to_string(1001 + i));
    profile.Set(fuzz::kIniPath, "Client", "0_Control", in.ConsumeBool() ? "1" : "0");
    profile.Set(fuzz::kIniPath, "Client", "0_RegPath", "Software\\TV");
    profile.Set(fuzz::kIniPath, "Client", "0_RegFolder", "Folder");
    profile.Set(fuzz::kIniPath, "Client", "0_ExeName", "tv.exe");
    platform.registry.keys[qrtl::RegRoot::LocalMachine]["Software\\TV"].values["Folder"] = "C:\\TV";

    const int mapped = in.ConsumeIntegralInRange(0, kMaxMapped);
    for (int i = 0; i < mapped; ++i) {
        const char* name = RemoteKeyNames[in.ConsumeIntegralInRange(0, kRemoteKeyCount - 1)];
        const std::string code = in.ConsumeBool()
                                     ? std::to_string(100 + in.ConsumeIntegral<uint8_t>()).substr(1)
                                     : in.ConsumeRandomLengthString(kMaxTyped);
        profile.Set(fuzz::kIniPath, "KeyMap_Controler", name, code);
        profile.Set(fuzz::kIniPath, std::string("KeyMap_") + item, name, Command(in));
    }

    CQRTLIRSet set;
    set.SetServices(platform.Services());
    set.LoadProfile();
    scene.Client(in.ConsumeBool());

    fakes::FakeHistory history;
    for (int event = 0; event < kMaxEvents && in.remaining_bytes() > 0; ++event) {
        const std::size_t before = platform.desktop.posted.size();
        switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0:  // a received code, and perhaps the one the prompt will read next
            platform.card.codes.push_back(in.ConsumeIntegral<uint8_t>());
            if (in.ConsumeBool()) platform.card.codes.push_back(in.ConsumeIntegral<uint8_t>());
            set.DoTimer(&history, "0", 0);
            break;
        case 1:  // a typed test-panel text
            set.DoTimer(&history, in.ConsumeRandomLengthString(kMaxTyped), 1);
            break;
        case 2:  // the client starts or ends between ticks
            scene.Client(!scene.clientUp);
            continue;
        default:  // a tick with nothing received
            set.DoTimer(&history, "0", 0);
            break;
        }
        fuzz::Check(g_bInDoTimer == 0, "tick left its guard set");
        fuzz::Check(platform.desktop.posted.size() <= before + 1, "more than one post per tick");
        fuzz::CheckPosts(platform.desktop, before, set.FindTargetClientWindow());
    }
    fuzz::Check(platform.profile.writes.empty(), "the tick wrote to the profile");

    SetTraceTransport(nullptr);
    return 0;
}
