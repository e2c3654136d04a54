// For the Windows adapter tests: starts windowhost.exe (or a copy) in another
// process, waits for its window with a bounded poll, and always ends it again.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>

#include "platform/win32/Handle.h"

namespace helper {

constexpr DWORD kPollMs = 20;
constexpr DWORD kWindowWaitMs = 15000;
constexpr DWORD kCloseWaitMs = 3000;
// Set on the host's window once it is complete (children created).
constexpr char kReadyProperty[] = "QrtlHostReady";

// The folder of the running test program, with a trailing backslash.
inline std::string ExeDir() {
    char path[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n < MAX_PATH ? n : 0);
    return s.substr(0, s.find_last_of("\\/") + 1);
}

// The temporary folder, with a trailing backslash.
inline std::string TempDir() {
    char path[MAX_PATH] = {};
    const DWORD n = ::GetTempPathA(MAX_PATH, path);
    return std::string(path, n < MAX_PATH ? n : 0);
}

inline std::string HostExe() { return ExeDir() + "windowhost.exe"; }

// A name no other test of this run uses: the test's own process id and a counter.
inline std::string UniqueName(const char* stem) {
    static unsigned counter = 0;
    char text[96];
    std::snprintf(text, sizeof(text), "%s-%lu-%u", stem,
                  static_cast<unsigned long>(::GetCurrentProcessId()), ++counter);
    return text;
}

inline bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline std::string ReadWholeFile(const std::string& path) {
    std::string data;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return data;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0) data.append(buffer, n);
    std::fclose(f);
    return data;
}

// Polls `done` every kPollMs until it holds or `timeoutMs` has passed.
template <typename Pred>
bool WaitUntil(Pred done, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (done()) return true;
        if (::GetTickCount() - start >= timeoutMs) return false;
        ::Sleep(kPollMs);
    }
}

// A file in the temporary folder that is deleted when the test ends.
class TempFile {
public:
    explicit TempFile(const char* stem) : path_(TempDir() + UniqueName(stem) + ".log") {
        ::DeleteFileA(path_.c_str());
    }
    ~TempFile() { ::DeleteFileA(path_.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& path() const { return path_; }
    std::string Read() const { return ReadWholeFile(path_); }

private:
    std::string path_;
};

struct CloseTarget {
    DWORD processId;
};

inline BOOL CALLBACK PostCloseToProcessWindows(HWND hWnd, LPARAM lParam) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hWnd, &owner);
    if (owner == reinterpret_cast<const CloseTarget*>(lParam)->processId) {
        ::PostMessageA(hWnd, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

// A helper program in another process; ended on every path, also when an
// assertion fails: WM_CLOSE to its windows first, then TerminateProcess.
class HelperProcess {
public:
    HelperProcess() = default;
    ~HelperProcess() { Stop(); }
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    bool Start(const std::string& exe, const std::string& arguments) {
        Stop();
        std::string commandLine = "\"" + exe + "\" " + arguments;
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION started{};
        if (!::CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &started)) {
            return false;
        }
        process_.reset(started.hProcess);
        qrtl::win32::UniqueHandleObj thread(started.hThread);
        processId_ = started.dwProcessId;
        return true;
    }

    // The complete top-level window of this process with that class and caption, or null.
    HWND WaitForWindow(const char* className, const char* caption,
                       DWORD timeoutMs = kWindowWaitMs) const {
        HWND found = nullptr;
        WaitUntil(
            [&] {
                HWND h = ::FindWindowA(className, caption);
                DWORD owner = 0;
                if (h != nullptr) ::GetWindowThreadProcessId(h, &owner);
                // The host marks its window only once its children exist.
                if (h != nullptr && owner == processId_ && ::GetPropA(h, kReadyProperty)) {
                    found = h;
                }
                return found != nullptr || HasExited();
            },
            timeoutMs);
        return found;
    }

    bool HasExited() const {
        return !process_ || ::WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0;
    }

    void Stop() {
        if (!process_) return;
        if (!HasExited()) {
            CloseTarget target{processId_};
            ::EnumWindows(PostCloseToProcessWindows, reinterpret_cast<LPARAM>(&target));
            if (::WaitForSingleObject(process_.get(), kCloseWaitMs) != WAIT_OBJECT_0) {
                ::TerminateProcess(process_.get(), 1);
                ::WaitForSingleObject(process_.get(), kCloseWaitMs);
            }
        }
        process_.reset();
        processId_ = 0;
    }

    DWORD id() const { return processId_; }
    HANDLE handle() const { return process_.get(); }

private:
    qrtl::win32::UniqueHandleObj process_;
    DWORD processId_ = 0;
};

}  // namespace helper
