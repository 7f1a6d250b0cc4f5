// The quick add dialog: offers every program and shortcut the folder search finds, one at a
// time, with an editable name and the menu to add it to. It is modeless, so the menus stay
// usable while it searches.
#pragma once

#include "core/menu_entry.h"
#include "editing/folder_search.h"
#include "platform/dialog.h"
#include "platform/icons.h"

#include <map>
#include <memory>
#include <string>

namespace zv {

class QuickAddDialog : public platform::DialogEvents {
  public:
    std::map<std::string, std::int16_t> categoryMenus;
    FolderSearch search;
    platform::DialogModel model;

    void start();
    void showFound();
    void accept();
    void skip();
    bool isOpen() const { return dialog_ != nullptr; }
    // A file is on offer (not while a search step runs).
    bool offering() const { return offering_; }
    void unload();

    void clicked(platform::ControlId control) override;
    void closeRequested() override;

  private:
    void advance();
    // Runs the next search step with Yes and No held back; false when the dialog is done.
    bool nextFolder();
    void closeDialog();
    void setButtons(bool enabled);

    std::unique_ptr<platform::Dialog> dialog_;
    // A closed dialog waits here until no handler of it can still be running.
    std::unique_ptr<platform::Dialog> closingDialog_;
    platform::IconHandle largeIcon_ = nullptr;
    bool offering_ = false;
    bool searching_ = false;
    // The entry the next accepted file goes before.
    std::int16_t insertAt_ = -1;
};

extern QuickAddDialog quickAddDialog;

// "name.exe" and "name.lnk" without every ".exe" and then every ".lnk", in any case.
std::string offeredName(const std::string& fileName);

} // namespace zv
