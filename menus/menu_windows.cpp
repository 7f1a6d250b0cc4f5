#include "menus/menu_windows.h"

#include "core/app_state.h"

namespace zv {

namespace {

std::array<std::unique_ptr<MenuWindow>, menuLevelCount> objects;

} // namespace

MenuWindow& menuLevel(int level) {
    auto& object = objects[static_cast<std::size_t>(level)];
    if (!object) {
        object = std::make_unique<MenuWindow>();
        object->level = static_cast<std::int16_t>(level);
    }
    return *object;
}

void releaseMenuWindows() {
    for (auto& object : objects)
        object.reset();
}

} // namespace zv
