// How long the command reading takes for a menu of 2,000 items (a benchmark helper,
// never shipped; it prints figures and is no test):
//   MenuBench [QRTLProfile.exe]
// In this process: the live menu walk of its own window, the walk of its
// executable's menu resource, and the suggestions over the 2,000 commands, each the
// best of several rounds. With QRTLProfile.exe given, also the whole `commands` run
// from outside against this window, as an owner would run it.
#include <windows.h>

#include <cstdio>
#include <string>

#include "setup/AppCommands.h"
#include "platform/win32/Handle.h"
#include "setup/win32/Win32AppCommands.h"

namespace {

constexpr int kMenuResource = 100;  // the generated MenuBench.rc
constexpr int kRounds = 5;
constexpr char kCaption[] = "Menu bench: 2000 items";
constexpr DWORD kRunTimeoutMs = 30000;

LRESULT CALLBACK BenchProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(hWnd, msg, wParam, lParam);
}

double Millis(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename F>
double BestOf(F run) {
    double best = 1e9;
    for (int i = 0; i < kRounds; ++i) {
        LARGE_INTEGER start, end;
        ::QueryPerformanceCounter(&start);
        run();
        ::QueryPerformanceCounter(&end);
        const double ms = Millis(start, end);
        if (ms < best) best = ms;
    }
    return best;
}

// Runs the tool against the window, pumping this window's messages meanwhile.
double RunTool(const std::string& tool) {
    std::string line = "\"" + tool + "\" commands --title \"" + kCaption + "\"";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const qrtl::win32::UniqueFile out(::CreateFileA("MenuBench.out.txt", GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out.get();
    startup.hStdError = out.get();
    PROCESS_INFORMATION started{};
    LARGE_INTEGER start, end;
    ::QueryPerformanceCounter(&start);
    if (!::CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started))
        return -1;
    const qrtl::win32::UniqueHandleObj process(started.hProcess);
    const qrtl::win32::UniqueHandleObj thread(started.hThread);
    for (;;) {
        const DWORD wait = ::MsgWaitForMultipleObjects(1, &started.hProcess, FALSE, kRunTimeoutMs, QS_ALLINPUT);
        if (wait != WAIT_OBJECT_0 + 1) break;
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
    }
    ::QueryPerformanceCounter(&end);
    return Millis(start, end);
}

}  // namespace

int main(int argc, char** argv) {
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = BenchProc;
    wc.hInstance = instance;
    wc.lpszClassName = "QrtlMenuBench";
    if (!::RegisterClassA(&wc)) return 1;
    const HWND window = ::CreateWindowExA(0, wc.lpszClassName, kCaption, WS_OVERLAPPEDWINDOW, 0, 0, 400, 200,
                                          nullptr, ::LoadMenuA(instance, MAKEINTRESOURCEA(kMenuResource)),
                                          instance, nullptr);
    if (window == nullptr) return 1;

    std::vector<qrtl::setup::MenuCommand> live;
    const double liveMs = BestOf([&] {
        live.clear();
        qrtl::win32::ReadMenuTree(::GetMenu(window), qrtl::setup::CommandSource::LiveMenu, live);
    });
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    qrtl::setup::AppCatalog catalog;
    const double resourceMs = BestOf([&] {
        catalog = {};
        qrtl::win32::ReadExeResources(self, catalog);
    });
    std::vector<qrtl::setup::Suggestion> suggestions;
    const double suggestMs = BestOf([&] { suggestions = qrtl::setup::SuggestCommands(catalog); });

    std::printf("menu of %u items (best of %d rounds):\n", static_cast<unsigned>(live.size()), kRounds);
    std::printf("  live menu walk          %8.2f ms\n", liveMs);
    std::printf("  resource menu walk      %8.2f ms  (%u items)\n", resourceMs,
                static_cast<unsigned>(catalog.menus.size()));
    std::printf("  suggestions, 27 keys    %8.2f ms  (%u keys matched)\n", suggestMs,
                static_cast<unsigned>(suggestions.size()));
    if (argc > 1) {
        ::ShowWindow(window, SW_SHOWNORMAL);
        std::printf("  QRTLProfile commands    %8.2f ms  (the whole run, from outside; output in MenuBench.out.txt)\n",
                    RunTool(argv[1]));
    }
    ::DestroyWindow(window);
    return 0;
}
