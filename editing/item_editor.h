// The item editor: the modal "Edit" dialog that fills editItem for a new or changed entry and
// reports OK through editAccepted. It never touches the item store itself.
#pragma once

#include "platform/dialog.h"

#include <cstdint>
#include <memory>
#include <string>

namespace zv {

class ItemEditor : public platform::DialogEvents {
  public:
    bool editExisting = false;
    platform::DialogModel model;

    // Fills the dialog (creating it if needed) for the entry in slot slot, or for a new
    // entry when slot is -1, in the menu parentMenu. Does not show it.
    void prepare(std::int16_t slot, std::int16_t parentMenu);
    // Shows the dialog and returns when OK or Cancel has closed it.
    void showModal(void* owner);
    bool loaded() const { return dialog_ != nullptr; }
    void unload();
    void* handle() const;

    // What the user (or the code, to the same effect) does with the controls.
    void selectType(int option);       // opt 0..4
    void selectIconOption(int option); // optIco 0 "Use user icon", 1 "Rip the icon"
    void selectGroup(int group);       // defType
    void selectIcon(int position);     // defIcons
    void selectSpecial(int position);  // cmbSpecials
    void ok();
    void cancel();
    void browseFile();
    void browseFolder();

    void clicked(const std::string& control) override;
    void changed(const std::string& control) override;
    void closeRequested() override;

  private:
    void load();
    void typeOptionChanged();
    void iconOptionChanged();
    void groupChosen();
    void iconChosen();
    void checkOption(const std::string& prefix, int count, int option);
    int checkedOption(const std::string& prefix, int count) const;
    void sync();
    void close();

    std::unique_ptr<platform::Dialog> dialog_;
};

extern ItemEditor itemEditor;

// The shell's folder browser with the given title: the chosen folder's full path, or "" when
// the user cancels.
std::string browseForFolder(const std::string& title);

} // namespace zv
