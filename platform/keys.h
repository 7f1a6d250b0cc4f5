// Virtual-key codes and shift states of the keys the program answers.
#pragma once

namespace zv::platform {

inline constexpr int keyEnter = 13;
inline constexpr int keyEscape = 27;
inline constexpr int keySpace = 32;
inline constexpr int keyLeftArrow = 37;
inline constexpr int keyUpArrow = 38;
inline constexpr int keyRightArrow = 39;
inline constexpr int keyDownArrow = 40;
inline constexpr int keyApplications = 93;
inline constexpr int keyF10 = 121;

// Shift states of key events.
inline constexpr int shiftHeld = 1;

} // namespace zv::platform
