#include "setup/ResourceMenus.h"

namespace qrtl::setup {

namespace {

// Item flags of the normal format, and of bResInfo in the extended one.
constexpr uint16_t kPopup = 0x0010;
constexpr uint16_t kSeparator = 0x0800;
constexpr uint16_t kEnd = 0x0080;
constexpr uint16_t kExPopup = 0x0001;
constexpr uint32_t kExSeparator = 0x0800;
constexpr uint16_t kNormalVersion = 0;
constexpr uint16_t kExtendedVersion = 1;
constexpr std::size_t kAccelEntrySize = 8;
constexpr uint16_t kAccelFlagsMask = 0x7F;

class Bytes {
public:
    Bytes(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}
    bool Word(uint16_t& w) {
        if (size_ - pos_ < 2) return false;
        w = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return true;
    }
    bool Dword(uint32_t& d) {
        uint16_t low = 0;
        uint16_t high = 0;
        if (size_ - pos_ < 4) return false;
        Word(low);
        Word(high);
        d = low | (static_cast<uint32_t>(high) << 16);
        return true;
    }
    // A NUL-terminated UTF-16 text; characters past kMaxMenuText are skipped.
    bool Text(std::u16string& text) {
        text.clear();
        for (uint16_t c = 0;;) {
            if (!Word(c)) return false;
            if (c == 0) return true;
            if (text.size() < kMaxMenuText) text += static_cast<char16_t>(c);
        }
    }
    bool Skip(std::size_t n) {
        if (size_ - pos_ < n) return false;
        pos_ += n;
        return true;
    }
    // Extended items start on a DWORD boundary of the resource.
    bool Align4() { return Skip((4 - pos_ % 4) % 4); }
    bool AtEnd() const { return pos_ >= size_; }

private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

class MenuParser {
public:
    MenuParser(Bytes& bytes, bool extended, const MenuTextDecoder& decode, std::vector<MenuCommand>& out)
        : bytes_(bytes), extended_(extended), decode_(decode), out_(out) {}

    // The items of one menu level, up to and with the one carrying the end flag.
    ResourceRead Items(const std::string& prefix, int depth) {
        for (;;) {
            Item item;
            if (!(extended_ ? ExtendedItem(item) : NormalItem(item))) return ResourceRead::Truncated;
            std::string label;
            std::string shortcut;
            SplitMenuText(decode_(item.text), label, shortcut);
            if (label.empty()) label = "(item without text)";
            std::string path = prefix + label;
            if (path.size() > kMaxMenuPath) path.resize(kMaxMenuPath);
            if (item.popup) {
                if (depth >= kMaxMenuDepth) return ResourceRead::TooDeep;
                const ResourceRead inner = Items(path + " > ", depth + 1);
                if (inner != ResourceRead::Read) return inner;
            } else if (!item.separator && item.id != 0) {
                if (out_.size() >= kMaxMenuItems) return ResourceRead::Cut;
                out_.push_back({item.id, path, shortcut, CommandSource::Resource});
            }
            if (item.last) return ResourceRead::Read;
            if (bytes_.AtEnd()) return ResourceRead::NoEnd;
        }
    }

private:
    struct Item {
        uint32_t id = 0;
        std::u16string text;
        bool popup = false;
        bool separator = false;
        bool last = false;
    };

    bool NormalItem(Item& item) {
        uint16_t flags = 0;
        if (!bytes_.Word(flags)) return false;
        item.popup = (flags & kPopup) != 0;
        item.last = (flags & kEnd) != 0;
        item.separator = (flags & kSeparator) != 0;
        uint16_t id = 0;
        if (!item.popup && !bytes_.Word(id)) return false;
        item.id = id;
        return bytes_.Text(item.text);
    }

    bool ExtendedItem(Item& item) {
        uint32_t type = 0;
        uint32_t state = 0;
        uint16_t resInfo = 0;
        if (!bytes_.Align4() || !bytes_.Dword(type) || !bytes_.Dword(state) || !bytes_.Dword(item.id) ||
            !bytes_.Word(resInfo) || !bytes_.Text(item.text))
            return false;
        item.popup = (resInfo & kExPopup) != 0;
        item.last = (resInfo & kEnd) != 0;
        item.separator = (type & kExSeparator) != 0;
        // A popup's help id follows its text; its items follow that.
        uint32_t helpId = 0;
        return !item.popup || (bytes_.Align4() && bytes_.Dword(helpId));
    }

    Bytes& bytes_;
    bool extended_;
    const MenuTextDecoder& decode_;
    std::vector<MenuCommand>& out_;
};

}  // namespace

std::string Latin1Text(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char16_t c : text) out += c <= 0xFF ? static_cast<char>(c) : '?';
    return out;
}

ResourceRead ParseMenuResource(const unsigned char* data, std::size_t size, std::vector<MenuCommand>& out,
                               const MenuTextDecoder& decode) {
    if (data == nullptr || size % 2 != 0) return ResourceRead::BadLength;
    Bytes bytes(data, size);
    uint16_t version = 0;
    uint16_t offset = 0;
    if (!bytes.Word(version) || !bytes.Word(offset)) return ResourceRead::Truncated;
    if (version != kNormalVersion && version != kExtendedVersion) return ResourceRead::BadHeader;
    // Normal: the header's size follows; extended: the offset of the items from here.
    if (!bytes.Skip(offset)) return ResourceRead::Truncated;
    if (bytes.AtEnd()) return ResourceRead::NoEnd;
    std::vector<MenuCommand> commands;
    MenuParser parser(bytes, version == kExtendedVersion, decode, commands);
    const ResourceRead result = parser.Items("", 0);
    if (result == ResourceRead::Read || result == ResourceRead::Cut)
        out.insert(out.end(), commands.begin(), commands.end());
    return result;
}

ResourceRead ParseAcceleratorResource(const unsigned char* data, std::size_t size, std::vector<KeyCommand>& out) {
    if (data == nullptr || size == 0 || size % kAccelEntrySize != 0) return ResourceRead::BadLength;
    Bytes bytes(data, size);
    std::vector<KeyCommand> keys;
    while (!bytes.AtEnd()) {
        uint16_t flags = 0;
        uint16_t key = 0;
        uint16_t id = 0;
        uint16_t padding = 0;
        bytes.Word(flags);
        bytes.Word(key);
        bytes.Word(id);
        bytes.Word(padding);
        KeyStroke stroke;
        if (KeyStrokeFromAccelerator(static_cast<uint8_t>(flags & kAccelFlagsMask), key, stroke))
            keys.push_back({stroke, id, CommandSource::Resource});
        if (flags & kEnd) {
            out.insert(out.end(), keys.begin(), keys.end());
            return ResourceRead::Read;
        }
    }
    return ResourceRead::NoEnd;
}

ResourceRead AddMenuResource(FileMenus& menus, const unsigned char* data, std::size_t size,
                             const MenuTextDecoder& decode) {
    if (menus.Spent()) return ResourceRead::Cut;
    const std::size_t before = menus.commands.size();
    const ResourceRead result = ParseMenuResource(data, size, menus.commands, decode);
    menus.parsed += menus.commands.size() - before;
    return result;
}

bool RangeInsideImage(std::uintptr_t image, std::uintptr_t data, std::size_t size, const RegionQuery& query) {
    MemoryRegion region;
    if (!query(image, region)) return false;
    const std::uintptr_t mapping = region.allocation;
    if (data > UINTPTR_MAX - size) return false;  // the range wraps the address space
    const std::uintptr_t end = data + size;
    for (std::uintptr_t at = data; at < end;) {
        if (!query(at, region) || !region.readable || region.allocation != mapping) return false;
        const std::uintptr_t next = region.base + region.size;
        if (next <= at) return false;  // a region that does not reach past the address
        at = next;
    }
    return true;
}

std::string ResourceReadWords(ResourceRead result) {
    switch (result) {
    case ResourceRead::Read: return {};
    case ResourceRead::Cut:
        return "holds more than " + std::to_string(kMaxMenuItems) + " commands: only the first are listed";
    case ResourceRead::Truncated: return "is cut off inside an item";
    case ResourceRead::NoEnd: return "ends before its last item";
    case ResourceRead::TooDeep:
        return "nests its menus deeper than " + std::to_string(kMaxMenuDepth) + " levels";
    case ResourceRead::BadHeader: return "is in no menu format known";
    case ResourceRead::BadLength: return "has a size no such resource has";
    case ResourceRead::Outside: return "claims a size that reaches past the file";
    }
    return {};
}

}  // namespace qrtl::setup
