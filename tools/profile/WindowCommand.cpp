// QRTLProfile window: the client lines of the TV application's main window, proved
// with the monitor's own window search.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <utility>

#include "config/ProfileReader.h"
#include "config/QRTLIRSet.h"
#include "dispatch/Dispatch.h"
#include "platform/win32/Win32Config.h"
#include "platform/win32/Win32Desktop.h"
#include "tools/profile/ProfileFiles.h"
#include "tools/profile/ProfileTool.h"

namespace profiletool {

namespace {

constexpr int kChildCount = 3;
// Controls looked at when choosing the three ids; enough for any dialog.
constexpr std::size_t kMaxCandidates = 16;
constexpr int kStaticId = 0xFFFF;  // IDC_STATIC (-1) as a control's id
constexpr DWORD kSecondMs = 1000;
constexpr long kMaxPickSeconds = 60;

struct WindowOptions {
    int pickSeconds = -1;
    std::string title;
    std::string className;
    bool byTitle = false;
    bool byClass = false;
    bool write = false;
    int32_t client = 0;
    std::string profile;
};

bool ParseOptions(const std::vector<std::string>& args, WindowOptions& o) {
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
        } else if (a == "--write" && i + 2 < args.size() && tools::ParseWholeNumber(args[i + 1], INT32_MAX, number)) {
            o.write = true;
            o.client = static_cast<int32_t>(number);
            o.profile = args[i + 2];
            i += 2;
        } else {
            Fail("window: unexpected \"" + a + "\"; see --help");
            return false;
        }
    }
    const int ways = (o.pickSeconds >= 0) + o.byTitle + o.byClass;
    if (ways != 1) {
        Fail("window needs exactly one of --pick SECONDS (0-" + std::to_string(kMaxPickSeconds) + "), --title TEXT, --class NAME");
        return false;
    }
    return true;
}

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

std::string ClassOf(HWND hWnd) {
    char name[256] = {};
    const int n = ::GetClassNameA(hWnd, name, sizeof name);
    return std::string(name, n > 0 ? static_cast<std::size_t>(n) : 0);
}

// What the item is compared with: the executable's name, upper-cased, without
// folder (the 9x snapshot gives a path) and extension.
std::string ItemOf(qrtl::IDesktop& desktop, HWND hWnd) {
    char exeName[256] = {};
    if (!FoundAtProcessName(desktop, reinterpret_cast<qrtl::WindowHandle>(hWnd), exeName)) return {};
    std::string name = exeName;
    const std::size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    // Upper-cased as the monitor's search does it.
    desktop.UpperCase(name.data(), name.size());
    return name;
}

// Distinct ids of the window's direct children (the ones the search's
// GetDlgItem finds), in their order; statics without an id left out.
std::vector<int32_t> ChildIds(HWND hWnd) {
    std::vector<int32_t> ids;
    for (HWND child = ::GetWindow(hWnd, GW_CHILD); child != nullptr && ids.size() < kMaxCandidates;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        const int id = ::GetDlgCtrlID(child);
        if (id == 0 || id == -1 || id == kStaticId) continue;
        if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
    }
    return ids;
}

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
    return TRUE;
}

// Three ids, preferring the rarest and a set no other top-level window has all of.
// `unique` tells whether such a set was found.
std::vector<int32_t> ChooseChildIds(qrtl::IDesktop& desktop, HWND target, bool& unique) {
    std::vector<int32_t> ids = ChildIds(target);
    std::vector<HWND> windows;
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    std::vector<unsigned> masks;  // per other window: which candidates it has
    for (HWND other : windows) {
        if (other == target) continue;
        unsigned mask = 0;
        for (std::size_t i = 0; i < ids.size(); ++i)
            if (desktop.HasChild(reinterpret_cast<qrtl::WindowHandle>(other), ids[i])) mask |= 1u << i;
        if (mask != 0) masks.push_back(mask);
    }
    auto holders = [&](unsigned bits) {
        return std::count_if(masks.begin(), masks.end(),
                             [&](unsigned m) { return (m & bits) == bits; });
    };
    std::vector<std::size_t> order(ids.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return holders(1u << a) < holders(1u << b);
    });
    unique = false;
    if (ids.size() < kChildCount) return ids;
    for (std::size_t i = 0; i < order.size(); ++i)
        for (std::size_t j = i + 1; j < order.size(); ++j)
            for (std::size_t k = j + 1; k < order.size(); ++k)
                if (holders((1u << order[i]) | (1u << order[j]) | (1u << order[k])) == 0) {
                    unique = true;
                    return {ids[order[i]], ids[order[j]], ids[order[k]]};
                }
    return {ids[order[0]], ids[order[1]], ids[order[2]]};
}

std::string Describe(qrtl::IDesktop& desktop, HWND hWnd) {
    char handle[16];
    std::snprintf(handle, sizeof handle, "%08lX",
                  static_cast<unsigned long>(reinterpret_cast<uintptr_t>(hWnd)));
    return std::string(handle) + " \"" + desktop.WindowTitle(reinterpret_cast<qrtl::WindowHandle>(hWnd)) +
           "\" (class " + ClassOf(hWnd) + ")";
}

// The monitor's own search, run with a profile that holds `lines` as its client.
HWND SearchWithProfile(const std::vector<std::pair<std::string, std::string>>& lines, int32_t client,
                       qrtl::IDesktop& desktop) {
    std::string text = "[Client]\nDefault=" + std::to_string(client) + "\n";
    for (const auto& [key, value] : lines) text += key + "=" + value + "\n";
    const qrtl::ProfileDocument document = qrtl::ProfileDocument::Parse(text);
    qrtl::DocumentProfile profile(document);
    qrtl::win32::Win32Module module;
    qrtl::Services services;
    services.profile = &profile;
    services.module = &module;
    services.desktop = &desktop;
    CQRTLIRSet set;
    set.SetServices(services);
    set.LoadProfile();
    return reinterpret_cast<HWND>(set.FindTargetClientWindow());
}

}  // namespace

int RunWindow(const std::vector<std::string>& args) {
    WindowOptions o;
    if (!ParseOptions(args, o)) return kExitFailed;
    std::string bytes;
    if (o.write && !ReadProfileFile(o.profile, bytes)) return kExitUnreadable;

    HWND target = nullptr;
    if (o.pickSeconds >= 0) {
        target = PickWindow(o.pickSeconds);
        if (target == nullptr) {
            Fail("no window under the mouse pointer");
            return kExitFailed;
        }
    } else if (o.byTitle) {
        target = ::FindWindowA(nullptr, o.title.c_str());
        if (target == nullptr) {
            Fail("no top-level window has the title \"" + o.title + "\"");
            return kExitFailed;
        }
    } else {
        target = ::FindWindowA(o.className.c_str(), nullptr);
        if (target == nullptr) {
            Fail("no top-level window has the class \"" + o.className + "\"");
            return kExitFailed;
        }
    }

    qrtl::win32::Win32Desktop desktop;
    bool unique = false;
    std::vector<int32_t> ids = ChooseChildIds(desktop, target, unique);
    if (ids.size() < kChildCount)
        Fail("the window has only " + std::to_string(ids.size()) +
             " controls with ids: the search by controls cannot tell it apart (0 stands for none)");
    else if (!unique)
        Fail("another window has all three controls too: the search by controls may take it");
    ids.resize(kChildCount, 0);

    const int32_t n = o.client;
    const std::vector<std::pair<std::string, std::string>> lines = {
        {profile::KeyName(profile::kItem, n), ItemOf(desktop, target)},
        {profile::KeyName(profile::kCaption, n), desktop.WindowTitle(reinterpret_cast<qrtl::WindowHandle>(target))},
        {profile::KeyName(profile::kClassName, n), ClassOf(target)},
        {profile::KeyName(profile::kChild0, n), std::to_string(ids[0])},
        {profile::KeyName(profile::kChild1, n), std::to_string(ids[1])},
        {profile::KeyName(profile::kChild2, n), std::to_string(ids[2])},
    };
    for (const auto& [key, value] : lines) Say(key + "=" + value);

    // Proof lines are comments, so the output can go into a profile as it is.
    const HWND found = SearchWithProfile(lines, n, desktop);
    std::vector<std::pair<std::string, std::string>> byControls = {lines[0], lines[3], lines[4], lines[5]};
    const HWND foundByControls = SearchWithProfile(byControls, n, desktop);
    Say("; picked window: " + Describe(desktop, target));
    auto verdict = [&](HWND hWnd) {
        if (hWnd == target) return std::string("this window");
        if (hWnd == nullptr) return std::string("NO window");
        return "ANOTHER window, " + Describe(desktop, hWnd);
    };
    Say("; the monitor's search with these lines finds " + verdict(found));
    Say("; by its controls alone (without caption and class) it finds " + verdict(foundByControls));
    if (found != target) Fail("these lines do not lead the monitor to the picked window");

    if (o.write) {
        if (!WriteProfileKeys(o.profile, "Client", lines)) return kExitFailed;
        Say("; written as client " + std::to_string(n) + " into " + o.profile);
    }
    return found == target ? kExitOk : kExitWarnings;
}

}  // namespace profiletool
