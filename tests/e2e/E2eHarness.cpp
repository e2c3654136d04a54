#include "E2eHarness.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "tools/common/ToolSupport.h"

namespace e2e {

namespace {

constexpr char kCaptureClass[] = "QRTLE2eTraceCapture";
constexpr const char* kCaptureTitle = product::kTraceViewerTitle;
constexpr DWORD kPumpSliceMs = 20;
constexpr size_t kMaxTraceText = 1024;
constexpr int kRemoveAttempts = 20;

using qrtl::win32::UniqueFile;
using qrtl::win32::UniqueFind;
using qrtl::win32::UniqueHandleObj;

bool Expired(DWORD deadline) { return static_cast<LONG>(::GetTickCount() - deadline) >= 0; }

void PumpPending() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

bool RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA data;
    if (const UniqueFind find{::FindFirstFileA((dir + "\\*").c_str(), &data)}) {
        do {
            if (std::strcmp(data.cFileName, ".") == 0 || std::strcmp(data.cFileName, "..") == 0)
                continue;
            const std::string child = dir + "\\" + data.cFileName;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                ::SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileA(child.c_str());
            }
        } while (::FindNextFileA(find.get(), &data));
    }
    return ::RemoveDirectoryA(dir.c_str()) != 0;
}

// The job of every process this program starts: closed at exit, by whatever way the
// program ends, it ends those processes too. Null when no such job can be made.
HANDLE ChildrenJob() {
    static const UniqueHandleObj job = [] {
        UniqueHandleObj made(::CreateJobObjectA(nullptr, nullptr));
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (made && !::SetInformationJobObject(made.get(), JobObjectExtendedLimitInformation,
                                               &limits, sizeof limits))
            made.reset();
        return made;
    }();
    return job.get();
}

struct FindArgs {
    DWORD pid;
    const char* title;
    const char* className;
    HWND found;
    std::vector<HWND>* all;
};

BOOL CALLBACK FindWindowProc(HWND wnd, LPARAM lParam) {
    auto* args = reinterpret_cast<FindArgs*>(lParam);
    if (args->pid != 0 && WindowProcessId(wnd) != args->pid) return TRUE;
    if (args->all) {
        args->all->push_back(wnd);
        return TRUE;
    }
    if (args->title && WindowText(wnd) != args->title) return TRUE;
    if (args->className) {
        char cls[256] = {};
        if (!::GetClassNameA(wnd, cls, sizeof cls) || std::strcmp(cls, args->className) != 0)
            return TRUE;
    }
    args->found = wnd;
    return FALSE;
}

}  // namespace

std::string WinPath(const std::string& unixPath) {
    std::string out = "Z:" + unixPath;
    for (char& c : out)
        if (c == '/') c = '\\';
    return out;
}

LRESULT SendWithin(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT fallback) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutA(wnd, msg, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs, &result))
        return fallback;
    return static_cast<LRESULT>(result);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD deadline = ::GetTickCount() + timeoutMs;
    for (;;) {
        PumpPending();
        if (done()) return true;
        if (Expired(deadline)) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, kPumpSliceMs, QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

// ---------------------------------------------------------------- TraceCapture

TraceCapture::~TraceCapture() {
    if (wnd_) ::DestroyWindow(wnd_);
}

bool TraceCapture::Open() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = kCaptureClass;
    // Registered once per process; a second registration fails harmlessly.
    ::RegisterClassA(&wc);
    // Top-level and hidden: the monitor finds its viewer by title with FindWindowA,
    // which does not see message-only windows.
    wnd_ = ::CreateWindowExA(0, kCaptureClass, kCaptureTitle, WS_OVERLAPPED, 0, 0, 100, 100,
                             nullptr, nullptr, wc.hInstance, this);
    return wnd_ != nullptr;
}

LRESULT CALLBACK TraceCapture::WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    } else if (msg == WM_COPYDATA) {
        auto* self = reinterpret_cast<TraceCapture*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
        const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (self && cds && cds->lpData) {
            const char* data = static_cast<const char*>(cds->lpData);
            const size_t limit = cds->cbData < kMaxTraceText ? cds->cbData : kMaxTraceText;
            self->lines_.push_back({static_cast<long>(cds->dwData),
                                    std::string(data, strnlen(data, limit)),
                                    ::GetTickCount()});
        }
        return TRUE;
    }
    return ::DefWindowProcA(hWnd, msg, wParam, lParam);
}

size_t TraceCapture::Count(const std::string& needle, size_t from) const {
    size_t n = 0;
    for (size_t i = from; i < lines_.size(); ++i)
        if (lines_[i].text.find(needle) != std::string::npos) ++n;
    return n;
}

std::string TraceCapture::Dump(size_t from) const {
    std::string out;
    for (size_t i = from; i < lines_.size(); ++i)
        out += std::to_string(lines_[i].tick % 100000) + " [" + std::to_string(lines_[i].level) +
               "] " + lines_[i].text + "\n";
    return out;
}

// ---------------------------------------------------------------- files

TempFolder::~TempFolder() {
    if (path_.empty()) return;
    // Processes that just ended may still hold their files for a moment.
    for (int i = 0; i < kRemoveAttempts && !RemoveTree(path_); ++i) ::Sleep(100);
}

std::string ExeDir() {
    char path[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string s(path, n < MAX_PATH ? n : 0);
    return s.substr(0, s.find_last_of("\\/") + 1);
}

std::string TempDir() {
    char path[MAX_PATH] = {};
    const DWORD n = ::GetTempPathA(MAX_PATH, path);
    return std::string(path, n < MAX_PATH ? n : 0);
}

std::string UniqueName(const char* stem) {
    static unsigned counter = 0;
    return std::string(stem) + "-" + std::to_string(::GetCurrentProcessId()) + "-" +
           std::to_string(++counter);
}

TempFile::TempFile(const char* stem) : path_(TempDir() + UniqueName(stem) + ".log") {
    ::DeleteFileA(path_.c_str());
}

TempFile::~TempFile() { ::DeleteFileA(path_.c_str()); }

std::string TempFile::Read() const { return ReadTextFile(path_); }

bool TempFolder::Create(const std::string& hint, const std::string& under) {
    std::string base = under.empty() ? TempDir() : under;
    if (base.empty()) return false;
    if (base.back() == '\\') base.pop_back();
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = base + "\\qrtle2e-" + hint + "-" +
                                      std::to_string(::GetCurrentProcessId()) + "-" +
                                      std::to_string(++counter);
        if (::CreateDirectoryA(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return true;
        }
    }
    return false;
}

bool WriteTextFile(const std::string& path, const std::string& text) {
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                                   nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                                   nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written,
                       nullptr) &&
           written == text.size();
}

std::string ReadTextFile(const std::string& path) {
    UniqueFile file(
        ::CreateFileA(path.c_str(), GENERIC_READ,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    std::string out;
    char buf[4096];
    DWORD got = 0;
    while (::ReadFile(file.get(), buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
    return out;
}

namespace {

uint32_t Le(const std::string& bytes, std::size_t at, int width) {
    uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes.at(at + i));
    return value;
}

void PutLe32(std::string& bytes, std::size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

bool CopyWithDamagedMenu(const std::string& from, const std::string& to, const std::string& tail,
                         uint32_t claimed) {
    constexpr uint32_t kRtMenu = 4;
    constexpr uint32_t kSubdirectory = 0x80000000u;
    std::string file = ReadTextFile(from);
    try {
        const std::size_t pe = Le(file, 0x3C, 4);
        if (Le(file, pe, 4) != 0x00004550u) return false;  // "PE\0\0"
        const std::size_t sections = Le(file, pe + 6, 2);
        const std::size_t optional = pe + 24;
        const std::size_t table = optional + Le(file, pe + 20, 2);
        const uint32_t resourceRva = Le(file, optional + 96 + 2 * 8, 4);  // PE32 data directory 2
        struct Section {
            uint32_t rva, virtualSize, raw, rawSize;
        };
        std::vector<Section> all;
        for (std::size_t i = 0; i < sections; ++i) {
            const std::size_t at = table + i * 40;
            all.push_back({Le(file, at + 12, 4), Le(file, at + 8, 4), Le(file, at + 20, 4), Le(file, at + 16, 4)});
        }
        auto offsetOf = [&](uint32_t rva) -> std::size_t {
            for (const Section& s : all)
                if (rva >= s.rva && rva < s.rva + s.rawSize) return s.raw + (rva - s.rva);
            throw std::out_of_range("rva");
        };
        const std::size_t root = offsetOf(resourceRva);
        // Type RT_MENU, then its first name and first language: the data entry.
        auto entryOf = [&](std::size_t directory, bool wantMenu) -> uint32_t {
            const std::size_t count = Le(file, directory + 12, 2) + Le(file, directory + 14, 2);
            for (std::size_t i = 0; i < count; ++i) {
                const std::size_t entry = directory + 16 + i * 8;
                if (!wantMenu || Le(file, entry, 4) == kRtMenu) return Le(file, entry + 4, 4);
            }
            throw std::out_of_range("no menu");
        };
        uint32_t next = entryOf(root, true);
        for (int level = 0; level < 2; ++level) {
            if (!(next & kSubdirectory)) return false;
            next = entryOf(root + (next & ~kSubdirectory), false);
        }
        if (next & kSubdirectory) return false;
        const std::size_t dataEntry = root + next;
        // The last section with bytes in the file: the loader maps all of it.
        const Section* last = nullptr;
        for (const Section& s : all)
            if (s.rawSize > 0 && (last == nullptr || s.rva > last->rva)) last = &s;
        if (last == nullptr) return false;
        const uint32_t inFile = std::min(last->virtualSize, last->rawSize);
        if (inFile < tail.size() + 4) return false;
        const uint32_t start = static_cast<uint32_t>((inFile - tail.size()) & ~3u);
        file.replace(last->raw + start, tail.size(), tail);
        PutLe32(file, dataEntry, last->rva + start);
        PutLe32(file, dataEntry + 4, claimed);
    } catch (const std::out_of_range&) {
        return false;
    }
    return WriteTextFile(to, file);
}

bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MakeDir(const std::string& path) { return ::CreateDirectoryA(path.c_str(), nullptr) != 0; }

size_t CountOccurrences(const std::string& text, const std::string& needle) {
    size_t n = 0;
    for (size_t pos = text.find(needle); pos != std::string::npos;
         pos = text.find(needle, pos + needle.size()))
        ++n;
    return n;
}

std::vector<std::string> LinesContaining(const std::string& text, const std::string& needle) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find(needle) != std::string::npos) out.push_back(line);
        start = end + 1;
    }
    return out;
}

// ---------------------------------------------------------------- processes

ChildProcess::~ChildProcess() { Terminate(); }

bool ChildProcess::Start(const std::string& commandLine, const std::string& directory,
                         const StdHandles& io) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    const bool redirect = io.in != nullptr || io.out != nullptr || io.err != nullptr;
    if (redirect) {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = io.in;
        si.hStdOutput = io.out;
        si.hStdError = io.err;
    }
    PROCESS_INFORMATION pi{};
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    // Suspended until it is in the job, so that nothing it starts escapes the job.
    if (!::CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, redirect ? TRUE : FALSE,
                          CREATE_SUSPENDED, nullptr,
                          directory.empty() ? nullptr : directory.c_str(), &si, &pi))
        return false;
    const UniqueHandleObj thread(pi.hThread);
    process_.reset(pi.hProcess);
    id_ = pi.dwProcessId;
    // A process that could outlive this program is not let run.
    const HANDLE job = ChildrenJob();
    if (job == nullptr || !::AssignProcessToJobObject(job, process_.get()) ||
        ::ResumeThread(thread.get()) == static_cast<DWORD>(-1)) {
        Terminate();
        return false;
    }
    return true;
}

bool ChildProcess::Running() const {
    return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool ChildProcess::WaitExit(DWORD timeoutMs) const {
    if (!process_) return true;
    return PumpUntil([this] { return !Running(); }, timeoutMs);
}

DWORD ChildProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_ && !::GetExitCodeProcess(process_.get(), &code)) return STILL_ACTIVE;
    return code;
}

void ChildProcess::Terminate() {
    if (Running()) {
        ::TerminateProcess(process_.get(), 1);
        ::WaitForSingleObject(process_.get(), 5000);
    }
}

namespace {

// WM_CLOSE to the process's windows; TerminateProcess when it has not ended in time.
void EndGently(HANDLE process, DWORD pid) {
    for (HWND wnd : ProcessWindows(pid)) ::PostMessageA(wnd, WM_CLOSE, 0, 0);
    if (process == nullptr) return;
    const bool ended =
        PumpUntil([&] { return ::WaitForSingleObject(process, 0) != WAIT_TIMEOUT; }, 3000);
    if (!ended) {
        ::TerminateProcess(process, 1);
        ::WaitForSingleObject(process, 5000);
    }
}

}  // namespace

void ChildProcess::Stop() {
    if (Running()) EndGently(process_.get(), id_);
    process_.reset();
    id_ = 0;
}

HWND ChildProcess::WaitForWindow(const char* className, const char* caption,
                                 DWORD timeoutMs) const {
    HWND found = nullptr;
    PumpUntil(
        [&] {
            const HWND wnd = FindProcessWindow(id_, caption, className);
            if (wnd != nullptr && ::GetPropA(wnd, tools::kReadyProperty)) found = wnd;
            return found != nullptr || !Running();
        },
        timeoutMs);
    return found;
}

void EndProcessById(DWORD pid) {
    qrtl::win32::UniqueHandleObj process(
        ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid));
    EndGently(process.get(), pid);
}

// ---------------------------------------------------------------- windows

DWORD WindowProcessId(HWND wnd) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    return pid;
}

std::string WindowText(HWND wnd) {
    char text[512] = {};
    const int n = ::GetWindowTextA(wnd, text, sizeof text);
    return std::string(text, n > 0 ? static_cast<size_t>(n) : 0);
}

std::string FirstChildText(HWND wnd) {
    const HWND child = ::GetWindow(wnd, GW_CHILD);
    return child ? WindowText(child) : std::string();
}

HWND FindProcessWindow(DWORD pid, const char* title, const char* className) {
    FindArgs args{pid, title, className, nullptr, nullptr};
    ::EnumWindows(FindWindowProc, reinterpret_cast<LPARAM>(&args));
    return args.found;
}

std::vector<HWND> ProcessWindows(DWORD pid) {
    std::vector<HWND> all;
    FindArgs args{pid, nullptr, nullptr, nullptr, &all};
    ::EnumWindows(FindWindowProc, reinterpret_cast<LPARAM>(&args));
    return all;
}

std::string Narrow(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                        nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &out[0], n,
                          nullptr, nullptr);
    return out;
}

// Item texts are asked for in UTF-16: Wine does not convert the ANSI forms of these
// messages when they cross into another process.
// Each send is bounded like SendWithin; an unanswered one ends the list there.
LRESULT SendWideWithin(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT fallback) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(wnd, msg, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs, &result))
        return fallback;
    return static_cast<LRESULT>(result);
}

std::vector<std::string> ListItems(HWND control, UINT getCount, UINT getLen, UINT getText,
                                   LRESULT error) {
    std::vector<std::string> items;
    const LRESULT count = SendWideWithin(control, getCount, 0, 0, error);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT len = SendWideWithin(control, getLen, static_cast<WPARAM>(i), 0, error);
        if (len == error || len < 0) break;
        std::wstring text(static_cast<size_t>(len) + 1, L'\0');
        const LRESULT got = SendWideWithin(control, getText, static_cast<WPARAM>(i),
                                           reinterpret_cast<LPARAM>(&text[0]), error);
        if (got == error || got < 0 || got > len) break;
        text.resize(static_cast<size_t>(got));
        items.push_back(Narrow(text));
    }
    return items;
}

std::vector<std::string> ListBoxItems(HWND list) {
    return ListItems(list, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, LB_ERR);
}

std::vector<std::string> ComboItems(HWND combo) {
    return ListItems(combo, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_ERR);
}

// ---------------------------------------------------------------- registry

namespace {

bool WriteDpi(HKEY root, const char* path, DWORD dpi) {
    qrtl::win32::UniqueHKey key;
    if (::RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return false;
    return ::RegSetValueExA(key.get(), "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi) ==
           ERROR_SUCCESS;
}

}  // namespace

bool SetScreenDpi(int dpi) {
    const auto value = static_cast<DWORD>(dpi);
    return WriteDpi(HKEY_CURRENT_USER, "Control Panel\\Desktop", value) &&
           WriteDpi(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts",
                    value);
}

MachineKeyGuard::~MachineKeyGuard() { ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, path_.c_str()); }

bool MachineKeyGuard::SetString(const std::string& name, const std::string& data) {
    return SetRaw(name, REG_SZ, std::string(data.c_str(), data.size() + 1));
}

bool MachineKeyGuard::SetRaw(const std::string& name, DWORD type, const std::string& bytes) {
    qrtl::win32::UniqueHKey key;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                          nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return false;
    return ::RegSetValueExA(key.get(), name.c_str(), 0, type,
                            reinterpret_cast<const BYTE*>(bytes.data()),
                            static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

bool ReadRunValue(std::string& data, HKEY root) {
    qrtl::win32::UniqueHKey key;
    if (::RegOpenKeyExA(root, kRunKey, 0, KEY_QUERY_VALUE, key.put()) !=
        ERROR_SUCCESS)
        return false;
    char buf[1024] = {};
    DWORD size = sizeof buf - 1;
    DWORD type = 0;
    if (::RegQueryValueExA(key.get(), kRunValue, nullptr, &type, reinterpret_cast<BYTE*>(buf),
                           &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    data = buf;
    return true;
}

void DeleteRunValue() {
    // Both keys: the monitor writes the current user's when the machine's is closed to it.
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        qrtl::win32::UniqueHKey key;
        if (::RegOpenKeyExA(root, kRunKey, 0, KEY_SET_VALUE, key.put()) == ERROR_SUCCESS)
            ::RegDeleteValueA(key.get(), kRunValue);
    }
}

}  // namespace e2e
