// A menu file that reads without a problem, written back and read again, must give the same
// entries in the same order and the same last menu id.
#include "core/menu_file.h"

#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Icons above the catalogue's are taken from the target again at the next start, so the
// writer stores -1 for them; the value here makes both kinds occur.
constexpr std::int16_t lastCatalogueIcon = 40;

void fail(const char* what, std::size_t index, const std::string& written) {
    std::fprintf(stderr, "round trip changed %s of entry %zu; written file:\n%s\n", what, index,
                 written.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zv::fuzz::resetStore();
    zv::fuzz::resetIconTable();
    zv::iconRegistry.lastCatalogueIcon = lastCatalogueIcon;
    if (!zv::readMenuFile(zv::fuzz::asText(data, size)).empty())
        return 0;
    const auto first = zv::fuzz::entries();
    const std::int16_t firstMenuId = zv::lastMenuId;
    const std::string written = zv::menuFileText();

    zv::fuzz::resetStore();
    zv::lastMenuId = static_cast<std::int16_t>(~firstMenuId); // so a reader that skips it shows
    const std::string problem = zv::readMenuFile(written);
    if (!problem.empty()) {
        std::fprintf(stderr, "the written file does not read back: %s\n%s\n", problem.c_str(),
                     written.c_str());
        std::abort();
    }
    const auto second = zv::fuzz::entries();
    if (zv::lastMenuId != firstMenuId)
        fail("lastMenuId", 0, written);
    if (second.size() != first.size())
        fail("the number", first.size(), written);
    for (std::size_t i = 0; i < first.size(); ++i) {
        const zv::MenuEntry& a = first[i];
        const zv::MenuEntry& b = second[i];
        if (a.name != b.name)
            fail("the name", i, written);
        if (a.itemType != b.itemType)
            fail("the item type", i, written);
        if (a.parentMenu != b.parentMenu)
            fail("the parent menu", i, written);
        if (!(a.target == b.target))
            fail("the target", i, written);
        const std::int16_t icon = a.iconIndex > lastCatalogueIcon ? -1 : a.iconIndex;
        if (b.iconIndex != icon)
            fail("the icon", i, written);
    }
    return 0;
}
