// Bytes of any shape as a menu resource (both formats) and as an accelerator table:
// the reader never reads past the given size (the input is copied into a buffer of
// exactly that size, so the address sanitizer sees any step beyond), keeps its caps,
// and refuses without keeping anything.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "FuzzSupport.h"
#include "setup/ResourceMenus.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using qrtl::setup::ResourceRead;
    const std::unique_ptr<unsigned char[]> exact(new unsigned char[size == 0 ? 1 : size]);
    for (std::size_t i = 0; i < size; ++i) exact[i] = data[i];

    std::vector<qrtl::setup::MenuCommand> menus;
    const ResourceRead menu = qrtl::setup::ParseMenuResource(exact.get(), size, menus);
    fuzz::Check(menus.size() <= qrtl::setup::kMaxMenuItems, "more commands than the cap", menus.size());
    if (menu != ResourceRead::Read && menu != ResourceRead::Cut) fuzz::Check(menus.empty(), "kept a refused menu");
    // Every item takes at least four bytes of the resource.
    fuzz::Check(menus.size() <= size / 4, "more commands than the bytes hold", menus.size(), size);
    for (const auto& m : menus) {
        fuzz::Check(m.path.size() <= qrtl::setup::kMaxMenuPath, "path longer than the cap", m.path.size());
        fuzz::Check(m.id != 0, "a command without id");
    }

    std::vector<qrtl::setup::KeyCommand> keys;
    const ResourceRead table = qrtl::setup::ParseAcceleratorResource(exact.get(), size, keys);
    fuzz::Check(keys.size() <= size / 8, "more keys than entries", keys.size(), size);
    if (table != ResourceRead::Read) fuzz::Check(keys.empty(), "kept a refused table");
    fuzz::Check(!qrtl::setup::ResourceReadWords(menu).empty() || menu == ResourceRead::Read, "no words");
    return 0;
}
