#include "core/item_store.h"

#include <utility>

namespace zv {

ItemStore store;

namespace {

// The slot whose entry links to slot; -1 for the head or a slot not in the list.
std::int16_t slotBefore(std::int16_t slot) {
    for (std::int16_t s : listOrder())
        if (items[s].nextIndex == slot)
            return s;
    return -1;
}

std::int16_t takeFreeSlot(const MenuEntry& entry) {
    const std::int16_t slot = store.freeSlot;
    if (slot == -1)
        return -1;
    items[slot] = entry;
    store.freeSlot = findFreeSlot(slot);
    return slot;
}

} // namespace

void clearList() {
    store.listHead = -1;
    store.freeSlot = 0;
}

std::int16_t findFreeSlot(std::int16_t start) {
    if (start < 0 || start >= storeSlots)
        start = 0;
    for (int i = 0; i < storeSlots; ++i) {
        int slot = (start + i) % storeSlots;
        if (items[slot].name.empty())
            return static_cast<std::int16_t>(slot);
    }
    return -1;
}

bool inList(std::int16_t slot) {
    for (std::int16_t s : listOrder())
        if (s == slot)
            return true;
    return false;
}

std::int16_t lastSlot() {
    std::int16_t last = -1;
    for (std::int16_t s : listOrder())
        last = s;
    return last;
}

std::int16_t insertBefore(std::int16_t slot, const MenuEntry& entry) {
    if (!inList(slot))
        return append(entry);
    const std::int16_t before = slotBefore(slot);
    const std::int16_t added = takeFreeSlot(entry);
    if (added == -1)
        return -1;
    items[added].nextIndex = slot;
    if (before == -1)
        store.listHead = added;
    else
        items[before].nextIndex = added;
    return added;
}

std::int16_t append(const MenuEntry& entry) {
    const std::int16_t last = lastSlot();
    const std::int16_t added = takeFreeSlot(entry);
    if (added == -1)
        return -1;
    items[added].nextIndex = -1;
    if (last == -1)
        store.listHead = added;
    else
        items[last].nextIndex = added;
    return added;
}

void remove(std::int16_t slot) {
    if (!inList(slot))
        return;
    const std::int16_t before = slotBefore(slot);
    if (before == -1)
        store.listHead = items[slot].nextIndex;
    else
        items[before].nextIndex = items[slot].nextIndex;
    items[slot].nextIndex = -1;
}

void swapEntries(std::int16_t a, std::int16_t b) {
    MenuEntry& x = items[a];
    MenuEntry& y = items[b];
    std::swap(x.name, y.name);
    std::swap(x.itemType, y.itemType);
    std::swap(x.parentMenu, y.parentMenu);
    std::swap(x.target, y.target);
    std::swap(x.iconIndex, y.iconIndex);
}

} // namespace zv
