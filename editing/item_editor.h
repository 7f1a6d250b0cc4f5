// The item editor: the modal "Edit" dialog for a new or changed entry. It returns the entry as
// the user left it and never touches the item store itself.
#pragma once

#include "core/menu_entry.h"
#include "platform/dialog.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace zv {

class ItemEditor : public platform::DialogEvents {
  public:
    bool editExisting = false;
    platform::DialogModel model;

    // Shows the dialog for `existing` (null for a new entry in menu parentMenu) and returns
    // when it has closed: the entry on OK (its list link unset), nothing on Cancel or when the
    // dialog could not be made.
    std::optional<MenuEntry> edit(const MenuEntry* existing, std::int16_t parentMenu, void* owner);
    // Fills the dialog (creating it if needed) as edit does, without showing it.
    void prepare(const MenuEntry* existing, std::int16_t parentMenu);
    // The entry as the controls have set it so far.
    const MenuEntry& entry() const { return entry_; }
    bool loaded() const { return dialog_ != nullptr; }
    void unload();
    void* handle() const;

    // What the user (or the code, to the same effect) does with the controls.
    void selectType(int type);         // an entry type: File, Menu, Header, Special, Separator
    void selectIconOption(int option); // 0 "Use user icon", 1 "Rip the icon"
    void selectGroup(int group);       // an icon group of the catalogue
    void selectIcon(int position);     // an icon of the chosen group
    void selectSpecial(int position);  // a special command
    void ok();
    void cancel();
    void browseFile();
    void browseFolder();

    void clicked(platform::ControlId control) override;
    void changed(platform::ControlId control) override;
    void closeRequested() override;

  private:
    void load();
    void typeOptionChanged();
    void iconOptionChanged();
    void groupChosen();
    void iconChosen();
    template <std::size_t n>
    void checkOption(const std::array<platform::ControlId, n>& set, int option);
    template <std::size_t n> int checkedOption(const std::array<platform::ControlId, n>& set) const;
    void sync();
    void close();

    std::unique_ptr<platform::Dialog> dialog_;
    MenuEntry entry_;
    std::optional<MenuEntry> result_;
};

extern ItemEditor itemEditor;

// The shell's folder browser with the given title: the chosen folder's full path, or "" when
// the user cancels.
std::string browseForFolder(const std::string& title);

} // namespace zv
