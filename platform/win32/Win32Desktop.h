// Windows and processes of the running desktop, through USER32 and the tool-help snapshot.
#pragma once

#include "platform/Platform.h"

namespace qrtl::win32 {

class Win32Desktop : public IDesktop {
public:
    WindowHandle FindTopWindow(const char* className, const char* caption) override;
    void EnumTopWindows(WindowEnumProc proc, std::intptr_t lParam) override;
    bool HasChild(WindowHandle hWnd, int32_t id) override;
    uint32_t WindowProcessId(WindowHandle hWnd) override;
    std::string WindowTitle(WindowHandle hWnd) override;
    ProcessName FindProcessName(uint32_t processId, char* name, std::size_t size) override;
    void UpperCase(char* text, std::size_t length) override;
    uint32_t Post(WindowHandle hWnd, uint32_t msg, uint32_t wParam, int32_t lParam) override;
};

}  // namespace qrtl::win32
