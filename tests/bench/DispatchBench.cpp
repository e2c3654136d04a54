// One poll tick on a desktop of 200 top-level windows and 300 or 3,000 processes,
// with the client absent (both searches enumerate every window) and present (the
// client is the last window and the last process, found by enumeration). Besides
// the time, each run reports the heap allocations per tick, which must not grow
// with the number of processes.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <new>
#include <string>

#include "config/QRTLIRSet.h"
#include "fakes/Fakes.h"
#include "trace/Trace.h"

// Every allocation of this program is counted: the replaced global operator new.
namespace {
unsigned long g_allocations = 0;
}

void* operator new(std::size_t size) {
    ++g_allocations;
    if (void* p = std::malloc(size != 0 ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

constexpr int kWindows = 200;
constexpr uint32_t kVolUpCode = 12;

// A viewer that takes every line and keeps none, so the trace cost is included.
class CountingTransport : public qrtl::ITraceTransport {
public:
    qrtl::TraceDelivery Deliver(int32_t, const char* block, std::size_t) override {
        benchmark::DoNotOptimize(block);
        ++lines;
        return qrtl::TraceDelivery::Answered;
    }
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
    Desktop(bool bClientPresent, int processes) {
        for (int p = 0; p < processes; ++p)
            indexed.AddProcess(1000 + p, "C:\\WINDOWS\\PROCESS" + std::to_string(p) + ".EXE");
        for (int w = 0; w < kWindows - 1; ++w)
            indexed.AddWindow("Class" + std::to_string(w), "Window " + std::to_string(w),
                                       {1, 2}, 1000 + (w % processes));
        const uint32_t lastPid = 1000 + processes - 1;
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
    Desktop desktop(bClientPresent, static_cast<int>(state.range(0)));
    CountingTransport transport;
    DiscardingHistory history;
    SetTraceTransport(&transport);
    // The record of posts keeps its capacity, so clearing it allocates nothing later.
    desktop.indexed.posted.reserve(4);
    const unsigned long allocationsBefore = g_allocations;
    for (auto _ : state) {
        desktop.set.DoTimer(&history, "0", 0);
        desktop.indexed.posted.clear();
    }
    const unsigned long allocations = g_allocations - allocationsBefore;
    SetTraceTransport(nullptr);
    const auto perTick = [&](double total) {
        return benchmark::Counter(total / static_cast<double>(state.iterations()));
    };
    state.counters["lines/tick"] = perTick(static_cast<double>(transport.lines));
    state.counters["allocs/tick"] = perTick(static_cast<double>(allocations));
}

void BM_DoTimer_ClientAbsent(benchmark::State& state) { RunTicks(state, false); }
void BM_DoTimer_ClientPresent(benchmark::State& state) { RunTicks(state, true); }

// The argument is the number of running processes.
BENCHMARK(BM_DoTimer_ClientAbsent)->Arg(300)->Arg(3000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DoTimer_ClientPresent)->Arg(300)->Arg(3000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
