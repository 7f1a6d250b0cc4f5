// The edit-mode context menu shown by a right click on a menu row.
#pragma once

namespace zv {

class FrmMenu;

class Mnu {
  public:
    FrmMenu* callerMenu = nullptr;
    bool editMode = false;

    // Shows the context menu for the calling window; returns when it has closed and the chosen
    // command has finished.
    void Popup(FrmMenu& frmCaller);

  private:
    void stopHoverTimers();
};

extern Mnu mnu;

} // namespace zv
