// The bounded reader of menu and accelerator resources: both menu formats as a
// resource compiler writes them, and damaged resources refused in bounded time.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "setup/ImagePath.h"
#include "setup/ResourceMenus.h"

namespace {

using qrtl::setup::ResourceRead;

// Little-endian bytes of a resource, written as a resource compiler lays them out.
struct Res {
    std::vector<unsigned char> bytes;
    Res& W(uint16_t w) {
        bytes.push_back(static_cast<unsigned char>(w & 0xFF));
        bytes.push_back(static_cast<unsigned char>(w >> 8));
        return *this;
    }
    Res& D(uint32_t d) { return W(static_cast<uint16_t>(d & 0xFFFF)).W(static_cast<uint16_t>(d >> 16)); }
    Res& T(const std::string& text) {
        for (const char c : text) W(static_cast<unsigned char>(c));
        return W(0);
    }
    Res& Align() {
        while (bytes.size() % 4) bytes.push_back(0);
        return *this;
    }
    // Normal format.
    Res& Popup(const std::string& text, bool last = false) { return W(0x10 | (last ? 0x80 : 0)).T(text); }
    Res& Item(uint16_t id, const std::string& text, bool last = false) { return W(last ? 0x80 : 0).W(id).T(text); }
    // Extended format.
    Res& ExItem(uint32_t id, const std::string& text, bool last = false, bool popup = false, uint32_t type = 0) {
        Align().D(type).D(0).D(id).W(static_cast<uint16_t>((last ? 0x80 : 0) | (popup ? 1 : 0))).T(text);
        if (popup) Align().D(0);
        return *this;
    }
};

std::vector<std::string> Describe(const std::vector<qrtl::setup::MenuCommand>& menus) {
    std::vector<std::string> out;
    for (const auto& m : menus) out.push_back(qrtl::setup::CommandIdText(m.id) + " " + m.path + " [" + m.shortcut + "]");
    return out;
}

const std::vector<std::string> kExpected = {"#9C4A Audio > Volume up [Num +]", "#9C4B Audio > Mute []",
                                            "#9D00 View > Picture > Freeze [Space]", "#9E00 Help []"};

Res NormalMenu() {
    Res r;
    r.W(0).W(0);
    r.Popup("&Audio").Item(0x9C4A, "Volume &up\tNum +").Item(0, "").Item(0x9C4B, "&Mute", true);
    r.Popup("&View").Popup("&Picture", true).Item(0x9D00, "&Freeze\tSpace", true);
    r.Item(0x9E00, "&Help", true);
    return r;
}

Res ExtendedMenu() {
    Res r;
    r.W(1).W(4).D(0);
    r.ExItem(0, "&Audio", false, true).ExItem(0x9C4A, "Volume &up\tNum +").ExItem(0, "", false, false, 0x800);
    r.ExItem(0x9C4B, "&Mute", true);
    r.ExItem(0, "&View", false, true).ExItem(0, "&Picture", true, true).ExItem(0x9D00, "&Freeze\tSpace", true);
    r.ExItem(0x9E00, "&Help", true);
    return r;
}

TEST(ResourceMenus, BothFormats_EveryCommandWithPathAndShortcut) {
    for (const Res& r : {NormalMenu(), ExtendedMenu()}) {
        std::vector<qrtl::setup::MenuCommand> out;
        EXPECT_EQ(qrtl::setup::ParseMenuResource(r.bytes.data(), r.bytes.size(), out), ResourceRead::Read);
        EXPECT_EQ(Describe(out), kExpected);
    }
}

TEST(ResourceMenus, LongItemText_ReadAs255CharactersAsALiveMenuGives) {
    const struct {
        std::size_t length;
        std::size_t read;
    } cases[] = {{254, 254}, {255, 255}, {256, 255}, {300, 255}, {4000, 255}};
    for (const auto& c : cases) {
        const std::string text(c.length, 'x');
        Res normal;
        normal.W(0).W(0).Item(7, text).Item(8, "&Next", true);
        Res extended;
        extended.W(1).W(4).D(0).ExItem(7, text).ExItem(8, "&Next", true);
        for (const Res& r : {normal, extended}) {
            std::vector<qrtl::setup::MenuCommand> out;
            EXPECT_EQ(qrtl::setup::ParseMenuResource(r.bytes.data(), r.bytes.size(), out), ResourceRead::Read)
                << c.length;
            ASSERT_EQ(out.size(), 2u) << c.length;
            EXPECT_EQ(out[0].path, std::string(c.read, 'x')) << c.length;
            // The rest of the long text is passed over, not taken for the next item.
            EXPECT_EQ(out[1].path, "Next") << c.length;
        }
    }
}

// Popups nested `levels` deep, each with one command, every level ended properly.
Res Nested(int levels) {
    Res r;
    r.W(0).W(0);
    for (int i = 0; i < levels; ++i) r.Popup("P", true);
    r.Item(1, "x", true);
    return r;
}

TEST(ResourceMenus, DamagedResources_RefusedInBoundedTimeNothingKept) {
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
        ResourceRead result;  // Read: any refusal (a cut between items ends before the end flag)
    };
    std::vector<Case> cases;
    const Res normal = NormalMenu();
    const Res extended = ExtendedMenu();
    for (std::size_t cut = 0; cut + 2 < normal.bytes.size(); cut += 2)
        cases.push_back({"normal, truncated", {normal.bytes.begin(), normal.bytes.begin() + cut}, ResourceRead::Read});
    for (std::size_t cut = 4; cut + 4 < extended.bytes.size(); cut += 4)
        cases.push_back({"extended, truncated", {extended.bytes.begin(), extended.bytes.begin() + cut}, ResourceRead::Read});
    Res noEnd;
    noEnd.W(0).W(0).Item(1, "a").Item(2, "b");
    cases.push_back({"no end flag", noEnd.bytes, ResourceRead::NoEnd});
    cases.push_back({"nested past the cap", Nested(qrtl::setup::kMaxMenuDepth + 1).bytes, ResourceRead::TooDeep});
    cases.push_back({"nested 20000 deep", Nested(20000).bytes, ResourceRead::TooDeep});
    Res odd = NormalMenu();
    odd.bytes.push_back(0);
    cases.push_back({"odd length", odd.bytes, ResourceRead::BadLength});
    Res version;
    version.W(7).W(0).Item(1, "a", true);
    cases.push_back({"unknown version", version.bytes, ResourceRead::BadHeader});
    Res offset;
    offset.W(1).W(0xFFF0).D(0);
    cases.push_back({"header offset past the end", offset.bytes, ResourceRead::Truncated});
    Res unterminated;
    unterminated.W(0).W(0).W(0x80).W(1);
    for (int i = 0; i < 1000; ++i) unterminated.W('a');
    cases.push_back({"text without its end", unterminated.bytes, ResourceRead::Truncated});

    const auto start = std::chrono::steady_clock::now();
    for (const Case& c : cases) {
        std::vector<qrtl::setup::MenuCommand> out;
        const unsigned char* data = c.bytes.empty() ? reinterpret_cast<const unsigned char*>("") : c.bytes.data();
        const ResourceRead result = qrtl::setup::ParseMenuResource(data, c.bytes.size(), out);
        EXPECT_NE(result, ResourceRead::Read) << c.name << " " << c.bytes.size();
        if (c.result != ResourceRead::Read) {
            EXPECT_EQ(result, c.result) << c.name << " " << c.bytes.size();
        }
        EXPECT_TRUE(out.empty()) << c.name;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(ResourceMenus, MoreCommandsThanTheCap_CutWithTheFirstKept) {
    Res r;
    r.W(0).W(0);
    const std::size_t count = qrtl::setup::kMaxMenuItems + 10;
    for (std::size_t i = 0; i < count; ++i) r.Item(static_cast<uint16_t>(i + 1), "x", i + 1 == count);
    std::vector<qrtl::setup::MenuCommand> out;
    EXPECT_EQ(qrtl::setup::ParseMenuResource(r.bytes.data(), r.bytes.size(), out), ResourceRead::Cut);
    EXPECT_EQ(out.size(), qrtl::setup::kMaxMenuItems);
}

// A fake address space: an image mapped at 0x10000 (two readable regions, then a
// page without access), free space, and another mapping at 0x20000.
bool FakeRegions(std::uintptr_t address, qrtl::setup::MemoryRegion& region) {
    struct Stretch {
        std::uintptr_t base, end, allocation;
        bool readable;
    };
    static const Stretch kStretches[] = {
        {0x00000, 0x10000, 0, false},       {0x10000, 0x11000, 0x10000, true},
        {0x11000, 0x13000, 0x10000, true},  {0x13000, 0x14000, 0x10000, false},
        {0x14000, 0x20000, 0, false},       {0x20000, 0x30000, 0x20000, true},
    };
    for (const Stretch& s : kStretches)
        if (address >= s.base && address < s.end) {
            region = {s.base, static_cast<std::size_t>(s.end - s.base), s.allocation, s.readable};
            return true;
        }
    return false;
}

TEST(ResourceMenus, RangeInsideImage_ResourceRanges_OnlyReadableBytesOfTheImageAccepted) {
    struct Case {
        const char* name;
        std::uintptr_t data;
        std::size_t size;
        bool inside;
    };
    const Case cases[] = {
        {"inside the first region", 0x10100, 0x100, true},
        {"across two regions of the image", 0x10F00, 0x1200, true},
        {"up to the last readable byte", 0x12FF0, 0x10, true},
        {"one byte into the page without access", 0x12FF0, 0x11, false},
        {"8 MB from the image's last bytes", 0x12FF0, 8u * 1024 * 1024, false},
        {"in another mapping", 0x20000, 0x10, false},
        {"before the image", 0x0FF00, 0x200, false},
        {"wrapping the address space", 0x10100, SIZE_MAX, false},
        {"nowhere the system knows", 0x40000, 0x10, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(qrtl::setup::RangeInsideImage(0x10001, c.data, c.size, FakeRegions), c.inside) << c.name;
}

// The same menu in hundreds of resources (one per language) is parsed only up to the
// file's budget; the first resource past it is left unread and says Cut.
TEST(ResourceMenus, AddMenuResource_ManyResourcesOfOneFile_ParsedWithinTheBudget) {
    Res r;
    r.W(0).W(0);
    constexpr std::size_t kItems = 4999;
    for (std::size_t i = 0; i < kItems; ++i) r.Item(static_cast<uint16_t>(i % 7 + 1), "x", i + 1 == kItems);
    qrtl::setup::FileMenus menus;
    std::size_t read = 0;
    ResourceRead last = ResourceRead::Read;
    for (int resource = 0; resource < 400 && last == ResourceRead::Read; ++resource) {
        last = qrtl::setup::AddMenuResource(menus, r.bytes.data(), r.bytes.size());
        if (last == ResourceRead::Read) ++read;
    }
    EXPECT_EQ(last, ResourceRead::Cut);
    EXPECT_EQ(read, (qrtl::setup::kMaxMenuItemsParsed + kItems - 1) / kItems);
    EXPECT_LT(menus.parsed, qrtl::setup::kMaxMenuItemsParsed + kItems);
}

// Merging a file's resources whose ids repeat: every id once, in first-seen order,
// at most the cap in all, and in time proportional to the items (a lookup in the
// list for each item took 3 s for 400 resources of 4,999 ids).
TEST(ResourceMenus, MergeMenus_RepeatedIdsOverManyResources_EachOnceCappedQuickly) {
    std::vector<qrtl::setup::MenuCommand> resources;
    for (int resource = 0; resource < 100; ++resource)
        for (uint32_t id = 1; id <= 4999; ++id)
            resources.push_back({id, "x", "", qrtl::setup::CommandSource::Resource});
    qrtl::setup::AppCatalog catalog;
    catalog.menus.push_back({4999, "live", "", qrtl::setup::CommandSource::LiveMenu});
    const auto start = std::chrono::steady_clock::now();
    catalog.MergeMenus(resources);
    const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    std::printf("one merge of 100 resources of 4,999 repeated ids: %lld ms\n", static_cast<long long>(spent.count()));
    ASSERT_EQ(catalog.menus.size(), 4999u);
    EXPECT_EQ(catalog.menus[0].path, "live");
    EXPECT_EQ(catalog.menus[1].id, 1u);
    EXPECT_FALSE(catalog.menusCut);
    EXPECT_LT(spent, std::chrono::milliseconds(1500));

    std::vector<qrtl::setup::MenuCommand> more;
    for (uint32_t id = 5000; id < 5010; ++id) more.push_back({id, "y", "", qrtl::setup::CommandSource::Resource});
    catalog.MergeMenus(more);
    EXPECT_EQ(catalog.menus.size(), qrtl::setup::kMaxMenuItems);
    EXPECT_TRUE(catalog.menusCut);
}

TEST(ResourceMenus, AcceleratorTables_KeysReadDamagedRefused) {
    Res table;
    table.W(0x01).W(0x26).W(0x8005).W(0);           // FVIRTKEY Up
    table.W(0x01 | 0x08).W('O').W(0x8020).W(0);     // Ctrl+O
    table.W(0x01 | 0x80).W(0x70).W(0x8030).W(0);    // F1, last
    std::vector<qrtl::setup::KeyCommand> keys;
    EXPECT_EQ(qrtl::setup::ParseAcceleratorResource(table.bytes.data(), table.bytes.size(), keys), ResourceRead::Read);
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].key.vk, 0x26);
    EXPECT_EQ(keys[0].commandId, 0x8005u);
    EXPECT_EQ(keys[1].key.modifiers, qrtl::setup::kModCtrl);

    struct Case {
        const char* name;
        std::size_t size;
        ResourceRead result;
    };
    Res noEnd;
    noEnd.W(0x01).W(0x26).W(1).W(0).W(0x01).W(0x27).W(2).W(0);
    for (const Case& c : {Case{"odd length", table.bytes.size() - 1, ResourceRead::BadLength},
                          Case{"half an entry", 12, ResourceRead::BadLength},
                          Case{"empty", 0, ResourceRead::BadLength}}) {
        keys.clear();
        EXPECT_EQ(qrtl::setup::ParseAcceleratorResource(table.bytes.data(), c.size, keys), c.result) << c.name;
        EXPECT_TRUE(keys.empty()) << c.name;
    }
    EXPECT_EQ(qrtl::setup::ParseAcceleratorResource(noEnd.bytes.data(), noEnd.bytes.size(), keys), ResourceRead::NoEnd);
    EXPECT_TRUE(keys.empty());
}

TEST(ImagePath, NetworkAndDevicePaths_RefusedLocalKept) {
    using qrtl::setup::ImagePathKind;
    struct Case {
        const char* path;
        ImagePathKind kind;
        const char* local;
    };
    const std::vector<Case> cases = {
        {"C:\\Program Files\\TV\\tv.exe", ImagePathKind::Local, "C:\\Program Files\\TV\\tv.exe"},
        {"\\\\?\\D:\\TV\\tv.exe", ImagePathKind::Local, "D:\\TV\\tv.exe"},
        {"\\\\server\\share\\tv.exe", ImagePathKind::Network, ""},
        {"//server/share/tv.exe", ImagePathKind::Network, ""},
        {"\\\\?\\UNC\\server\\share\\tv.exe", ImagePathKind::Network, ""},
        {"\\\\.\\pipe\\tv", ImagePathKind::Device, ""},
        {"\\\\?\\GLOBALROOT\\Device\\tv.exe", ImagePathKind::Device, ""},
        {"\\Device\\HarddiskVolume1\\tv.exe", ImagePathKind::Device, ""},
        {"tv.exe", ImagePathKind::NotFull, ""},
        {"C:tv.exe", ImagePathKind::NotFull, ""},
        {"", ImagePathKind::NotFull, ""},
    };
    for (const Case& c : cases) {
        std::string local;
        EXPECT_EQ(qrtl::setup::ClassifyImagePath(c.path, &local), c.kind) << c.path;
        EXPECT_EQ(local, c.local) << c.path;
    }
}

}  // namespace
