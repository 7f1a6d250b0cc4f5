// One menu entry as the item store keeps it, and the texts-or-numbers its target can hold.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace zv {

enum ItemType : std::int32_t {
    File = 0,
    Menu = 1,
    Header = 2,
    Special = 3,
    Separator = 4,
};

enum SpecialCode : std::int16_t {
    SpecialQuit = 0,
    SpecialShutdown = 1,
    SpecialRun = 2,
};

// The blanks the data files allow around fields and numbers: space and tab.
inline bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Reads a 16-bit signed decimal number with blanks allowed around the digits.
std::optional<std::int16_t> parseInt16(const std::string& text);

// A target is text (a path, or anything read from the menu file) or a 16-bit number (a
// submenu id or special code set by the item editor). Text and number of the same value are
// the same target to every user.
class Target {
  public:
    Target() = default;
    Target(std::string text) : value_(std::move(text)) {}
    Target(const char* text) : value_(std::string(text)) {}
    Target(std::int16_t number) : value_(number) {}

    bool isNumber() const { return std::holds_alternative<std::int16_t>(value_); }
    std::string asText() const;
    std::optional<std::int16_t> asNumber() const;

    // Equal when they name the same thing: a number equals the text of the same value.
    friend bool operator==(const Target& a, const Target& b);

  private:
    std::variant<std::string, std::int16_t> value_;
};

struct MenuEntry {
    std::string name; // empty marks a free slot
    std::int32_t itemType = File;
    std::int16_t parentMenu = 0;
    Target target;
    std::int16_t iconIndex = -1; // -1: take the icon from the target when first drawn
    std::int16_t nextIndex = -1;

    friend bool operator==(const MenuEntry&, const MenuEntry&) = default;
};

} // namespace zv
