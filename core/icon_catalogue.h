// The icon catalogue: two fields a line, either "#" and a group name, or an icon's name and
// its file relative to the program folder.
#pragma once

#include <string>
#include <string_view>

namespace zv {

inline constexpr const char* catalogueFileName = "\\kde.qls";

// Fills the icon registry (already reset) from the catalogue's bytes. Returns "" on success,
// otherwise the problem with the line it is on.
std::string readIconCatalogue(std::string_view bytes, const std::string& programFolder);

} // namespace zv
