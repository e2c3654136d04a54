#include "setup/win32/Win32AppCommands.h"

#include <tlhelp32.h>

#include <cstdio>
#include <cstring>

#include "platform/win32/Handle.h"

namespace qrtl::win32 {

namespace {

constexpr int kMaxMenuDepth = 8;  // deeper nesting is taken for a loop
constexpr int kMenuTextBuffer = 256;
constexpr std::size_t kMaxControls = 512;
constexpr int kClassBuffer = 64;

// Controls whose id means nothing as a command: they show or take text.
constexpr const char* kPassiveClasses[] = {"Static", "Edit", "ListBox", "ComboBox", "ScrollBar",
                                           "SysListView32", "SysTreeView32", "RichEdit20A",
                                           "RichEdit20W", "msctls_statusbar32"};

bool WalkMenu(HMENU menu, const std::string& prefix, setup::CommandSource source, int depth,
              std::vector<setup::MenuCommand>& out) {
    const int count = ::GetMenuItemCount(menu);
    if (count < 0) return false;
    for (int i = 0; i < count; ++i) {
        const UINT state = ::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        if (state != static_cast<UINT>(-1) && (state & MF_SEPARATOR) && !(state & MF_POPUP)) continue;
        char raw[kMenuTextBuffer] = {};
        const int n = ::GetMenuStringA(menu, static_cast<UINT>(i), raw, kMenuTextBuffer, MF_BYPOSITION);
        std::string label;
        std::string shortcut;
        setup::SplitMenuText(std::string_view(raw, n > 0 ? static_cast<std::size_t>(n) : 0), label,
                             shortcut);
        // Owner-drawn and bitmap items have no text to show.
        if (label.empty()) label = "(item without text)";
        const HMENU sub = ::GetSubMenu(menu, i);
        if (sub != nullptr) {
            if (depth < kMaxMenuDepth) WalkMenu(sub, prefix + label + " > ", source, depth + 1, out);
            continue;
        }
        const UINT id = ::GetMenuItemID(menu, i);
        if (id == 0 || id == static_cast<UINT>(-1)) continue;  // a separator
        out.push_back({static_cast<uint32_t>(id), prefix + label, shortcut, source});
    }
    return true;
}

struct ResourceWalk {
    HMODULE module;
    setup::AppCatalog* catalog;
};

BOOL CALLBACK OnMenuResource(HMODULE module, LPCSTR, LPSTR name, LONG_PTR param) {
    auto* walk = reinterpret_cast<ResourceWalk*>(param);
    const UniqueHMenu menu(::LoadMenuA(module, name));
    if (!menu) return TRUE;
    std::vector<setup::MenuCommand> commands;
    if (ReadMenuTree(menu.get(), setup::CommandSource::Resource, commands))
        walk->catalog->MergeMenus(commands);
    return TRUE;
}

BOOL CALLBACK OnAcceleratorResource(HMODULE module, LPCSTR, LPSTR name, LONG_PTR param) {
    auto* walk = reinterpret_cast<ResourceWalk*>(param);
    const UniqueHAccel table(::LoadAcceleratorsA(module, name));
    if (!table) return TRUE;
    const int count = ::CopyAcceleratorTableA(table.get(), nullptr, 0);
    if (count <= 0) return TRUE;
    std::vector<ACCEL> entries(static_cast<std::size_t>(count));
    const int copied = ::CopyAcceleratorTableA(table.get(), entries.data(), count);
    for (int i = 0; i < copied; ++i) {
        setup::KeyStroke stroke;
        if (!setup::KeyStrokeFromAccelerator(entries[i].fVirt, entries[i].key, stroke)) continue;
        walk->catalog->keys.push_back({stroke, entries[i].cmd, setup::CommandSource::Resource});
    }
    return TRUE;
}

bool Passive(const char* className) {
    for (const char* name : kPassiveClasses)
        if (::lstrcmpiA(className, name) == 0) return true;
    return false;
}

// Another process's text may come back as UTF-16 (Wine does so for some
// controls); such text is turned into the ANSI code page.
std::string AnsiText(const char* buffer, std::size_t bytes) {
    if (bytes >= 2 && buffer[0] != '\0' && buffer[1] == '\0') {
        std::wstring wide;
        for (std::size_t i = 0; i + 1 < kMenuTextBuffer && (buffer[i] || buffer[i + 1]); i += 2)
            wide += static_cast<wchar_t>(static_cast<unsigned char>(buffer[i]) |
                                         (static_cast<unsigned char>(buffer[i + 1]) << 8));
        char ansi[kMenuTextBuffer] = {};
        const int n = ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()),
                                            ansi, kMenuTextBuffer - 1, nullptr, nullptr);
        return std::string(ansi, n > 0 ? static_cast<std::size_t>(n) : 0);
    }
    return std::string(buffer, std::strlen(buffer));
}

}  // namespace

bool ReadMenuTree(HMENU menu, setup::CommandSource source, std::vector<setup::MenuCommand>& out) {
    if (menu == nullptr) return false;
    return WalkMenu(menu, "", source, 0, out);
}

std::string ExePathOfWindow(HWND hWnd) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(hWnd, &processId);
    if (processId == 0) return {};
    const UniqueSnapshot snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
    if (!snapshot) return {};
    MODULEENTRY32 entry{};
    entry.dwSize = sizeof entry;
    // The first module of a process is its executable.
    if (!::Module32First(snapshot.get(), &entry)) return {};
    entry.szExePath[MAX_PATH - 1] = '\0';
    return entry.szExePath;
}

bool ReadExeResources(const std::string& exePath, setup::AppCatalog& catalog) {
    // As data only: nothing of the application runs in this process.
    const UniqueHModule module(::LoadLibraryExA(exePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module) return false;
    ResourceWalk walk{module.get(), &catalog};
    ::EnumResourceNamesA(module.get(), RT_MENU, OnMenuResource, reinterpret_cast<LONG_PTR>(&walk));
    ::EnumResourceNamesA(module.get(), RT_ACCELERATOR, OnAcceleratorResource,
                         reinterpret_cast<LONG_PTR>(&walk));
    return true;
}

void ReadControls(HWND hWnd, setup::AppCatalog& catalog) {
    std::size_t seen = 0;
    for (HWND child = ::GetWindow(hWnd, GW_CHILD); child != nullptr && seen < kMaxControls;
         child = ::GetWindow(child, GW_HWNDNEXT), ++seen) {
        const int id = ::GetDlgCtrlID(child);
        if (id <= 0 || id == kStaticId) continue;  // no id, or IDC_STATIC
        char className[kClassBuffer] = {};
        if (::GetClassNameA(child, className, kClassBuffer) <= 0 || Passive(className)) continue;
        const LONG style = ::GetWindowLongA(child, GWL_STYLE);
        if (::lstrcmpiA(className, "Button") == 0 && (style & BS_TYPEMASK) == BS_GROUPBOX) continue;
        char text[kMenuTextBuffer] = {};
        DWORD_PTR length = 0;
        // Never an unbounded SendMessage: a hung application must not hang the reader.
        if (!::SendMessageTimeoutA(child, WM_GETTEXT, kMenuTextBuffer - 2, reinterpret_cast<LPARAM>(text),
                                   SMTO_ABORTIFHUNG | SMTO_BLOCK, kControlTextTimeoutMs, &length)) {
            catalog.controlsNote = "the window did not answer within " +
                                   std::to_string(kControlTextTimeoutMs / 1000) +
                                   " s: its controls' texts are not known";
            return;
        }
        const std::string label = setup::StripAmpersands(AnsiText(text, sizeof text));
        if (label.empty()) continue;
        catalog.controls.push_back({static_cast<uint32_t>(id), label, className});
    }
}

setup::AppCatalog ReadAppCatalog(HWND hWnd, std::string& exePath) {
    setup::AppCatalog catalog;
    const HMENU live = ::GetMenu(hWnd);
    if (live != nullptr) {
        std::vector<setup::MenuCommand> commands;
        if (ReadMenuTree(live, setup::CommandSource::LiveMenu, commands))
            catalog.menus = std::move(commands);
        else
            catalog.liveMenuNote =
                "the window's menu cannot be read from another process here (it gives -1 items)";
    }
    exePath = ExePathOfWindow(hWnd);
    if (!exePath.empty() && !ReadExeResources(exePath, catalog))
        catalog.resourceNote = "the executable " + exePath + " cannot be loaded as data";
    ReadControls(hWnd, catalog);
    catalog.AddShortcutKeys();
    return catalog;
}

std::string FileDescriptionOf(const std::string& exePath) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(exePath.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<char> block(size);
    if (!::GetFileVersionInfoA(exePath.c_str(), 0, size, block.data())) return {};
    struct Translation {
        WORD language;
        WORD codePage;
    };
    std::vector<std::string> keys;
    Translation* translations = nullptr;
    UINT bytes = 0;
    if (::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                         reinterpret_cast<void**>(&translations), &bytes) &&
        translations != nullptr) {
        for (UINT i = 0; i < bytes / sizeof(Translation); ++i) {
            char key[64];
            std::snprintf(key, sizeof key, "\\StringFileInfo\\%04x%04x\\FileDescription",
                          translations[i].language, translations[i].codePage);
            keys.push_back(key);
        }
    }
    keys.push_back("\\StringFileInfo\\040904b0\\FileDescription");
    keys.push_back("\\StringFileInfo\\040904e4\\FileDescription");
    for (const std::string& key : keys) {
        char* text = nullptr;
        UINT length = 0;
        if (::VerQueryValueA(block.data(), key.c_str(), reinterpret_cast<void**>(&text), &length) &&
            text != nullptr && length > 0) {
            std::string description(text, ::strnlen(text, length));
            while (!description.empty() && description.back() == ' ') description.pop_back();
            if (!description.empty()) return description;
        }
    }
    return {};
}

}  // namespace qrtl::win32
