// The item store: every entry of every menu in one table of 101 slots, chained into one list
// whose order is display order and file order, walked through one cursor.
#pragma once

#include "core/menu_entry.h"

#include <array>
#include <cstdint>

namespace zv {

inline constexpr int storeSlots = 101;

struct ItemStore {
    std::array<MenuEntry, storeSlots> items;
    std::int16_t listHead = -1;
    std::int16_t freeSlot = 0;
    std::int16_t listPrev = -1;
    std::int16_t listCursor = -1;
    std::int16_t listNext = -1;
    bool holdCursor = false;
};

// The one store of the program.
extern ItemStore store;
inline std::array<MenuEntry, storeSlots>& items = store.items;

struct Step {
    MenuEntry entry;
    bool isLast = true;
    std::int16_t slot = -1;
};

// Empties the list; called once at start, with every slot still free.
void listInit();
void listRewind();
// Advances the cursor; returns whether an entry was returned into step.
bool listStep(Step& step);
// The first free slot from start on, wrapping round; -1 when every slot is taken.
std::int16_t findFreeSlot(std::int16_t start);
// Insert before the cursor entry / append at the end. Both refuse (return false, changing
// nothing) when no slot is free.
bool listInsert(const MenuEntry& entry);
bool listAppend(const MenuEntry& entry);
void listSwap(std::int16_t a, std::int16_t b);
void listRemove();

} // namespace zv
