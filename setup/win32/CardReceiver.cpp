#include "setup/win32/CardReceiver.h"

#include <cstdio>
#include <deque>

#include "dispatch/Dispatch.h"
#include "driver/CardDriver.h"
#include "product.h"
#include "setup/PressDetector.h"

namespace qrtl::win32 {

namespace {

// What the worker shares with the tool. One receiver per process, and a worker
// stuck in the driver may wake at any time: it lives until the process ends.
struct Worker {
    UniqueHandleObj thread;
    CRITICAL_SECTION lock;
    struct Read {
        LONG run;
        bool got;
        uint32_t code;
    };
    std::deque<Read> reads;  // under `lock`
    HWND notify = nullptr;
    UINT message = 0;
    volatile LONG stop = 0;
    volatile LONG abandoned = 0;
    volatile LONG run = 0;
    volatile LONG readStart = 0;  // GetTickCount at the start of the read in progress
    volatile LONG inRead = 0;
    volatile LONG closeDriver = 0;  // released during a read: the worker closes the driver
    HANDLE wake = nullptr;          // set when told to stop: the pause between reads ends at once
};

// A read that has run no longer than this is waited for when the receiver is let
// go: a normal read answers within milliseconds, and the receiver is then free at
// once for the next learn or another tool. A longer one is left to the worker.
constexpr DWORD kQuickReadMs = 150;

// Reads left unread beyond this are dropped: a tool that stopped taking them
// does not let the queue grow.
constexpr std::size_t kMaxQueuedReads = 256;

Worker& TheWorker() {
    static Worker* worker = [] {
        auto* w = new Worker;  // never destroyed: see above
        ::InitializeCriticalSection(&w->lock);
        w->wake = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        return w;
    }();
    return *worker;
}

DWORD WINAPI ReadLoop(void* parameter) {
    Worker& w = *static_cast<Worker*>(parameter);
    const LONG run = w.run;
    CardDriverReader card;
    while (::InterlockedCompareExchange(&w.stop, 0, 0) == 0) {
        ::InterlockedExchange(&w.readStart, static_cast<LONG>(::GetTickCount()));
        ::InterlockedExchange(&w.inRead, 1);
        uint32_t code = 0;
        const bool got = dispatch::ReadIrByte(card, code);
        ::InterlockedExchange(&w.inRead, 0);
        // A read that came back after the tool gave up on it is dropped.
        if (::InterlockedCompareExchange(&w.stop, 0, 0) != 0) break;
        ::EnterCriticalSection(&w.lock);
        if (w.reads.size() < kMaxQueuedReads) w.reads.push_back({run, got, code & 0xFFu});
        ::LeaveCriticalSection(&w.lock);
        if (w.notify) ::PostMessageW(w.notify, w.message, 0, 0);
        ::WaitForSingleObject(w.wake, setup::kLearnReadIntervalMs);
    }
    // Released while this read ran: nobody else may touch the driver until we leave.
    if (::InterlockedCompareExchange(&w.closeDriver, 0, 0) != 0) {
        CloseCardDriver();
        if (w.notify) ::PostMessageW(w.notify, w.message, 0, 0);
    }
    return 0;
}

bool ThreadEnded(const Worker& w) {
    return !w.thread || ::WaitForSingleObject(w.thread.get(), 0) == WAIT_OBJECT_0;
}

// Loaded as data only, under the search in force: a library that is there but
// does not start is told from a missing one.
bool LoadsAsData(const std::string& name) {
    return static_cast<bool>(UniqueHModule(::LoadLibraryExA(name.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)));
}

std::string LockName() { return std::string(product::kProduct) + " receiver of the set-up tools"; }

}  // namespace

CardReceiver::~CardReceiver() {
    Close();
    EndProcessIfStuck(0);
}

bool CardReceiver::DriverPresent() {
    bool present = false;
    LoadWithProgramFolderSearch([&] {
        present = LoadsAsData(CardDriverFileName());
        return FALSE;
    });
    return present;
}

bool CardReceiver::TakeLock() {
    Settle();
    if (lock_) return true;
    UniqueHandleObj lock(::CreateMutexA(nullptr, FALSE, LockName().c_str()));
    if (!lock) return false;
    // Abandoned: its holder ended without giving it back, so it is ours now.
    const DWORD taken = ::WaitForSingleObject(lock.get(), 0);
    if (taken != WAIT_OBJECT_0 && taken != WAIT_ABANDONED) return false;
    lock_ = std::move(lock);
    return true;
}

ReceiverOpen CardReceiver::Open(const std::string& driver) {
    if (Busy()) return ReceiverOpen::Busy;  // never loaded again under the worker
    if (open_) return ReceiverOpen::Ok;
    if (!lock_) return ReceiverOpen::NoCard;
    const std::string name = driver.empty() ? CardDriverFileName() : driver;
    bool present = false;
    // As the monitor loads it: the program's folder in place of the current one, and
    // the standard search back afterwards, so that a monitor started from here
    // later does not inherit it.
    const BOOL loaded = LoadWithProgramFolderSearch([&] {
        if (driver.empty() ? LoadCardDriver() : LoadCardDriverFrom(driver.c_str())) return TRUE;
        present = LoadsAsData(name);
        return FALSE;
    });
    if (!loaded) return present ? ReceiverOpen::NoCard : ReceiverOpen::Missing;
    open_ = true;
    return ReceiverOpen::Ok;
}

bool CardReceiver::Start(HWND notify, UINT message) {
    Worker& w = TheWorker();
    if (!open_ || w.thread) return false;
    ::EnterCriticalSection(&w.lock);
    w.reads.clear();
    ::LeaveCriticalSection(&w.lock);
    w.notify = notify;
    w.message = message;
    w.stop = 0;
    w.abandoned = 0;
    w.closeDriver = 0;
    ::ResetEvent(w.wake);
    ::InterlockedIncrement(&w.run);
    w.thread.reset(::CreateThread(nullptr, 0, ReadLoop, &w, 0, nullptr));
    return static_cast<bool>(w.thread);
}

bool CardReceiver::TakeRead(bool& got, uint32_t& code) {
    Worker& w = TheWorker();
    bool any = false;
    ::EnterCriticalSection(&w.lock);
    while (!any && !w.reads.empty()) {
        const Worker::Read read = w.reads.front();
        w.reads.pop_front();
        if (read.run != w.run) continue;  // from a run already stopped
        got = read.got;
        code = read.code;
        any = true;
    }
    ::LeaveCriticalSection(&w.lock);
    return any;
}

DWORD CardReceiver::ReadRunningForMs() const {
    Worker& w = TheWorker();
    if (!w.thread || ::InterlockedCompareExchange(&w.inRead, 0, 0) == 0) return 0;
    return ::GetTickCount() - static_cast<DWORD>(::InterlockedCompareExchange(&w.readStart, 0, 0));
}

void CardReceiver::Abandon() {
    Worker& w = TheWorker();
    ::InterlockedExchange(&w.stop, 1);
    ::InterlockedExchange(&w.abandoned, 1);
    ::SetEvent(w.wake);
}

bool CardReceiver::Stuck() const {
    const Worker& w = TheWorker();
    return w.abandoned != 0 && !ThreadEnded(w);
}

bool CardReceiver::Stop() {
    Worker& w = TheWorker();
    if (!w.thread) return true;
    ::InterlockedExchange(&w.stop, 1);
    ::SetEvent(w.wake);
    if (Stuck()) return false;  // given up already: no waiting again
    // A read in progress may take until the hang limit; a longer one is taken for hung.
    const DWORD running = ReadRunningForMs();
    const DWORD wait = running < setup::kReadHangMs ? setup::kReadHangMs - running + setup::kLearnReadIntervalMs
                                                    : setup::kLearnReadIntervalMs;
    if (::WaitForSingleObject(w.thread.get(), wait) != WAIT_OBJECT_0) {
        Abandon();
        return false;
    }
    w.thread.reset();
    return true;
}

void CardReceiver::Release() {
    Worker& w = TheWorker();
    ::InterlockedExchange(&w.stop, 1);
    ::SetEvent(w.wake);
    const DWORD running = ReadRunningForMs();
    if (w.thread && !Stuck() && running < kQuickReadMs)
        ::WaitForSingleObject(w.thread.get(), kQuickReadMs - running);
    if (ThreadEnded(w) || Stuck()) {
        Close();
        return;
    }
    // The driver is the worker's until it leaves; nothing here touches it meanwhile.
    ::InterlockedExchange(&w.closeDriver, 1);
    open_ = false;
    releasing_ = true;
}

bool CardReceiver::Busy() {
    Settle();
    return releasing_;
}

void CardReceiver::Settle() {
    Worker& w = TheWorker();
    if (!releasing_ || !ThreadEnded(w)) return;
    w.thread.reset();
    releasing_ = false;
    // The worker may have left just before it was told to close the driver; a second
    // close does nothing.
    CloseCardDriver();
    Close();
}

void CardReceiver::Close() {
    if (releasing_) {
        Settle();
        if (releasing_) {
            // Ending now: waited for as Stop waits, then taken for hung.
            open_ = true;
            releasing_ = false;
        }
    }
    if (!Stop()) return;  // a worker inside the driver: it stays loaded, the lock held
    if (open_) CloseCardDriver();
    open_ = false;
    if (lock_) {
        ::ReleaseMutex(lock_.get());
        lock_.reset();
    }
}

void CardReceiver::EndProcessIfStuck(UINT exitCode) {
    if (!Stuck()) return;
    std::fflush(nullptr);
    ::TerminateProcess(::GetCurrentProcess(), exitCode);
}

}  // namespace qrtl::win32
