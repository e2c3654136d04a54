#include "MonitorControl.h"

#include "platform/win32/Handle.h"
#include "product.h"

namespace remote {

namespace {
// The monitor's main window is a dialog.
constexpr char kMonitorDialogClass[] = "#32770";
}  // namespace

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return ".\\";
    std::string full(path, n);
    const std::size_t slash = full.find_last_of("\\/");
    return slash == std::string::npos ? ".\\" : full.substr(0, slash + 1);
}

HWND FindMonitor() { return ::FindWindowA(kMonitorDialogClass, product::kMonitorCaption); }

bool CloseMonitor(HWND monitor, DWORD timeoutMs, std::string& why) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(monitor, &pid);
    const qrtl::win32::UniqueHandleObj process(::OpenProcess(SYNCHRONIZE, FALSE, pid));
    if (!::PostMessageA(monitor, WM_COMMAND, product::kIdMenuClose, 0)) {
        why = "the monitor does not take its Close command (error " + std::to_string(::GetLastError()) + ")";
        return false;
    }
    const DWORD start = ::GetTickCount();
    for (;;) {
        // The receiver is free once the process has ended (it closes the driver last).
        const bool gone = process ? ::WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0
                                  : !::IsWindow(monitor);
        if (gone) return true;
        const DWORD waited = ::GetTickCount() - start;
        if (waited >= timeoutMs) break;
        HANDLE handles[1] = {process.get()};
        ::MsgWaitForMultipleObjects(process ? 1 : 0, handles, FALSE, 100, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                why = "the window is closing";
                return false;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    why = "the monitor did not end within " + std::to_string(timeoutMs / 1000) + " s";
    return false;
}

bool StartMonitor(std::string& why) {
    const std::string folder = ProgramFolder();
    std::string commandLine = "\"" + folder + product::kMonitorExe + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                          &startup, &info)) {
        why = "cannot start " + folder + product::kMonitorExe + " (error " + std::to_string(::GetLastError()) + ")";
        return false;
    }
    const qrtl::win32::UniqueHandleObj process(info.hProcess);
    const qrtl::win32::UniqueHandleObj thread(info.hThread);
    return true;
}

}  // namespace remote
