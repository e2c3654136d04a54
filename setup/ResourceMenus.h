// The menu (RT_MENU, in its normal and its extended MENUEX form) and accelerator
// (RT_ACCELERATOR) resources of another program's file, read as bytes and never past
// the resource's size: a damaged or crafted file can make the reader refuse, never
// recurse without end, read outside the resource or run long.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "setup/AppCommands.h"

namespace qrtl::setup {

// Menu commands kept of one file or window at most; the rest is left out.
constexpr std::size_t kMaxMenuItems = 5000;
// Deeper nesting is taken for a loop or a crafted file.
constexpr int kMaxMenuDepth = 8;
// A command's path ("View > Picture > Freeze") is cut here.
constexpr std::size_t kMaxMenuPath = 512;
// A menu item's text is cut here, as a 256-character buffer would.
constexpr std::size_t kMaxMenuText = 255;
// Command items parsed of one file's menu resources at most: a file may hold the same
// menu in many resources (one per language), and hundreds of them add nothing new.
constexpr std::size_t kMaxMenuItemsParsed = 4 * kMaxMenuItems;

enum class ResourceRead {
    Read,       // whole
    Cut,        // stopped at kMaxMenuItems: the commands before are kept
    Truncated,  // an item or text runs past the resource's end
    NoEnd,      // the resource ends before the end flag of a menu or table
    TooDeep,    // popups nested deeper than kMaxMenuDepth
    BadHeader,  // neither of the two menu formats
    BadLength,  // a size that no such resource has (odd, or not whole table entries)
    Outside,    // its size reaches past the file's image: it is not read at all
};

// How an item's UTF-16 text becomes the ANSI text the catalog holds.
using MenuTextDecoder = std::function<std::string(std::u16string_view)>;
// Latin-1, '?' for anything above: the portable default.
std::string Latin1Text(std::u16string_view text);

// The command items of a menu resource, in menu order, with their paths, as
// ReadMenuTree gives them for a live menu. On any result but Read and Cut, `out` is
// left as it was.
ResourceRead ParseMenuResource(const unsigned char* data, std::size_t size, std::vector<MenuCommand>& out,
                               const MenuTextDecoder& decode = Latin1Text);

// The keys of an accelerator table resource. On any result but Read, `out` is
// left as it was.
ResourceRead ParseAcceleratorResource(const unsigned char* data, std::size_t size, std::vector<KeyCommand>& out);

// The commands of one file's menu resources, gathered one resource after another
// within the file's budget of parsed items.
struct FileMenus {
    std::vector<MenuCommand> commands;  // in the order of the resources, ids repeated as found
    std::size_t parsed = 0;             // command items parsed so far
    bool Spent() const { return parsed >= kMaxMenuItemsParsed; }
};

// Parses one more menu resource of the file into `menus`; Cut, the resource left
// unread, once the file's budget is spent.
ResourceRead AddMenuResource(FileMenus& menus, const unsigned char* data, std::size_t size,
                             const MenuTextDecoder& decode = Latin1Text);

// One stretch of this process's address space, as the system describes it.
struct MemoryRegion {
    std::uintptr_t base = 0;
    std::size_t size = 0;
    std::uintptr_t allocation = 0;  // the start of the mapping it belongs to
    bool readable = false;          // committed, readable, no guard page
};
// The region holding an address; false when the system tells nothing of it.
using RegionQuery = std::function<bool(std::uintptr_t address, MemoryRegion& region)>;

// True when every byte of [data, data + size) is readable memory of the one mapping
// that holds `image`. The size of a resource comes from the file: a damaged one may
// claim megabytes past the file's end, into whatever lies next in memory.
bool RangeInsideImage(std::uintptr_t image, std::uintptr_t data, std::size_t size, const RegionQuery& query);

// "is cut off before its end" ...; empty for Read.
std::string ResourceReadWords(ResourceRead result);

}  // namespace qrtl::setup
