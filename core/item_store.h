// The item store: every entry of every menu in one table of 101 slots, chained into one list
// whose order is display order and file order. Every change names the slot it acts at; a walk
// in list order cannot change anything.
#pragma once

#include "core/menu_entry.h"

#include <array>
#include <cstdint>
#include <iterator>

namespace zv {

inline constexpr int storeSlots = 101;

struct ItemStore {
    std::array<MenuEntry, storeSlots> items;
    std::int16_t listHead = -1;
    // The slot the next new entry takes; -1 when every slot is taken. A removed entry keeps its
    // name and so its slot until the next start.
    std::int16_t freeSlot = 0;
};

// The one store of the program.
extern ItemStore store;
inline std::array<MenuEntry, storeSlots>& items = store.items;

// The slots of the list in list order: `for (std::int16_t slot : listOrder())`. The next slot
// is read as the walk moves on, so nothing may be removed during a walk.
class ListOrder {
  public:
    class iterator {
      public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::int16_t;
        using difference_type = std::ptrdiff_t;
        using pointer = const std::int16_t*;
        using reference = std::int16_t;

        explicit iterator(std::int16_t slot) : slot_(slot) {}
        std::int16_t operator*() const { return slot_; }
        iterator& operator++() {
            slot_ = items[slot_].nextIndex;
            return *this;
        }
        iterator operator++(int) {
            iterator before = *this;
            ++*this;
            return before;
        }
        friend bool operator==(const iterator&, const iterator&) = default;

      private:
        std::int16_t slot_;
    };
    iterator begin() const { return iterator(store.listHead); }
    iterator end() const { return iterator(-1); }
};

inline ListOrder listOrder() {
    return {};
}

// Empties the list; called once at start, with every slot still free.
void clearList();
// The first free slot from start on, wrapping round; -1 when every slot is taken.
std::int16_t findFreeSlot(std::int16_t start);
// Whether the entry in slot is in the list (not free, not removed).
bool inList(std::int16_t slot);
// The slot of the list's last entry; -1 for an empty list.
std::int16_t lastSlot();
// Puts entry before the one in slot (at the end when slot is not in the list) / at the end.
// Both return the new entry's slot, or -1, changing nothing, when no slot is free.
std::int16_t insertBefore(std::int16_t slot, const MenuEntry& entry);
std::int16_t append(const MenuEntry& entry);
// Takes the entry in slot out of the list; its slot stays taken until the next start.
void remove(std::int16_t slot);
// Trades the contents of two entries; the list's links stay as they are.
void swapEntries(std::int16_t a, std::int16_t b);

} // namespace zv
