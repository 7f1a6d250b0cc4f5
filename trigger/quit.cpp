#include "trigger/quit.h"

#include "core/app_state.h"
#include "core/menu_file.h"
#include "editing/edit_menu.h"
#include "editing/item_editor.h"
#include "graphics/skin_pictures.h"
#include "menus/menu_window.h"
#include "menus/menu_windows.h"
#include "platform/process.h"
#include "trigger/focus_watcher.h"
#include "trigger/trigger_window.h"

namespace zv {

void quitApp() {
    if (unsavedChanges && !askSave())
        return;
    if (topLevel != -1) {
        menuLevel(0).destroy();
        triggerWindow.closeAll();
    }
    if (triggerWindow.window())
        unhookTrigger(triggerWindow.window()->handle());
    skinPictures.unload();
    editMenu.callerMenu = nullptr;
    itemEditor.unload();
    triggerWindow.unload();
    platform::endProcess();
}

} // namespace zv
