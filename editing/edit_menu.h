// The edit-mode context menu shown by a right click on a menu row, and its commands. Every
// command acts on the window it was called for and that window's highlighted row.
#pragma once

#include "platform/geometry.h"

#include <cstdint>
#include <optional>

namespace zv {

class MenuWindow;

class EditMenu {
  public:
    MenuWindow* callerMenu = nullptr;
    bool editMode = false;

    // Shows the context menu for the calling window, at the pointer or at a point of the screen
    // (pixels); returns when it has closed and the chosen command has finished.
    void show(MenuWindow& caller, std::optional<Point> at = std::nullopt);

    // The commands, one per entry.
    void disableEditMode();
    void enableEditMode();
    void modifyEntry();
    void insertEntry();
    void deleteEntry();
    void cutEntry();
    void copyEntry();
    void pasteEntry();
    void moveUp();
    void moveDown();
    void batchAdd();
    void save();
    void quit();

  private:
    void stopHoverTimers();
    void* callerHandle();
    std::int16_t highlightedSlot() const;
    bool highlighted() const;
    void rebuildCaller();
};

extern EditMenu editMenu;

// Tells the user the store has no room for another entry.
void showMenuFull();

} // namespace zv
