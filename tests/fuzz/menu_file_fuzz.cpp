// Any bytes through the menu-file reader, into an empty store.
#include "core/menu_file.h"

#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zv::fuzz::resetStore();
    zv::readMenuFile(zv::fuzz::asText(data, size));
    // Whatever was read, the list must still be a list the store can hold, of named entries.
    const auto entries = zv::fuzz::entries();
    if (entries.size() > static_cast<std::size_t>(zv::storeSlots)) {
        std::fprintf(stderr, "%zu entries in a store of %d slots\n", entries.size(),
                     zv::storeSlots);
        std::abort();
    }
    for (const auto& e : entries)
        if (e.name.empty()) {
            std::fprintf(stderr, "an entry without a name was stored\n");
            std::abort();
        }
    return 0;
}
