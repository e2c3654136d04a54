// The harness of the Windows suites: the end-to-end tests run the real
// QRTLIRMoni.exe with the simulated card driver and the stand-in client in a fresh
// folder, capture its trace lines with a "MsgCapForm" window of their own, feed
// codes through the driver's queue folder and wait with deadlines, pumping this
// thread's messages all the while (the monitor's trace send waits for our window
// procedure); the adapter tests start their helper programs, make their files and
// wait the same way.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/win32/Handle.h"
#include "product.h"

namespace e2e {

constexpr const char* kMonitorExeName = product::kMonitorExe;
constexpr const char* kDriverName = product::kDriverNt;
using product::kProfileName;
constexpr DWORD kStartTimeoutMs = 15000;
constexpr const char* kMonitorTitle = product::kMonitorCaption;
constexpr const char* kSetupTitle = product::kSetupCaption;
constexpr char kStandinClass[] = "StandinTVClass";
constexpr char kStandinCaption[] = "Standin TV";
using product::kRunKey;
using product::kRunValue;
constexpr UINT kWmTrayIcon = 0x888;
constexpr WORD kIdMenuClose = product::kIdMenuClose;
constexpr int kIdHistoryList = 1000;
constexpr int kIdComboClient = 1008;
constexpr int kIdCheckShutDown = 1009;
constexpr int kIdCheckAutoRun = 1010;

// A path of the build tree as Wine sees it: "/a/b" becomes "Z:\a\b".
std::string WinPath(const std::string& unixPath);

// How long a message sent to another process's window may take. The monitor does
// not answer while its POWER prompt watches the receiver (two to three seconds).
constexpr DWORD kSendTimeoutMs = 8000;

// SendMessageA to a window of another process, given up after kSendTimeoutMs;
// `fallback` when it was not answered.
LRESULT SendWithin(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT fallback = -1);

// Pumps this thread's messages until `done` holds or `timeoutMs` has passed.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
void PumpFor(DWORD ms);

struct TraceLine {
    long level;
    std::string text;
    DWORD tick;  // arrival, GetTickCount
};

// A hidden top-level window titled "MsgCapForm" that keeps every line it receives.
class TraceCapture {
public:
    TraceCapture() = default;
    ~TraceCapture();
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    bool Open();
    const std::vector<TraceLine>& Lines() const { return lines_; }
    size_t Size() const { return lines_.size(); }
    // Lines at index `from` or later whose text contains `needle`.
    size_t Count(const std::string& needle, size_t from = 0) const;
    std::string Dump(size_t from = 0) const;

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND wnd_ = nullptr;
    std::vector<TraceLine> lines_;
};

// A fresh folder under the Windows temp folder (or under `under`), removed with its
// contents at the end.
class TempFolder {
public:
    TempFolder() = default;
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool Create(const std::string& hint, const std::string& under = std::string());
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// The folder of the running test program, and the temporary folder; both with a
// trailing backslash.
std::string ExeDir();
std::string TempDir();
// A name no other test of this run uses: the stem, this process's id and a counter.
std::string UniqueName(const char* stem);

// A file in the temporary folder, deleted when the test ends.
class TempFile {
public:
    explicit TempFile(const char* stem);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& path() const { return path_; }
    std::string Read() const;

private:
    std::string path_;
};

bool WriteTextFile(const std::string& path, const std::string& text);
// Whole file; empty when it does not exist.
std::string ReadTextFile(const std::string& path);
bool FileExists(const std::string& path);
// Writes `to`, a copy of the program `from` whose first menu resource is damaged: it
// points at `tail`, written over the last bytes of the file's last section, and
// claims `claimed` bytes, far past the file. False when the file is no such program.
bool CopyWithDamagedMenu(const std::string& from, const std::string& to, const std::string& tail,
                         uint32_t claimed);
bool MakeDir(const std::string& path);
size_t CountOccurrences(const std::string& text, const std::string& needle);
std::vector<std::string> LinesContaining(const std::string& text, const std::string& needle);

// Standard handles for a started process (inheritable); null ones keep the default.
struct StdHandles {
    HANDLE in = nullptr;
    HANDLE out = nullptr;
    HANDLE err = nullptr;
};

// A process started by the test; ended by the owner, never left running. Every such
// process, and what it starts in turn, also belongs to one job of this test program
// that ends them all when the program ends, even when it is killed by a timeout.
class ChildProcess {
public:
    ChildProcess() = default;
    // The last resort: a process still running when its owner goes is terminated.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Start(const std::string& commandLine, const std::string& directory,
               const StdHandles& io = StdHandles{});
    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_.get(); }
    bool Running() const;
    // Pumps messages while waiting; true when the process has ended.
    bool WaitExit(DWORD timeoutMs) const;
    DWORD ExitCode() const;
    void Terminate();
    // Ends it as a user would: WM_CLOSE to its windows, TerminateProcess only when
    // it does not end by itself.
    void Stop();
    // Its top-level window with that class and caption once the helper has marked it
    // complete; null when it does not come in time or the process ends.
    HWND WaitForWindow(const char* className, const char* caption,
                       DWORD timeoutMs = kStartTimeoutMs) const;

private:
    qrtl::win32::UniqueHandleObj process_;
    DWORD id_ = 0;
};

// Top-level windows (hidden ones too) of process `pid` with the exact title, or of
// any process when `pid` is 0; a null title matches any.
HWND FindProcessWindow(DWORD pid, const char* title, const char* className = nullptr);
std::vector<HWND> ProcessWindows(DWORD pid);
DWORD WindowProcessId(HWND wnd);
std::string WindowText(HWND wnd);
// The text of the first child window of `wnd` (statics keep their text server-side).
std::string FirstChildText(HWND wnd);
std::vector<std::string> ListBoxItems(HWND list);
std::vector<std::string> ComboItems(HWND combo);

// Ends a process that the test did not start itself (one the monitor launched).
void EndProcessById(DWORD pid);

// The screen's dots per inch for the programs started from now on, as Wine reads it
// when a program starts (the user's setting and the machine's); 96 is the default.
bool SetScreenDpi(int dpi);

// Registry: a key under HKEY_LOCAL_MACHINE made by the test and deleted at the end.
class MachineKeyGuard {
public:
    explicit MachineKeyGuard(std::string path) : path_(std::move(path)) {}
    ~MachineKeyGuard();
    bool SetString(const std::string& name, const std::string& data);
    // Any value type and bytes, as given: no terminating zero is added.
    bool SetRaw(const std::string& name, DWORD type, const std::string& bytes);

private:
    std::string path_;
};

// The autorun value: read from the machine's key (HKEY_LOCAL_MACHINE) or the user's,
// and deleted again from both keys at the end of a test that may write it.
bool ReadRunValue(std::string& data, HKEY root = HKEY_LOCAL_MACHINE);
void DeleteRunValue();

}  // namespace e2e
