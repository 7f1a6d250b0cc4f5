// Any bytes through the menu-file reader, into an empty store.
#include "core/menu_file.h"

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zv::fuzz::resetStore();
    zv::readMenuFile(zv::fuzz::asText(data, size));
    // Whatever was read, the list must still be a list the store can hold, of named entries.
    const auto entries = zv::fuzz::entries();
    if (entries.size() > static_cast<std::size_t>(zv::storeSlots))
        zv::fuzz::fail(std::to_string(entries.size()) + " entries in a store of " +
                       std::to_string(zv::storeSlots) + " slots");
    for (const auto& e : entries)
        if (e.name.empty())
            zv::fuzz::fail("an entry without a name was stored");
    return 0;
}
