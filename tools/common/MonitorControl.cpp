#include "tools/common/MonitorControl.h"

#include "platform/win32/Handle.h"
#include "platform/win32/ProfileLock.h"
#include "product.h"
#include "setup/FilePaths.h"
#include "setup/win32/Win32AppCommands.h"
#include "tools/common/ToolSupport.h"

namespace tools {

namespace {

// Disables a window for the life of the object and gives it back its state.
class Disabled {
public:
    explicit Disabled(HWND window) : window_(window) {
        if (window_ != nullptr) wasDisabled_ = ::EnableWindow(window_, FALSE) != FALSE;
    }
    ~Disabled() {
        if (window_ != nullptr && !wasDisabled_) ::EnableWindow(window_, TRUE);
    }
    Disabled(const Disabled&) = delete;
    Disabled& operator=(const Disabled&) = delete;

private:
    HWND window_;
    bool wasDisabled_ = false;
};

// A short name (PROGRA~1) and its long name are one folder.
bool SameFolder(const std::string& a, const std::string& b) {
    return ::lstrcmpiA(qrtl::win32::LongPath(a).c_str(), qrtl::win32::LongPath(b).c_str()) == 0;
}

}  // namespace

std::string ProgramFolder() { return ModuleFolder() + "\\"; }

std::vector<RunningMonitor> RunningMonitors() {
    std::vector<RunningMonitor> monitors;
    HWND after = nullptr;
    while ((after = ::FindWindowExA(nullptr, after, product::kMonitorClass, product::kMonitorCaption)) != nullptr)
        monitors.push_back({after, qrtl::win32::ExePathOfWindow(after)});
    return monitors;
}

HWND FindMonitor() { return ::FindWindowA(product::kMonitorClass, product::kMonitorCaption); }

bool FromProgramFolder(const std::string& image) {
    return !image.empty() && SameFolder(qrtl::setup::FolderOf(image), ModuleFolder());
}

MonitorClose CloseMonitor(const RunningMonitor& monitor, HWND owner, DWORD timeoutMs, std::string& why) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(monitor.window, &pid);
    const qrtl::win32::UniqueHandleObj process(::OpenProcess(SYNCHRONIZE, FALSE, pid));
    if (!::PostMessageA(monitor.window, WM_COMMAND, product::kIdMenuClose, 0)) {
        why = "the monitor does not take its Close command (error " + std::to_string(::GetLastError()) + ")";
        return MonitorClose::NotTaken;
    }
    const Disabled disabled(owner);
    const DWORD start = ::GetTickCount();
    for (;;) {
        // The receiver is free once the process has ended (it closes the driver last).
        const bool gone = process ? ::WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0
                                  : !::IsWindow(monitor.window);
        if (gone) return MonitorClose::Closed;
        const DWORD waited = ::GetTickCount() - start;
        if (waited >= timeoutMs) break;
        HANDLE handles[1] = {process.get()};
        ::MsgWaitForMultipleObjects(process ? 1 : 0, handles, FALSE, 100, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                why = "the window is closing";
                return MonitorClose::Quit;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    why = "the monitor did not end within " + std::to_string(timeoutMs / 1000) + " s";
    return MonitorClose::StillRunning;
}

bool LaunchMonitor(const std::string& image, std::string& why) {
    std::string folder = qrtl::setup::FolderOf(image);
    // With its backslash: "C:" alone would name the drive's current folder.
    folder += "\\";
    std::string commandLine = "\"" + image + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(image.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                          &startup, &info)) {
        why = "cannot start " + image + " (error " + std::to_string(::GetLastError()) + ")";
        return false;
    }
    const qrtl::win32::UniqueHandleObj process(info.hProcess);
    const qrtl::win32::UniqueHandleObj thread(info.hThread);
    return true;
}

}  // namespace tools
