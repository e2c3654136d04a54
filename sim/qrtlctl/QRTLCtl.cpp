// QRTLCtl: a small window-control helper for scripts (the demo uses it to open the
// monitor's setup dialog and About box and to read its history list).
//   QRTLCtl wait TITLE SECONDS            wait until a top-level window TITLE exists
//   QRTLCtl waitgone TITLE SECONDS        wait until no window TITLE exists
//   QRTLCtl post TITLE MSG WPARAM LPARAM  post a message (numbers decimal or 0x hex)
//   QRTLCtl click TITLE ID                press button ID of window TITLE
//   QRTLCtl list TITLE ID                 print the items of list box ID, one a line
//   QRTLCtl close TITLE                   post WM_CLOSE
//   QRTLCtl move TITLE X Y                move the window's top-left corner to X, Y
//   QRTLCtl checked TITLE TEXT            print 1 or 0: is the check box TEXT, at any
//                                         depth in window TITLE, ticked
//   QRTLCtl fits TITLE START              print 1 or 0: does the text of the control
//                                         whose text begins with START, at any depth,
//                                         fit its control (wrapped, in the dialog font)
// Titles match exactly, or by their start when TITLE ends in "*" (an installer's
// caption changes from page to page); hidden windows count. Exit code 0 on success,
// 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr DWORD kPollMs = 50;

// The window text in the program's code page; Wine gives other processes' texts
// reliably only in UTF-16.
std::string TextOf(HWND wnd) {
    wchar_t wide[512] = {};
    const int n = ::GetWindowTextW(wnd, wide, 512);
    char text[1024] = {};
    ::WideCharToMultiByte(CP_ACP, 0, wide, n, text, sizeof text - 1, nullptr, nullptr);
    return text;
}

struct Search {
    std::string text;
    bool prefix = false;
    HWND found = nullptr;
};

// The whole text of a control in another process, in UTF-16.
std::wstring WideTextOf(HWND wnd) {
    std::wstring text(4096, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(wnd, &text[0], 4096)));
    return text;
}

// Whether the text of `control` fits its client area, wrapped at words. Another
// process's font handle means nothing here (Wine keeps them per process): the
// dialogs' own font, "MS Shell Dlg" at 8 points, is made again on this side.
bool TextFits(HWND control) {
    RECT client{};
    ::GetClientRect(control, &client);
    const HDC dc = ::GetDC(nullptr);
    const int height = -::MulDiv(8, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
    const HFONT font = ::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                     DEFAULT_PITCH, L"MS Shell Dlg");
    const HGDIOBJ old = ::SelectObject(dc, font);
    const std::wstring text = WideTextOf(control);
    RECT needed{0, 0, client.right, 0};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed,
                DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
    ::SelectObject(dc, old);
    ::DeleteObject(font);
    ::ReleaseDC(nullptr, dc);
    std::fprintf(stderr, "QRTLCtl: the text needs %ld pixels, its control has %ld\n",
                 static_cast<long>(needed.bottom), static_cast<long>(client.bottom));
    return needed.bottom <= client.bottom;
}

BOOL CALLBACK TakeIfMatching(HWND wnd, LPARAM param) {
    auto& search = *reinterpret_cast<Search*>(param);
    const std::string text = TextOf(wnd);
    if (search.prefix ? text.rfind(search.text, 0) == 0 : text == search.text) {
        search.found = wnd;
        return FALSE;
    }
    return TRUE;
}

HWND Find(const char* title) {
    const std::size_t n = std::strlen(title);
    if (n == 0 || title[n - 1] != '*') return ::FindWindowA(nullptr, title);
    Search search{std::string(title, n - 1), true};
    ::EnumWindows(TakeIfMatching, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

unsigned long Number(const char* text) { return std::strtoul(text, nullptr, 0); }

int Wait(const char* title, double seconds, bool present) {
    const DWORD deadline = ::GetTickCount() + static_cast<DWORD>(seconds * 1000);
    for (;;) {
        const HWND wnd = Find(title);
        if ((wnd != nullptr) == present) {
            if (present) std::printf("%08lX\n", static_cast<unsigned long>(
                                                   reinterpret_cast<UINT_PTR>(wnd)));
            return 0;
        }
        if (static_cast<LONG>(::GetTickCount() - deadline) >= 0) {
            std::fprintf(stderr, "QRTLCtl: timed out waiting for \"%s\" to %s\n", title,
                         present ? "appear" : "go");
            return 1;
        }
        ::Sleep(kPollMs);
    }
}

HWND FindOrComplain(const char* title) {
    const HWND wnd = Find(title);
    if (wnd == nullptr) std::fprintf(stderr, "QRTLCtl: no window \"%s\"\n", title);
    return wnd;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: QRTLCtl wait|waitgone TITLE SECONDS\n"
                 "       QRTLCtl post TITLE MSG WPARAM LPARAM\n"
                 "       QRTLCtl click|list TITLE ID\n"
                 "       QRTLCtl close TITLE\n"
                 "       QRTLCtl move TITLE X Y\n"
                 "       QRTLCtl checked TITLE TEXT\n"
                 "       QRTLCtl fits TITLE START\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    const std::string cmd = argv[1];
    const char* title = argv[2];

    if ((cmd == "wait" || cmd == "waitgone") && argc == 4)
        return Wait(title, std::atof(argv[3]), cmd == "wait");

    const HWND wnd = FindOrComplain(title);
    if (wnd == nullptr) return 1;

    if (cmd == "post" && argc == 6) {
        const BOOL ok = ::PostMessageA(wnd, static_cast<UINT>(Number(argv[3])),
                                       static_cast<WPARAM>(Number(argv[4])),
                                       static_cast<LPARAM>(Number(argv[5])));
        return ok ? 0 : 1;
    }
    if (cmd == "close" && argc == 3) return ::PostMessageA(wnd, WM_CLOSE, 0, 0) ? 0 : 1;
    if (cmd == "move" && argc == 5) {
        return ::SetWindowPos(wnd, nullptr, std::atoi(argv[3]), std::atoi(argv[4]), 0, 0,
                              SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)
                   ? 0
                   : 1;
    }
    if (cmd == "click" && argc == 4) {
        const int id = static_cast<int>(Number(argv[3]));
        const HWND button = ::GetDlgItem(wnd, id);
        if (button == nullptr) {
            std::fprintf(stderr, "QRTLCtl: \"%s\" has no control %d\n", title, id);
            return 1;
        }
        return ::PostMessageA(wnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                              reinterpret_cast<LPARAM>(button))
                   ? 0
                   : 1;
    }
    if (cmd == "checked" && argc == 4) {
        Search search{argv[3]};
        ::EnumChildWindows(wnd, TakeIfMatching, reinterpret_cast<LPARAM>(&search));
        if (search.found == nullptr) {
            std::fprintf(stderr, "QRTLCtl: \"%s\" has no control \"%s\"\n", title, argv[3]);
            return 1;
        }
        std::printf("%d\n", ::SendMessageA(search.found, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
        return 0;
    }
    if (cmd == "fits" && argc == 4) {
        Search search{argv[3], true};
        ::EnumChildWindows(wnd, TakeIfMatching, reinterpret_cast<LPARAM>(&search));
        if (search.found == nullptr) {
            std::fprintf(stderr, "QRTLCtl: \"%s\" has no control beginning \"%s\"\n", title, argv[3]);
            return 1;
        }
        std::printf("%d\n", TextFits(search.found) ? 1 : 0);
        return 0;
    }
    if (cmd == "list" && argc == 4) {
        const int id = static_cast<int>(Number(argv[3]));
        const HWND list = ::GetDlgItem(wnd, id);
        if (list == nullptr) {
            std::fprintf(stderr, "QRTLCtl: \"%s\" has no control %d\n", title, id);
            return 1;
        }
        // UTF-16: Wine does not convert the ANSI form of LB_GETTEXT across processes.
        const LRESULT count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
        if (count == LB_ERR) return 1;
        for (LRESULT i = 0; i < count; ++i) {
            const LRESULT len = ::SendMessageW(list, LB_GETTEXTLEN, i, 0);
            if (len == LB_ERR) return 1;
            std::wstring text(static_cast<size_t>(len) + 1, L'\0');
            const LRESULT got = ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
            if (got == LB_ERR || got > len) return 1;
            char line[1024] = {};
            ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(got), line,
                                  sizeof line - 1, nullptr, nullptr);
            std::printf("%s\n", line);
        }
        return 0;
    }
    return Usage();
}
