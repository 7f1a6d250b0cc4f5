#include "core/item_store.h"

#include <utility>

namespace zv {

ItemStore store;

void listInit() {
    store.listHead = -1;
    store.freeSlot = 0;
    listRewind();
}

void listRewind() {
    store.listPrev = -1;
    store.listCursor = -1;
    store.listNext = store.listHead;
    store.holdCursor = false;
}

bool listStep(Step& step) {
    if (store.holdCursor) {
        store.holdCursor = false;
        // The removal left a cursor entry only when something followed the removed one.
        if (store.listCursor != -1) {
            step.entry = items[store.listCursor];
            step.slot = store.listCursor;
            step.isLast = step.entry.nextIndex == -1;
            return true;
        }
        step.isLast = true;
        step.slot = -1;
        return false;
    }
    if (store.listNext == -1) {
        step.isLast = true;
        step.slot = -1;
        return false;
    }
    step.entry = items[store.listNext];
    step.slot = store.listNext;
    store.listPrev = store.listCursor;
    store.listCursor = store.listNext;
    store.listNext = items[store.listCursor].nextIndex;
    step.isLast = store.listNext == -1;
    return true;
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

bool listInsert(const MenuEntry& entry) {
    if (store.freeSlot == -1)
        return false;
    const std::int16_t slot = store.freeSlot;
    items[slot] = entry;
    if (store.listPrev == -1) {
        store.listHead = slot;
        if (store.listCursor == -1) {
            items[slot].nextIndex = store.listNext;
            store.listNext = slot;
        } else {
            items[slot].nextIndex = store.listCursor;
            store.listCursor = slot;
        }
    } else {
        items[store.listPrev].nextIndex = slot;
        items[slot].nextIndex = store.listCursor;
        store.listCursor = slot;
    }
    store.freeSlot = findFreeSlot(store.freeSlot);
    store.holdCursor = false;
    return true;
}

bool listAppend(const MenuEntry& entry) {
    if (store.freeSlot == -1)
        return false;
    Step step;
    if (store.listNext != -1)
        while (listStep(step) && !step.isLast) {
        }
    // After the last entry was removed the walk ends with no cursor entry; the last entry
    // still in the list is the one before the removed one.
    if (store.listCursor == -1 && store.listPrev != -1)
        store.listCursor = store.listPrev;
    const std::int16_t slot = store.freeSlot;
    items[slot] = entry;
    items[slot].nextIndex = -1;
    if (store.listCursor == -1) {
        store.listHead = slot;
    } else {
        items[store.listCursor].nextIndex = slot;
        store.listPrev = store.listCursor;
    }
    store.listCursor = slot;
    store.listNext = -1;
    store.freeSlot = findFreeSlot(store.freeSlot);
    store.holdCursor = false;
    return true;
}

void listSwap(std::int16_t a, std::int16_t b) {
    MenuEntry& x = items[a];
    MenuEntry& y = items[b];
    std::swap(x.name, y.name);
    std::swap(x.itemType, y.itemType);
    std::swap(x.parentMenu, y.parentMenu);
    std::swap(x.target, y.target);
    std::swap(x.iconIndex, y.iconIndex);
    store.holdCursor = false;
}

void listRemove() {
    if (store.listCursor == -1)
        return;
    MenuEntry& removed = items[store.listCursor];
    if (store.listPrev == -1)
        store.listHead = removed.nextIndex;
    else
        items[store.listPrev].nextIndex = removed.nextIndex;
    removed.nextIndex = -1;
    if (store.listNext != -1) {
        store.listCursor = store.listNext;
        store.listNext = items[store.listCursor].nextIndex;
    } else {
        // Nothing followed: the walk is at its end with no cursor entry. Leaving the removed
        // slot as the cursor would let a later insert chain it back in after the new entry.
        store.listCursor = -1;
    }
    store.holdCursor = true;
}

} // namespace zv
