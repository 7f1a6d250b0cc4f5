#include "core/menu_entry.h"

namespace zv {

std::optional<std::int16_t> parseInt16(const std::string& text) {
    std::size_t i = 0, end = text.size();
    while (i < end && isBlank(text[i]))
        ++i;
    while (end > i && isBlank(text[end - 1]))
        --end;
    bool negative = false;
    if (i < end && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    if (i == end)
        return std::nullopt;
    long value = 0;
    for (; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > 32768)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > 32767)
        return std::nullopt;
    return static_cast<std::int16_t>(value);
}

std::string Target::asText() const {
    if (isNumber())
        return std::to_string(std::get<std::int16_t>(value_));
    return std::get<std::string>(value_);
}

std::optional<std::int16_t> Target::asNumber() const {
    if (isNumber())
        return std::get<std::int16_t>(value_);
    return parseInt16(std::get<std::string>(value_));
}

bool operator==(const Target& a, const Target& b) {
    if (!a.isNumber() && !b.isNumber())
        return a.asText() == b.asText();
    auto x = a.asNumber(), y = b.asNumber();
    return x && y && *x == *y;
}

} // namespace zv
