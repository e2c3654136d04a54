// A simulated card driver library: the eight entry points of the capture card's
// I2C driver, with the infrared receiver fed from a folder of queued code files.
//
// Control channel (the queue folder, by default "irqueue" beside this DLL, or the
// folder named by QRDSIM_QUEUE):
//   - each file holds one decimal code 0-255; a receiver read takes the file with
//     the lowest name, deletes it and delivers the code; with no file the read
//     leaves the caller's variable unchanged (no key pressed);
//   - names beginning with "." or ending in ".tmp" are ignored, so a writer can
//     write "name.tmp" and rename it when complete;
//   - a file "fail-init" makes QRDiI2CInit report failure;
//   - hostile drivers, for robustness tests: a file "crash-init" makes QRDiI2CInit
//     write through a null pointer; "read-error" makes every receiver read fail
//     (result 0, the caller's variable untouched, the queue left alone);
//     "read-slow" makes every receiver read take two seconds first; "read-hang" makes
//     a receiver read wait while that file exists (at most a minute); "read-spin"
//     makes it run on the processor inside the library while that file exists (at
//     most a minute): a caller that unloads the library meanwhile crashes at once.
// Every call is logged with a timestamp to "simdriver.log" beside this DLL, or to
// the file named by QRDSIM_LOG.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "driver/CardDriverApi.h"
#include "platform/win32/Handle.h"
#include "tools/common/ToolSupport.h"

namespace {

using qrtl::win32::UniqueFile;
using qrtl::win32::UniqueFind;

constexpr char kQueueEnv[] = "QRDSIM_QUEUE";
constexpr char kLogEnv[] = "QRDSIM_LOG";
constexpr char kFailInitName[] = "fail-init";
constexpr char kCrashInitName[] = "crash-init";
constexpr char kReadErrorName[] = "read-error";
constexpr char kReadSlowName[] = "read-slow";
constexpr char kReadHangName[] = "read-hang";
constexpr char kReadSpinName[] = "read-spin";
constexpr DWORD kSlowReadMs = 2000;
constexpr DWORD kHangPollMs = 100;
constexpr int kHangLimitPolls = 600;
constexpr DWORD kSpinLimitMs = 60000;

HMODULE g_module = nullptr;

std::string FromEnvOr(const char* name, const std::string& fallback) {
    char value[MAX_PATH] = {};
    const DWORD n = ::GetEnvironmentVariableA(name, value, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return fallback;
    return std::string(value, n);
}

std::string QueueDir() {
    return FromEnvOr(kQueueEnv, tools::ModuleFolder(g_module) + "\\irqueue");
}
std::string LogPath() {
    return FromEnvOr(kLogEnv, tools::ModuleFolder(g_module) + "\\simdriver.log");
}

// One line per call, with the calling process, appended and closed at once so
// readers see it immediately.
void Log(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (n < 0) return;
    tools::AppendLogLine(LogPath(), "pid=" + std::to_string(::GetCurrentProcessId()) + " " + text);
}

// A control file of that name in the queue folder.
bool MarkerPresent(const char* name) {
    return ::GetFileAttributesA((QueueDir() + "\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsCodeFileName(const char* name) {
    if (name[0] == '.') return false;
    for (const char* marker : {kFailInitName, kCrashInitName, kReadErrorName, kReadSlowName, kReadHangName, kReadSpinName})
        if (std::strcmp(name, marker) == 0) return false;
    const size_t len = std::strlen(name);
    return !(len >= 4 && _stricmp(name + len - 4, ".tmp") == 0);
}

// The queued file with the lowest name, or empty.
std::string LowestQueuedName(const std::string& dir) {
    WIN32_FIND_DATAA data;
    const UniqueFind find(::FindFirstFileA((dir + "\\*").c_str(), &data));
    if (!find) return {};
    std::string lowest;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (!IsCodeFileName(data.cFileName)) continue;
        if (lowest.empty() || std::strcmp(data.cFileName, lowest.c_str()) < 0)
            lowest = data.cFileName;
    } while (::FindNextFileA(find.get(), &data));
    return lowest;
}

bool ReadWholeFile(const std::string& path, std::string& out) {
    char buf[64] = {};
    DWORD got = 0;
    {  // closed again before the caller deletes the file
        const UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        if (!::ReadFile(file.get(), buf, sizeof buf - 1, &got, nullptr)) return false;
    }
    out.assign(buf, got);
    return true;
}

// Takes the next queued code: claims the file by renaming it (so two readers never
// get the same code), reads it and deletes it. -1 when nothing usable is queued.
int TakeQueuedCode(std::string& fromName) {
    const std::string dir = QueueDir();
    for (;;) {
        const std::string name = LowestQueuedName(dir);
        if (name.empty()) return -1;
        const std::string path = dir + "\\" + name;
        const std::string claimed = dir + "\\.taken-" + name;
        if (!::MoveFileA(path.c_str(), claimed.c_str())) {
            // Another reader took it, or it is still open for writing: try again later.
            return -1;
        }
        std::string text;
        const bool read = ReadWholeFile(claimed, text);
        ::DeleteFileA(claimed.c_str());
        fromName = name;
        if (!read) continue;
        char* end = nullptr;
        const long code = std::strtol(text.c_str(), &end, 10);
        while (end && (*end == ' ' || *end == '\t' || *end == '\r' || *end == '\n')) ++end;
        if (end == text.c_str() || (end && *end != '\0') || code < 0 || code > 255) {
            Log("queue file %s ignored: not a code 0-255", name.c_str());
            continue;
        }
        return static_cast<int>(code);
    }
}

}  // namespace

extern "C" {

QRTL_CARD_DRIVER_ENTRY_POINTS(QRTL_CARD_DRIVER_EXPORT)

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        ::DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

int32_t QRTL_CARD_CALL QRDiNvConfigGet(int32_t index, uint32_t* value) {
    Log("QRDiNvConfigGet(%d, %p) -> 0", static_cast<int>(index), static_cast<void*>(value));
    return 0;
}

int32_t QRTL_CARD_CALL QRDiNvConfigSet(int32_t index, uint32_t value) {
    Log("QRDiNvConfigSet(%d, %u) -> 0", static_cast<int>(index), static_cast<unsigned>(value));
    return 0;
}

int32_t QRTL_CARD_CALL QRDiI2CInit() {
    if (MarkerPresent(kCrashInitName)) {
        Log("QRDiI2CInit() -> crashes");
        // A driver that faults inside its initialisation: an access violation at an
        // address no process may touch (Wine maps page zero, so not there), through a
        // pointer the compiler cannot see through.
        int* volatile target = reinterpret_cast<int*>(static_cast<uintptr_t>(0xFFFFF000u));
        *target = 1;
    }
    const int result = MarkerPresent(kFailInitName) ? 0 : 1;
    Log("QRDiI2CInit() -> %d", result);
    return result;
}

int32_t QRTL_CARD_CALL QRDiI2CWriteByte(int32_t device, int32_t subAddress, uint32_t value) {
    Log("QRDiI2CWriteByte(0x%02X, %d, %u) -> 1", device, subAddress, value);
    return 1;
}

int32_t QRTL_CARD_CALL QRDiI2CReadByte(int32_t device, int32_t subAddress, uint32_t* value) {
    if (device != carddriver::kIrDeviceAddress || subAddress != carddriver::kIrSubAddress || value == nullptr) {
        Log("QRDiI2CReadByte(0x%02X, %d) -> no such register", device, subAddress);
        return 0;
    }
    if (MarkerPresent(kReadErrorName)) {
        Log("QRDiI2CReadByte(0x%02X, %d) -> error", device, subAddress);
        return 0;
    }
    if (MarkerPresent(kReadSlowName)) {
        Log("QRDiI2CReadByte(0x%02X, %d) slow read begins", device, subAddress);
        ::Sleep(kSlowReadMs);
    }
    if (MarkerPresent(kReadHangName)) {
        Log("QRDiI2CReadByte(0x%02X, %d) hangs", device, subAddress);
        for (int i = 0; i < kHangLimitPolls && MarkerPresent(kReadHangName); ++i) ::Sleep(kHangPollMs);
    }
    if (MarkerPresent(kReadSpinName)) {
        Log("QRDiI2CReadByte(0x%02X, %d) spins", device, subAddress);
        // Busy in this library's own code; the marker is looked at every poll interval.
        const DWORD start = ::GetTickCount();
        DWORD lastLook = start;
        for (;;) {
            const DWORD now = ::GetTickCount();
            if (now - start >= kSpinLimitMs) break;
            if (now - lastLook >= kHangPollMs) {
                lastLook = now;
                if (!MarkerPresent(kReadSpinName)) break;
            }
        }
        Log("QRDiI2CReadByte(0x%02X, %d) spin ends", device, subAddress);
    }
    std::string from;
    const int code = TakeQueuedCode(from);
    if (code < 0) {
        Log("QRDiI2CReadByte(0x%02X, %d) -> none", device, subAddress);
        return 1;
    }
    *value = static_cast<uint32_t>(code);
    Log("QRDiI2CReadByte(0x%02X, %d) -> %d (queue file %s)", device, subAddress, code,
        from.c_str());
    return 1;
}

int32_t QRTL_CARD_CALL QRDiI2CWriteWord(int32_t device, int32_t subAddress, uint32_t value) {
    Log("QRDiI2CWriteWord(0x%02X, %d, %u) -> 1", device, subAddress, value);
    return 1;
}

int32_t QRTL_CARD_CALL QRDiI2CReadWord(int32_t device, int32_t subAddress, uint32_t* value) {
    Log("QRDiI2CReadWord(0x%02X, %d) -> 0", device, subAddress);
    if (value) *value = 0;
    return 1;
}

int32_t QRTL_CARD_CALL QRDiI2CClose() {
    Log("QRDiI2CClose()");
    return 1;
}

}  // extern "C"
