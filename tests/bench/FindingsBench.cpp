// The set-up window's findings of a large profile (checked, then each finding tied
// to its key or field), as it works them out after every change: 10 KB, 100 KB and
// the 1 MB the window accepts. Run by hand in a Release build.
#include <benchmark/benchmark.h>

#include <string>

#include "config/RemoteCodes.h"
#include "setup/OwnerWords.h"
#include "setup/RemoteRows.h"

namespace {

// A legal profile of about `bytes`: a client, the codes, then the client's key map
// with every key repeated and some names that are no key, so that about every
// other line is a finding.
std::string ProfileOfSize(std::size_t bytes) {
    std::string text = "[Main]\r\nTimer=500\r\n[Client]\r\nDefault=0\r\n0_Item=STANDINTV\r\n"
                       "0_Caption=Standin TV\r\n0_Control=1\r\n[KeyMap_Controler]\r\n";
    for (int k = 0; k < kRemoteKeyCount; ++k)
        text += std::string(RemoteKeyNames[k]) + "=" + std::to_string(10 + k) + "\r\n";
    text += "[KeyMap_STANDINTV]\r\n";
    for (int n = 0; text.size() < bytes; ++n) {
        const int k = n % kRemoteKeyCount;
        text += n % 3 == 2 ? "; comment " + std::to_string(n) + "\r\n"
                           : std::string(RemoteKeyNames[k]) + (n % 3 == 1 ? "X" : "") + "=#80" +
                                 std::to_string(10 + k) + "\r\n";
    }
    return text;
}

// A legal profile of about `bytes` as a large one usually is: the client's key map
// in order, then the key maps of other applications and comments, few findings.
std::string QuietProfileOfSize(std::size_t bytes) {
    std::string text = "[Main]\r\nTimer=500\r\n[Client]\r\nDefault=0\r\n0_Item=STANDINTV\r\n"
                       "0_Caption=Standin TV\r\n0_Control=1\r\n[KeyMap_Controler]\r\n";
    for (int k = 0; k < kRemoteKeyCount; ++k)
        text += std::string(RemoteKeyNames[k]) + "=" + std::to_string(10 + k) + "\r\n";
    for (int n = 0; text.size() < bytes; ++n) {
        const int k = n % kRemoteKeyCount;
        if (k == 0) text += "[KeyMap_VIEWER" + std::to_string(n) + "]\r\n; the viewer's keys\r\n";
        text += std::string(RemoteKeyNames[k]) + "=#80" + std::to_string(10 + k) + "\r\n";
    }
    return text;
}

template <std::string (*Make)(std::size_t)>
void BM_FindingsInWords(benchmark::State& state) {
    const std::string text = Make(static_cast<std::size_t>(state.range(0)) * 1024);
    const qrtl::setup::EditedProfile profile(text);
    std::size_t findings = 0;
    for (auto _ : state) {
        const auto rows = qrtl::setup::FindingsInWords(profile);
        benchmark::DoNotOptimize(rows.data());
        findings = rows.size();
    }
    state.counters["KB"] = static_cast<double>(text.size()) / 1024.0;
    state.counters["findings"] = static_cast<double>(findings);
}
// Worst case: a finding on two lines of three.
BENCHMARK_TEMPLATE(BM_FindingsInWords, ProfileOfSize)->Arg(10)->Arg(100)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_FindingsInWords, QuietProfileOfSize)->Arg(10)->Arg(100)->Arg(1024)->Unit(benchmark::kMillisecond);

// All the window works out after a change: the findings, the 27 rows, the owner's words.
void BM_WindowAfterAChange(benchmark::State& state) {
    const std::string text = ProfileOfSize(static_cast<std::size_t>(state.range(0)) * 1024);
    const qrtl::setup::EditedProfile profile(text);
    const qrtl::setup::AppCatalog catalog;
    for (auto _ : state) {
        auto checked = qrtl::setup::FindingsInWords(profile);
        const auto rows = qrtl::setup::KeyRows(profile, catalog, checked);
        const auto shown = qrtl::setup::OwnerFindings(std::move(checked));
        benchmark::DoNotOptimize(rows.data());
        benchmark::DoNotOptimize(shown.data());
    }
}
BENCHMARK(BM_WindowAfterAChange)->Arg(10)->Arg(100)->Arg(1024)->Unit(benchmark::kMillisecond);

// A fill (an action for each of the 27 keys) applied to the unsaved profile: as one
// batch (what the window does), and, for comparison, one change after another.
template <bool kOneByOne>
void BM_ApplyFill(benchmark::State& state) {
    const std::string text = QuietProfileOfSize(static_cast<std::size_t>(state.range(0)) * 1024);
    std::vector<qrtl::setup::ProfileChange> fill;
    for (int k = 0; k < kRemoteKeyCount; ++k) fill.push_back({"KeyMap_STANDINTV", RemoteKeyNames[k], "#8001"});
    for (auto _ : state) {
        state.PauseTiming();
        qrtl::setup::EditedProfile profile(text);
        state.ResumeTiming();
        if (kOneByOne) {
            for (const auto& change : fill) profile.Change(change);
        } else {
            profile.Change(fill);
        }
        benchmark::DoNotOptimize(profile.Text().data());
    }
}
BENCHMARK_TEMPLATE(BM_ApplyFill, false)->Arg(100)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_ApplyFill, true)->Arg(100)->Arg(1024)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
