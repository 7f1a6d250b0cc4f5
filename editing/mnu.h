// The edit-mode context menu shown by a right click on a menu row, and its commands. Every
// command acts on the window it was called for and that window's highlighted row.
#pragma once

#include <cstdint>

namespace zv {

class FrmMenu;

class Mnu {
  public:
    FrmMenu* callerMenu = nullptr;
    bool editMode = false;

    // Shows the context menu for the calling window; returns when it has closed and the chosen
    // command has finished.
    void Popup(FrmMenu& frmCaller);

    // The commands, one per entry.
    void mnuDisable_Click();
    void mnuEnable_Click();
    void mnuModify_Click();
    void mnuInsert_Click();
    void mnuDelete_Click();
    void mnuCut_Click();
    void mnuCopy_Click();
    void mnuPaste_Click();
    void mnuMoveUp_Click();
    void mnuMoveDown_Click();
    void mnuBatchAdd_Click();
    void mnuSave_Click();
    void mnuQuit_Click();

  private:
    void stopHoverTimers();
    bool seekHighlighted();
    std::int16_t highlightedSlot() const;
    bool highlighted() const;
    void rebuildCaller();
};

extern Mnu mnu;

// Tells the user the store has no room for another entry.
void showMenuFull();

} // namespace zv
