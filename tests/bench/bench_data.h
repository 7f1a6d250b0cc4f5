// The inputs every benchmark shares, generated so that the native and the Wine measurements
// work on the same data: a full item store and an icon catalogue of any length.
#pragma once

#include <string>

namespace zv::bench {

// The full store: 101 entries, the most the store holds. The root menu has 51 rows (the most
// a menu shows): a header, four submenu rows (menus 1 to 4), a separator and 45 programs.
// Menus 1 to 4 have 10 rows each; row 3 of menu 1 opens menu 5, which has 10 rows. Most rows
// show a catalogue icon spread over 300 icons; every fifth takes its icon from its target.
std::string fullMenuFile();

inline constexpr int fullRootRows = 51;
inline constexpr int fullRootFirstSubmenuRow = 1; // rows 1 to 4 open menus 1 to 4
inline constexpr int fullSubmenus = 4;
inline constexpr int fullNestedRow = 3; // in menu 1, opens menu 5

// A catalogue of `icons` icon lines in groups of 30, pointing at icons\icon-NNN.ico.
std::string iconCatalogue(int icons);
// The relative name catalogue line `index` points at ("icons/icon-007.ico").
std::string catalogueIconFile(int index);

} // namespace zv::bench
