// One poll tick on a desktop of 200 top-level windows and 300 processes, with
// the client absent (both searches enumerate every window) and present (the
// client is the last window and the last process, found by enumeration).
#include <benchmark/benchmark.h>

#include <string>

#include "config/QRTLIRSet.h"
#include "fakes/Fakes.h"
#include "trace/Trace.h"

namespace {

constexpr int kWindows = 200;
constexpr int kProcesses = 300;
constexpr uint32_t kVolUpCode = 12;

// A viewer that takes every line and keeps none, so the trace cost is included.
class CountingTransport : public qrtl::ITraceTransport {
public:
    void Deliver(int32_t, const char* block, std::size_t) override { benchmark::DoNotOptimize(block); ++lines; }
    void ShowBox(const char*) override {}
    long lines = 0;
};

class DiscardingHistory : public qrtl::IHistoryList {
public:
    void InsertTop(const std::string& text) override { benchmark::DoNotOptimize(text.data()); }
};

// The in-memory desktop with its per-handle lookups made constant-time, so the
// figures measure the dispatch rather than the fake's linear search.
class IndexedDesktop : public fakes::FakeDesktop {
public:
    bool HasChild(qrtl::WindowHandle hWnd, int32_t id) override {
        const Window* w = At(hWnd);
        if (w == nullptr) return false;
        for (int32_t child : w->childIds)
            if (child == id) return true;
        return false;
    }
    uint32_t WindowProcessId(qrtl::WindowHandle hWnd) override {
        const Window* w = At(hWnd);
        return w ? w->processId : 0;
    }
    std::string WindowTitle(qrtl::WindowHandle hWnd) override {
        const Window* w = At(hWnd);
        return w ? w->caption : std::string();
    }

private:
    // AddWindow numbers the handles 0x10010, 0x10020, ... in insertion order.
    const Window* At(qrtl::WindowHandle hWnd) const {
        if (hWnd < 0x10010 || (hWnd & 0xF) != 0) return nullptr;
        const std::size_t i = (hWnd - 0x10010) / 0x10;
        return i < windows.size() ? &windows[i] : nullptr;
    }
};

struct Desktop {
    explicit Desktop(bool bClientPresent) {
        for (int p = 0; p < kProcesses; ++p)
            indexed.AddProcess(1000 + p, "C:\\WINDOWS\\PROCESS" + std::to_string(p) + ".EXE");
        for (int w = 0; w < kWindows - 1; ++w)
            indexed.AddWindow("Class" + std::to_string(w), "Window " + std::to_string(w),
                                       {1, 2}, 1000 + (w % kProcesses));
        const uint32_t lastPid = 1000 + kProcesses - 1;
        if (bClientPresent) indexed.processes.back().exeName = "C:\\PROGRAM FILES\\MYTV\\MYTV.EXE";
        indexed.AddWindow("TVWnd", "My TV", bClientPresent ? std::vector<int32_t>{1, 2, 3}
                                                                    : std::vector<int32_t>{1, 2},
                                   lastPid);

        platform.card.hasIdleCode = true;
        platform.card.idleCode = kVolUpCode;

        qrtl::Services services = platform.Services();
        services.desktop = &indexed;
        set.SetServices(services);
        set.m_strItem = "MYTV";
        set.m_strCaption = "Absent caption";
        set.m_nChild0 = 1;
        set.m_nChild1 = 2;
        set.m_nChild2 = 3;
        set.m_nControl = 1;
        set.m_mapController = {{"10", "POWER"}, {"12", "VOL+"}};
        set.m_mapClient = {{"POWER", "#8001"}, {"VOL+", "*26"}};
    }

    fakes::FakePlatform platform;
    IndexedDesktop indexed;
    CQRTLIRSet set;
};

void RunTicks(benchmark::State& state, bool bClientPresent) {
    Desktop desktop(bClientPresent);
    CountingTransport transport;
    DiscardingHistory history;
    SetTraceTransport(&transport);
    for (auto _ : state) {
        desktop.set.DoTimer(&history, "0", 0);
        desktop.indexed.posted.clear();
    }
    SetTraceTransport(nullptr);
    state.counters["lines/tick"] =
        benchmark::Counter(static_cast<double>(transport.lines) / static_cast<double>(state.iterations()));
}

void BM_DoTimer_ClientAbsent(benchmark::State& state) { RunTicks(state, false); }
void BM_DoTimer_ClientPresent(benchmark::State& state) { RunTicks(state, true); }

BENCHMARK(BM_DoTimer_ClientAbsent)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DoTimer_ClientPresent)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
