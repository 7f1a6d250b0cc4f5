// The nine values that set the look of the menus, looked up by exact, case-sensitive key.
// They are fixed at start-up; nothing reads or writes them from disk.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <variant>

namespace zv {

using SkinValue = std::variant<std::int16_t, bool, std::string>;

extern std::map<std::string, SkinValue> skinSettings;

void initSkinSettings();

// A number setting; 0 when the key is missing or holds another kind of value.
std::int16_t skinNumber(const std::string& key);
// A switch; false when missing or not a switch.
bool skinSwitch(const std::string& key);
// A text setting; "" when missing or not a text.
std::string skinText(const std::string& key);

} // namespace zv
