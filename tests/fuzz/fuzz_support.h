// What the fuzz targets share: a fresh program state before each input.
#pragma once

#include "core/app_state.h"
#include "core/item_store.h"
#include "graphics/icon_registry.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace zv::fuzz {

// A property that does not hold: says which and stops, so libFuzzer keeps the input.
[[noreturn]] inline void fail(const std::string& what) {
    std::fprintf(stderr, "%s\n", what.c_str());
    std::abort();
}

inline std::string_view asText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The readers append to the one store and fill the one icon table: both start empty.
inline void resetStore() {
    store = ItemStore{};
    clearList();
    lastMenuId = 0;
}

inline void resetIconTable() {
    iconRegistry = IconRegistry{};
    resetIcons();
}

// The entries in list order.
inline std::vector<MenuEntry> entries() {
    std::vector<MenuEntry> all;
    for (std::int16_t slot : listOrder())
        all.push_back(items[slot]);
    return all;
}

} // namespace zv::fuzz
