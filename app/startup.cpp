#include "app/startup.h"

#include "core/app_state.h"
#include "core/icon_catalogue.h"
#include "core/item_store.h"
#include "core/menu_file.h"
#include "core/messages.h"
#include "graphics/icon_registry.h"
#include "graphics/side_strip.h"
#include "graphics/skin_pictures.h"
#include "menus/menu_window.h"
#include "menus/menu_windows.h"
#include "menus/prepare_ahead.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/screen.h"
#include "platform/single_instance.h"
#include "trigger/trigger_window.h"

namespace zv {

namespace {

[[noreturn]] void stopStartUp(const std::string& path, const std::string& problem) {
    tell("Zelvora cannot start: the file " + path + " could not be read.\n\n" + problem);
    platform::endProcess();
}

std::string readDataFile(const std::string& path) {
    platform::FileRead file = platform::readTextFile(path);
    if (!file.ok)
        stopStartUp(path, file.error);
    return file.bytes;
}

} // namespace

void startUp() {
    // A second start from the same folder hands over to the launcher running there and ends
    // before it has touched a window or a file. A launcher that cannot answer (busy, elevated
    // or still ending) is named, or the user would see nothing happen.
    switch (platform::claimProgramFolder()) {
    case platform::FolderClaim::Claimed:
        break;
    case platform::FolderClaim::NoAnswer:
        tell("Zelvora is already running from this folder but does not answer.");
        platform::endProcess();
    case platform::FolderClaim::HandedOver:
        platform::endProcess();
    }

    const std::string folder = platform::programFolder();

    clearList();

    const std::string menuPath = folder + menuFileName;
    const std::string menuBytes = readDataFile(menuPath);
    const std::string problem = readMenuFile(menuBytes);
    if (!problem.empty())
        stopStartUp(menuPath, "The problem is on " + problem);
    menuFileOnDisk = KnownFile::of(menuBytes);

    skinPictures.load(platform::primaryMonitor().scale);

    resetIcons();
    const std::string cataloguePath = folder + catalogueFileName;
    const std::string catalogueProblem = readIconCatalogue(readDataFile(cataloguePath), folder);
    if (!catalogueProblem.empty())
        stopStartUp(cataloguePath, "The problem is on " + catalogueProblem);

    clipItem.reset();
    unsavedChanges = false;

    menuLevel(0);

    // Without its window the program could neither be used nor be quit.
    if (!triggerWindow.load()) {
        tell("Zelvora cannot start: the system could not make its window.");
        platform::endProcess();
    }
    triggerWindow.show();

    prepareAhead();
}

} // namespace zv
