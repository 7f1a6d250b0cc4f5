#include "editing/mnu.h"

#include "core/app_state.h"
#include "menus/frm_menu.h"

namespace zv {

Mnu mnu;

void Mnu::Popup(FrmMenu& frmCaller) {
    callerMenu = &frmCaller;
    stopHoverTimers();
    // The pop-up menu and its commands come with the editing work; until then a right click
    // only stops the hover timers.
}

void Mnu::stopHoverTimers() {
    for (int level = 0; level <= topLevel && level < menuLevelCount; ++level)
        if (menuLevels[level])
            menuLevels[level]->stopHoverTimer();
}

} // namespace zv
