#include "core/app.h"

#include "core/app_state.h"
#include "core/icon_catalogue.h"
#include "core/item_store.h"
#include "core/menu_file.h"
#include "core/skin_settings.h"
#include "editing/frm_modifier.h"
#include "editing/mnu.h"
#include "graphics/frm_side_graphics.h"
#include "graphics/grf.h"
#include "graphics/icon_registry.h"
#include "menus/frm_menu.h"
#include "menus/menu_windows.h"
#include "menus/prepare_ahead.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/screen.h"
#include "trigger/app_lost_focus.h"
#include "trigger/frm_trigger.h"

namespace zv {

namespace {

[[noreturn]] void stopStartUp(const std::string& path, const std::string& problem) {
    platform::messageBox("Zelvora cannot start: the file " + path + " could not be read.\n\n" +
                             problem,
                         appTitle, platform::Buttons::Ok);
    platform::endProcess();
}

std::string readDataFile(const std::string& path) {
    platform::FileRead file = platform::readTextFile(path);
    if (!file.ok)
        stopStartUp(path, file.error);
    return file.bytes;
}

} // namespace

void Main() {
    const std::string folder = platform::programFolder();

    listInit();
    initSkinSettings();

    const std::string menuPath = folder + menuFileName;
    const std::string problem = readMenuFile(readDataFile(menuPath));
    if (!problem.empty())
        stopStartUp(menuPath, "The problem is on " + problem);

    grf.load();

    resetIcons();
    const std::string cataloguePath = folder + catalogueFileName;
    const std::string catalogueProblem = readIconCatalogue(readDataFile(cataloguePath), folder);
    if (!catalogueProblem.empty())
        stopStartUp(cataloguePath, "The problem is on " + catalogueProblem);

    clipItem.reset();
    unsavedChanges = false;

    menuLevels[0] = &menuWindowObject(0);

    frmSideGraphics.Width = 28.0 * platform::screen().twipsPerPixelX;

    frmTrigger.load();
    frmTrigger.show();

    prepareAhead();
}

bool askSave() {
    if (platform::messageBox("Do you wish to save the changes?", appTitle,
                             platform::Buttons::YesNo) == platform::Answer::Yes)
        return saveMenuFile();
    return true;
}

void quitApp() {
    if (unsavedChanges && !askSave())
        return;
    if (topLevel != -1) {
        menuLevels[0]->destroy();
        frmTrigger.closeAll();
    }
    if (frmTrigger.window())
        unhookTrigger(frmTrigger.window()->handle());
    grf.unload();
    mnu.callerMenu = nullptr;
    frmModifier.unload();
    frmTrigger.unload();
    platform::endProcess();
}

} // namespace zv
