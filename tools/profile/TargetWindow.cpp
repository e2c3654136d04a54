#include "tools/profile/TargetWindow.h"

#include "trace/Trace.h"

#include <cstdint>
#include <cstdio>

#include "setup/win32/Win32ClientWindow.h"
#include "tools/profile/ProfileTool.h"

namespace profiletool {

namespace {

constexpr DWORD kSecondMs = 1000;
constexpr long kMaxPickSeconds = 60;

// The top-level window under the mouse pointer after a countdown.
HWND PickWindow(int seconds) {
    for (int left = seconds; left > 0; --left) {
        std::fprintf(stderr, "Point at the TV application's window: %d...\n", left);
        std::fflush(stderr);
        ::Sleep(kSecondMs);
    }
    POINT point{};
    if (!::GetCursorPos(&point)) return nullptr;
    const HWND under = ::WindowFromPoint(point);
    return under != nullptr ? ::GetAncestor(under, GA_ROOT) : nullptr;
}

}  // namespace

bool ParseTargetOptions(const char* command, const std::vector<std::string>& args, TargetOptions& o) {
    const std::string name = command;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        long number = 0;
        if (a == "--pick" && hasValue && tools::ParseWholeNumber(args[i + 1], kMaxPickSeconds, number)) {
            o.pickSeconds = static_cast<int>(number);
            ++i;
        } else if (a == "--title" && hasValue) {
            o.title = args[++i];
            o.byTitle = true;
        } else if (a == "--class" && hasValue) {
            o.className = args[++i];
            o.byClass = true;
        } else if (a == "--write" && hasValue && tools::ParseWholeNumber(args[i + 1], INT32_MAX, number)) {
            o.write = true;
            o.client = static_cast<int32_t>(number);
            ++i;
            // PROFILE is optional: the next word, unless it is an option.
            if (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) o.profile = args[++i];
        } else {
            Fail(name + ": unexpected \"" + a + "\"; see --help");
            return false;
        }
    }
    const int ways = (o.pickSeconds >= 0) + o.byTitle + o.byClass;
    if (ways != 1) {
        Fail(name + " needs exactly one of --pick SECONDS (0-" + std::to_string(kMaxPickSeconds) +
             "), --title TEXT, --class NAME");
        return false;
    }
    return true;
}

int PrepareTarget(const char* command, const std::vector<std::string>& args, TargetOptions& o,
                  std::string& profile, std::string& bytes) {
    if (!ParseTargetOptions(command, args, o)) return kExitFailed;
    if (!o.write) return kExitOk;
    profile = ProfileOrDefault(o.profile);
    return ReadProfileFile(profile, bytes) ? kExitOk : kExitUnreadable;
}

HWND FindTargetWindow(const TargetOptions& o) {
    HWND target = nullptr;
    if (o.pickSeconds >= 0) {
        target = PickWindow(o.pickSeconds);
        if (target == nullptr) Fail("no window under the mouse pointer");
    } else if (o.byTitle) {
        target = ::FindWindowA(nullptr, o.title.c_str());
        if (target == nullptr) Fail("no top-level window has the title \"" + o.title + "\"");
    } else {
        target = ::FindWindowA(o.className.c_str(), nullptr);
        if (target == nullptr) Fail("no top-level window has the class \"" + o.className + "\"");
    }
    return target;
}

std::string DescribeWindow(qrtl::IDesktop& desktop, HWND hWnd) {
    char handle[16];
    std::snprintf(handle, sizeof handle, "%08lX",
                  static_cast<unsigned long>(reinterpret_cast<uintptr_t>(hWnd)));
    // Escaped: the application chooses its caption, and a line break in it would
    // make a line of its own in output meant for a profile.
    return std::string(handle) + " \"" +
           EscapeControlText(desktop.WindowTitle(reinterpret_cast<qrtl::WindowHandle>(hWnd))) + "\" (class " +
           EscapeControlText(qrtl::win32::ClassOfWindow(hWnd)) + ")";
}

}  // namespace profiletool
