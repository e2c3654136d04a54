#include "Receiver.h"

#include "dispatch/Dispatch.h"
#include "driver/CardDriver.h"
#include "platform/win32/Handle.h"

namespace remote {

namespace {

constexpr DWORD kReadIntervalMs = 100;
constexpr DWORD kStopWaitMs = 3000;  // a slow driver's read takes up to two seconds

// What the worker shares with the window. One receiver per process, and a worker
// stuck in the driver may wake at any time: it lives until the process ends.
struct Worker {
    qrtl::win32::UniqueHandleObj thread;
    HWND notify = nullptr;
    UINT message = 0;
    volatile LONG stop = 0;
    volatile LONG run = 0;
    volatile LONG readStart = 0;  // GetTickCount at the start of the read in progress
    volatile LONG inRead = 0;
};

Worker& TheWorker() {
    static Worker* worker = new Worker;  // never destroyed: see above
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
        ::PostMessageW(w.notify, w.message, code & 0xFFu, (static_cast<LPARAM>(run) << 1) | (got ? 1 : 0));
        ::Sleep(kReadIntervalMs);
    }
    return 0;
}

}  // namespace

Receiver::~Receiver() {
    Stop();
    Close();
}

bool Receiver::Open(std::string& why) {
    if (open_) return true;
    const char* name = CardDriverFileName();
    bool present = false;
    // As the monitor loads it: the program's folder in place of the current one, and
    // the standard search back afterwards, so that the monitor started from here
    // later does not inherit it.
    const BOOL loaded = qrtl::LoadWithProgramFolderSearch([&] {
        if (LoadCardDriver()) return TRUE;
        // Loaded as data only, under the same search, to tell a missing library from
        // a card that does not start.
        present = static_cast<bool>(
            qrtl::win32::UniqueHModule(::LoadLibraryExA(name, nullptr, LOAD_LIBRARY_AS_DATAFILE)));
        return FALSE;
    });
    if (loaded) {
        open_ = true;
        return true;
    }
    why = present ? std::string("the card driver ") + name + " is there, but the card does not start"
                  : std::string("the card driver ") + name +
                        " is not found beside the programs or in the system folder";
    return false;
}

bool Receiver::Start(HWND notify, UINT message) {
    Worker& w = TheWorker();
    if (!open_ || w.thread) return false;
    w.notify = notify;
    w.message = message;
    w.stop = 0;
    ::InterlockedIncrement(&w.run);
    w.thread.reset(::CreateThread(nullptr, 0, ReadLoop, &w, 0, nullptr));
    return static_cast<bool>(w.thread);
}

bool Receiver::Stop() {
    Worker& w = TheWorker();
    if (!w.thread) return true;
    ::InterlockedExchange(&w.stop, 1);
    if (::WaitForSingleObject(w.thread.get(), kStopWaitMs) != WAIT_OBJECT_0) return false;
    w.thread.reset();
    return true;
}

bool Receiver::Reading() const { return static_cast<bool>(TheWorker().thread); }

LPARAM Receiver::Run() const { return TheWorker().run; }

DWORD Receiver::ReadRunningForMs() const {
    Worker& w = TheWorker();
    if (!w.thread || ::InterlockedCompareExchange(&w.inRead, 0, 0) == 0) return 0;
    return ::GetTickCount() - static_cast<DWORD>(::InterlockedCompareExchange(&w.readStart, 0, 0));
}

void Receiver::Close() {
    if (!open_) return;
    // A worker stuck inside the driver: closing or unloading it under its feet would
    // crash; the process's end takes it down instead.
    if (TheWorker().thread && !Stop()) return;
    CloseCardDriver();
    open_ = false;
}

}  // namespace remote
