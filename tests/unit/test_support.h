// Shared helpers for the unit tests: a temporary program folder, a fresh program state and the
// few looks at the program that most tests take.
#pragma once

#include "core/app_state.h"
#include "core/item_store.h"
#include "menus/menu_window.h"
#include "menus/menu_windows.h"
#include "platform/headless/headless.h"
#include "trigger/trigger_window.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace zv::test {

using Names = std::vector<std::string>;

// A temporary folder removed with everything in it when the object goes.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    void write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const;

  private:
    std::string path_;
};

// Every global of the program back to its state before start-up, and the headless platform
// pointed at programFolder.
void resetProgram(const std::string& programFolder = "");

// The captions of a menu's rows, and of the whole store in list order.
Names rowNames(const MenuWindow& menu);
Names namesInList();
std::vector<MenuEntry> entriesInList();
// Appends fillers until only `left` slots of the store are free.
void fillStore(int left = 0);
std::vector<headless::ShownMessage>& messages();
// Whether f ended the process.
bool endsProcess(const std::function<void()>& f);
// A dialog script that only acts as the user on the dialog.
headless::DialogScript asUser(std::function<void(platform::Dialog&)> acts);

// A started program in a temporary folder.
class ProgramTest : public ::testing::Test {
  protected:
    // Writes the two data files into the folder and runs start-up on it.
    void start(const std::string& menuFile, const std::string& catalogue = "");
    void clickTrigger() {
        triggerWindow.mouseDown(platform::buttonLeft, 0, 5, 5);
        triggerWindow.mouseUp(platform::buttonLeft, 0, 5, 5);
    }
    MenuWindow& root() { return menuLevel(0); }
    // Opens the submenu of the given row of level d as the hover timer does.
    MenuWindow& openSub(int row, int d = 0) {
        menuLevel(d).hoverRow = static_cast<std::int16_t>(row);
        menuLevel(d).timerTick();
        return menuLevel(d + 1);
    }
    // A right click on a row of a menu, choosing an entry of the pop-up menu.
    void command(MenuWindow& menu, int row, int entry) {
        menu.hoverRow = static_cast<std::int16_t>(row);
        headless::dialogs().popupAnswers.push_back(entry);
        menu.mouseDown(platform::buttonRight, 0, 10, 10);
    }
    TempFolder folder;
};

} // namespace zv::test
