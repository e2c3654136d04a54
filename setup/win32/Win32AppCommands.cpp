#include "setup/win32/Win32AppCommands.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <set>

#include "platform/win32/Handle.h"
#include "setup/ResourceMenus.h"

namespace qrtl::win32 {

namespace {

constexpr int kMenuTextBuffer = 256;
constexpr std::size_t kMaxControls = 512;
constexpr int kClassBuffer = 64;

// Controls whose id means nothing as a command: they show or take text.
constexpr const char* kPassiveClasses[] = {"Static", "Edit", "ListBox", "ComboBox", "ScrollBar",
                                           "SysListView32", "SysTreeView32", "RichEdit20A",
                                           "RichEdit20W", "msctls_statusbar32"};

// One walk of a live menu: each submenu once (a menu may hang the same submenu in
// many places, which walked as a tree grows by powers), and no more than the caps.
struct MenuWalk {
    setup::CommandSource source;
    std::vector<setup::MenuCommand>& out;
    std::set<HMENU> visited;
    bool cut = false;

    bool Walk(HMENU menu, const std::string& prefix, int depth) {
        const int count = ::GetMenuItemCount(menu);
        if (count < 0) return false;
        for (int i = 0; i < count; ++i) {
            if (out.size() >= setup::kMaxMenuItems) {
                cut = true;
                return true;
            }
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
            std::string path = prefix + label;
            if (path.size() > setup::kMaxMenuPath) {
                path.resize(setup::kMaxMenuPath);
                cut = true;
            }
            const HMENU sub = ::GetSubMenu(menu, i);
            if (sub != nullptr) {
                // Deeper nesting is taken for a loop, and what it holds is left out; a
                // submenu seen already adds nothing new.
                if (depth >= setup::kMaxMenuDepth)
                    cut = true;
                else if (visited.insert(sub).second)
                    Walk(sub, path + " > ", depth + 1);
                continue;
            }
            const UINT id = ::GetMenuItemID(menu, i);
            if (id == 0 || id == static_cast<UINT>(-1)) continue;  // a separator
            out.push_back({static_cast<uint32_t>(id), path, shortcut, source});
        }
        return true;
    }
};

// The menu items' UTF-16 texts in the ANSI code page, as the live menu gives them.
std::string AnsiOf(std::u16string_view text) {
    if (text.empty()) return {};
    const std::wstring wide(text.begin(), text.end());
    char ansi[kMenuTextBuffer] = {};
    const int n = ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), ansi,
                                        kMenuTextBuffer - 1, nullptr, nullptr);
    return std::string(ansi, n > 0 ? static_cast<std::size_t>(n) : 0);
}

struct ResourceWalk {
    HMODULE module;
    setup::AppCatalog* catalog;
    setup::FileMenus menus;
    setup::ResourceRead worst = setup::ResourceRead::Read;
};

// What VirtualQuery tells of the region at an address, in the portable check's terms.
bool QueryRegion(std::uintptr_t address, setup::MemoryRegion& region) {
    MEMORY_BASIC_INFORMATION info{};
    if (::VirtualQuery(reinterpret_cast<const void*>(address), &info, sizeof info) != sizeof info) return false;
    constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                                PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    region.base = reinterpret_cast<std::uintptr_t>(info.BaseAddress);
    region.size = info.RegionSize;
    region.allocation = reinterpret_cast<std::uintptr_t>(info.AllocationBase);
    region.readable = info.State == MEM_COMMIT && (info.Protect & kReadable) != 0 && !(info.Protect & PAGE_GUARD);
    return true;
}

enum class ResourceAt { Read, None, Outside };

// The resource's bytes, bounded by its size, and that size checked against the
// loaded file: the size comes from the file and is never taken on trust.
ResourceAt ResourceBytes(HMODULE module, LPCSTR type, LPCSTR name, const unsigned char*& data, std::size_t& size) {
    const HRSRC found = ::FindResourceA(module, name, type);
    if (found == nullptr) return ResourceAt::None;
    const HGLOBAL loaded = ::LoadResource(module, found);
    size = ::SizeofResource(module, found);
    data = loaded != nullptr ? static_cast<const unsigned char*>(::LockResource(loaded)) : nullptr;
    if (data == nullptr || size == 0) return ResourceAt::None;
    // A module loaded as data has its handle's low bits set; the mapping starts below.
    const std::uintptr_t image = reinterpret_cast<std::uintptr_t>(module) & ~static_cast<std::uintptr_t>(3);
    return setup::RangeInsideImage(image, reinterpret_cast<std::uintptr_t>(data), size, QueryRegion) ? ResourceAt::Read
                                                                                                     : ResourceAt::Outside;
}

void Remember(ResourceWalk& walk, setup::ResourceRead result) {
    if (walk.worst == setup::ResourceRead::Read || walk.worst == setup::ResourceRead::Cut) walk.worst = result;
}

BOOL CALLBACK OnMenuResource(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR param) {
    auto* walk = reinterpret_cast<ResourceWalk*>(param);
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    const ResourceAt bytes = ResourceBytes(module, type, name, data, size);
    if (bytes == ResourceAt::Outside) Remember(*walk, setup::ResourceRead::Outside);
    if (bytes != ResourceAt::Read) return TRUE;
    const setup::ResourceRead result = setup::AddMenuResource(walk->menus, data, size, AnsiOf);
    if (result == setup::ResourceRead::Cut) walk->catalog->menusCut = true;
    else if (result != setup::ResourceRead::Read) Remember(*walk, result);
    // The first resource past the budget says so, and ends the walk.
    return result != setup::ResourceRead::Cut || !walk->menus.Spent();
}

BOOL CALLBACK OnAcceleratorResource(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR param) {
    auto* walk = reinterpret_cast<ResourceWalk*>(param);
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    const ResourceAt bytes = ResourceBytes(module, type, name, data, size);
    if (bytes == ResourceAt::Outside) Remember(*walk, setup::ResourceRead::Outside);
    if (bytes != ResourceAt::Read) return TRUE;
    const setup::ResourceRead result = setup::ParseAcceleratorResource(data, size, walk->catalog->keys);
    if (result != setup::ResourceRead::Read) Remember(*walk, result);
    return walk->catalog->keys.size() < setup::kMaxMenuItems;
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

bool ReadMenuTree(HMENU menu, setup::CommandSource source, std::vector<setup::MenuCommand>& out, bool* cut) {
    if (menu == nullptr) return false;
    MenuWalk walk{source, out, {menu}};
    const bool read = walk.Walk(menu, "", 0);
    if (cut != nullptr) *cut = walk.cut;
    return read;
}

setup::AppCatalog ReadFileCatalog(const std::string& exePath) {
    setup::AppCatalog catalog;
    std::string refused;
    const std::string local = LocalImageFile(exePath, &refused);
    if (local.empty())
        catalog.resourceNote = refused;
    else if (!ReadExeResources(local, catalog))
        catalog.resourceNote = "the executable " + exePath + " cannot be loaded as data";
    catalog.AddShortcutKeys();
    return catalog;
}

bool ReadExeResources(const std::string& exePath, setup::AppCatalog& catalog) {
    // As data only: nothing of the application runs in this process, and the
    // resources are read as bytes by a reader bounded by each resource's size.
    const UniqueHModule module(::LoadLibraryExA(exePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module) return false;
    ResourceWalk walk{module.get(), &catalog, {}};
    ::EnumResourceNamesA(module.get(), RT_MENU, OnMenuResource, reinterpret_cast<LONG_PTR>(&walk));
    // One merge for the whole file: its resources often repeat each other's ids.
    catalog.MergeMenus(walk.menus.commands);
    ::EnumResourceNamesA(module.get(), RT_ACCELERATOR, OnAcceleratorResource,
                         reinterpret_cast<LONG_PTR>(&walk));
    if (walk.worst != setup::ResourceRead::Read)
        catalog.resourceNote = "a menu or accelerator resource of " + exePath + " " +
                               setup::ResourceReadWords(walk.worst) + ": it is left out";
    return true;
}

void ReadControls(HWND hWnd, setup::AppCatalog& catalog) {
    // One deadline for the whole read: an application that answers each control just
    // within a limit of its own would hold the reader up for minutes.
    const DWORD start = ::GetTickCount();
    std::size_t unread = 0;
    std::size_t seen = 0;
    for (HWND child = ::GetWindow(hWnd, GW_CHILD); child != nullptr && seen < kMaxControls;
         child = ::GetWindow(child, GW_HWNDNEXT), ++seen) {
        const int id = ::GetDlgCtrlID(child);
        if (id <= 0 || id == kStaticId) continue;  // no id, or IDC_STATIC
        char className[kClassBuffer] = {};
        if (::GetClassNameA(child, className, kClassBuffer) <= 0 || Passive(className)) continue;
        const LONG style = ::GetWindowLongA(child, GWL_STYLE);
        if (::lstrcmpiA(className, "Button") == 0 && (style & BS_TYPEMASK) == BS_GROUPBOX) continue;
        // Unsigned difference: right across the wrap of the tick count.
        const DWORD spent = ::GetTickCount() - start;
        if (unread > 0 || spent >= kControlsReadMs) {
            ++unread;  // after the first control that did not answer, none is asked again
            continue;
        }
        char text[kMenuTextBuffer] = {};
        DWORD_PTR length = 0;
        // Never an unbounded SendMessage: a hung application must not hang the reader.
        if (!::SendMessageTimeoutA(child, WM_GETTEXT, kMenuTextBuffer - 2, reinterpret_cast<LPARAM>(text),
                                   SMTO_ABORTIFHUNG | SMTO_BLOCK, kControlsReadMs - spent, &length)) {
            ++unread;
            continue;
        }
        const std::string label = setup::StripAmpersands(AnsiText(text, sizeof text));
        if (label.empty()) continue;
        catalog.controls.push_back({static_cast<uint32_t>(id), label, className});
    }
    if (unread > 0)
        catalog.controlsNote =
            "the application answers slowly: " + std::to_string(unread) + " controls not read";
}

setup::AppCatalog ReadAppCatalog(HWND hWnd, std::string& exePath) {
    setup::AppCatalog catalog;
    const HMENU live = ::GetMenu(hWnd);
    if (live != nullptr) {
        std::vector<setup::MenuCommand> commands;
        bool cut = false;
        if (ReadMenuTree(live, setup::CommandSource::LiveMenu, commands, &cut))
            catalog.menus = std::move(commands);
        else
            catalog.liveMenuNote =
                "the window's menu cannot be read from another process here (it gives -1 items)";
        catalog.menusCut = cut;
    }
    std::string refused;
    exePath = ExePathOfWindow(hWnd, &refused);
    if (!refused.empty())
        catalog.resourceNote = refused;
    else if (!exePath.empty() && !ReadExeResources(exePath, catalog))
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
    // What VerQueryValue points to must lie inside the block, whatever lengths the
    // file's version resource claims.
    const char* const blockEnd = block.data() + block.size();
    auto inside = [&](const void* p, UINT& length) {
        const char* at = static_cast<const char*>(p);
        if (at < block.data() || at >= blockEnd) return false;
        length = static_cast<UINT>(std::min<std::size_t>(length, static_cast<std::size_t>(blockEnd - at)));
        return true;
    };
    std::vector<std::string> keys;
    Translation* translations = nullptr;
    UINT bytes = 0;
    if (::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                         reinterpret_cast<void**>(&translations), &bytes) &&
        translations != nullptr && inside(translations, bytes)) {
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
            text != nullptr && inside(text, length) && length > 0) {
            std::string description(text, ::strnlen(text, length));
            while (!description.empty() && description.back() == ' ') description.pop_back();
            if (!description.empty()) return description;
        }
    }
    return {};
}

}  // namespace qrtl::win32
