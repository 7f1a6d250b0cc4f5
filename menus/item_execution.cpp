// Carrying out the highlighted row: a file through the shell, a submenu, or a built-in command.
#include "core/item_store.h"
#include "core/messages.h"
#include "menus/menu_window.h"
#include "platform/message_box.h"
#include "platform/shell.h"
#include "trigger/quit.h"
#include "trigger/trigger_window.h"

namespace zv {

void MenuWindow::executeEntry() {
    if (!hasRow())
        return;
    // A copy: the shell and the system dialogs run modal loops in which the store may change.
    const MenuEntry item = items[rowSlots[hoverRow]];
    void* owner = isOpen() ? window_->handle() : nullptr;
    switch (item.itemType) {
    case File: {
        // An entry with no target (a new submenu's placeholder) starts nothing: there is no
        // file to fail on, so nothing to report.
        if (item.target.asText().empty()) {
            triggerWindow.closeAll();
            break;
        }
        const std::string failure = platform::shellExecute(owner, item.target.asText());
        triggerWindow.closeAll();
        if (!failure.empty())
            tell("Zelvora could not open " + item.target.asText() + "\n\n" + failure);
        break;
    }
    case Menu:
        openSubmenu();
        break;
    case Special: {
        const auto code = item.target.asNumber();
        if (!code)
            break;
        if (*code == SpecialQuit)
            quitApp();
        else if (*code == SpecialShutdown)
            platform::shutdownDialog(owner);
        else if (*code == SpecialRun)
            platform::runDialog(owner);
        break;
    }
    default:
        break;
    }
}

} // namespace zv
