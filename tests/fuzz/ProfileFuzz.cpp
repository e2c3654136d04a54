// Profile text of any shape: parsed by the line-numbered reader, checked by the
// profile checker, loaded as the monitor loads it at start-up; then every code of the
// controller map goes through both maps and a few, as typed codes, through the tick
// to a client window that the profile's own caption, class and controls find.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "FuzzSupport.h"
#include "setup/CheckWords.h"
#include "setup/ProfileCheck.h"
#include "config/ProfileReader.h"
#include "trace/Trace.h"

namespace {

constexpr std::size_t kMaxText = 255;
constexpr uint32_t kClientPid = 7;
// Ticks per input: a few typed codes reach the post; more would only slow the run.
constexpr int kMaxTicks = 3;

bool IsRemoteKeyName(const std::string& name) {
    for (const char* known : RemoteKeyNames)
        if (name == known) return true;
    return false;
}

void CheckLoaded(const CQRTLIRSet& set) {
    using fuzz::Check;
    for (const std::string* s : {&set.m_strItem, &set.m_strCaption, &set.m_strClassName})
        Check(s->size() <= kMaxText, "profile text longer than 255", s->size());
    Check(set.m_astrExeDesc.size() == 3, "description count", set.m_astrExeDesc.size());
    for (const auto& d : set.m_astrExeDesc) Check(d.size() <= kMaxText, "description length");

    // One entry per key name in the client map; one per distinct code in the other.
    Check(set.m_mapClient.size() == kRemoteKeyCount, "client map size", set.m_mapClient.size());
    for (const auto& [name, command] : set.m_mapClient) {
        Check(IsRemoteKeyName(name), "client map key");
        Check(command.size() <= kMaxText, "command length", command.size());
    }
    Check(!set.m_mapController.empty() && set.m_mapController.size() <= kRemoteKeyCount,
          "controller map size", set.m_mapController.size());
    for (const auto& [code, name] : set.m_mapController) {
        Check(IsRemoteKeyName(name), "controller map value");
        Check(code.size() <= kMaxText, "code length", code.size());
    }
}

void CheckFindings(const qrtl::ProfileDocument& document) {
    const std::vector<qrtl::Finding> findings = qrtl::CheckProfile(document);
    int previous = 0;
    for (const qrtl::Finding& f : findings) {
        // A finding about the whole of an empty file points at its first line.
        fuzz::Check(f.line >= 0 && f.line <= std::max(document.LineCount(), 1), "finding line",
                    static_cast<unsigned long>(f.line));
        fuzz::Check(f.line >= previous, "findings out of line order");
        fuzz::Check(!qrtl::CheckText(f).empty() && qrtl::FindingIdName(f.kind)[0] != '\0', "finding without text or id");
        previous = f.line;
        fuzz::Check(!qrtl::FormatFinding("p.INI", f).empty(), "empty finding line");
    }
    fuzz::Check(qrtl::CheckExitStatus(findings) >= 0, "exit status");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fakes::FakePlatform platform;
    fuzz::ReadingTransport transport;
    SetTraceTransport(&transport);
    g_bInDoTimer = g_bPowerShutdown = g_bPowerLaunch = 0;

    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    qrtl::ProfileUnusableReason(bytes);
    const qrtl::ProfileDocument document = qrtl::ProfileDocument::Parse(bytes);
    CheckFindings(document);

    // The monitor's own loading code over the parsed document.
    qrtl::DocumentProfile profile(document);
    qrtl::Services services = platform.Services();
    services.profile = &profile;
    CQRTLIRSet set;
    set.SetServices(services);
    set.LoadProfile();
    CheckLoaded(set);

    // The client the profile describes, so that lookups reach a post.
    platform.desktop.AddProcess(kClientPid, set.m_strItem + ".EXE");
    platform.desktop.AddWindow(
        set.m_strClassName, set.m_strCaption, {set.m_nChild0, set.m_nChild1, set.m_nChild2},
        kClientPid);

    fakes::FakeHistory history;
    int ticks = 0;
    for (const auto& [code, name] : set.m_mapController) {
        std::string command;
        fuzz::Check(set.GetClientCommand(code, command) == 1, "mapped code without command");
        fuzz::Check(command == set.m_mapClient.at(name), "command of another key");
        if (++ticks > kMaxTicks) continue;
        const std::size_t before = platform.desktop.posted.size();
        set.DoTimer(&history, code, 1);
        fuzz::Check(platform.desktop.posted.size() <= before + 1, "more than one post per tick");
        // The search answers the same on an unchanged desktop: the window it finds now
        // is the one the tick found.
        fuzz::CheckPosts(platform.desktop, before, set.FindTargetClientWindow());
    }
    // A launch and a shutdown need POWER without a client, never reached here.
    fuzz::Check(platform.shutdown.requests.empty(), "shutdown with a client present");

    SetTraceTransport(nullptr);
    return 0;
}
