#include "setup/win32/Win32ClientWindow.h"

#include <algorithm>
#include <cstring>

#include "setup/FilePaths.h"
#include "setup/win32/Win32AppCommands.h"

namespace qrtl::win32 {

namespace {

// Controls looked at when choosing the three ids; enough for any dialog.
constexpr std::size_t kMaxCandidates = 16;
constexpr std::size_t kChildCount = setup::kClientChildCount;
constexpr std::size_t kMaxProcessNameText = 255;

// Distinct ids of the window's direct children (the ones the search's GetDlgItem
// finds), in their order; statics without an id left out.
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

WindowHandle AsHandle(HWND hWnd) { return reinterpret_cast<WindowHandle>(hWnd); }

// Whether the caption holds characters the ANSI code page turns into '?': the
// monitor's search compares ANSI captions, so such a caption never matches.
bool CaptionNotAnsi(HWND hWnd) {
    wchar_t wide[kMaxProcessNameText + 1] = {};
    const int n = ::GetWindowTextW(hWnd, wide, kMaxProcessNameText + 1);
    if (n <= 0) return false;
    BOOL lost = FALSE;
    char ansi[(kMaxProcessNameText + 1) * 2] = {};
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, n, ansi, sizeof ansi, nullptr, &lost);
    return lost != FALSE;
}

}  // namespace

std::vector<int32_t> ChooseChildIds(IDesktop& desktop, HWND target, bool& unique) {
    std::vector<int32_t> ids = ChildIds(target);
    std::vector<HWND> windows;
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    std::vector<unsigned> masks;  // per other window: which candidates it has
    for (HWND other : windows) {
        if (other == target) continue;
        unsigned mask = 0;
        for (std::size_t i = 0; i < ids.size(); ++i)
            if (desktop.HasChild(AsHandle(other), ids[i])) mask |= 1u << i;
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

std::string ClassOfWindow(HWND hWnd) {
    char name[256] = {};
    const int n = ::GetClassNameA(hWnd, name, sizeof name);
    return std::string(name, n > 0 ? static_cast<std::size_t>(n) : 0);
}

std::string ItemOfWindow(IDesktop& desktop, HWND hWnd) {
    // The snapshot's name as the monitor's search takes it: at most 255 characters.
    char exeName[kProcessNameSize] = {};
    if (desktop.FindProcessName(desktop.WindowProcessId(AsHandle(hWnd)), exeName, sizeof exeName) !=
        ProcessName::Found)
        return {};
    std::string name = setup::FileNameOf(std::string(exeName, ::strnlen(exeName, kMaxProcessNameText)));
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    // Upper-cased as the monitor's search does it.
    desktop.UpperCase(name.data(), name.size());
    return name;
}

setup::ClientWindowFacts ExamineClientWindow(IDesktop& desktop, IRegistry& registry, HWND hWnd,
                                             bool& uniqueChildIds, int& childIdCount) {
    setup::ClientWindowFacts facts;
    facts.item = ItemOfWindow(desktop, hWnd);
    facts.caption = desktop.WindowTitle(AsHandle(hWnd));
    facts.captionNotAnsi = CaptionNotAnsi(hWnd);
    facts.className = ClassOfWindow(hWnd);
    const std::vector<int32_t> ids = ChooseChildIds(desktop, hWnd, uniqueChildIds);
    childIdCount = static_cast<int>(ids.size());
    for (std::size_t i = 0; i < ids.size() && i < kChildCount; ++i) facts.childIds[i] = ids[i];
    facts.exePath = ExePathOfWindow(hWnd);
    if (!facts.exePath.empty()) {
        facts.fileDescription = FileDescriptionOf(facts.exePath);
        facts.launch = setup::FindLaunchLines(registry, facts.exePath);
    }
    setup::JudgeWindowMarks(facts, desktop, AsHandle(hWnd));
    return facts;
}

}  // namespace qrtl::win32
