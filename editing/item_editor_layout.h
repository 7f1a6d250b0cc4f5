// The item editor's controls in their loaded state, each under a fixed id.
#pragma once

#include "platform/dialog.h"

#include <array>

namespace zv {

namespace editorControl {
enum : platform::ControlId {
    basicFrame,
    nameLabel,
    nameBox,
    typeFrame,
    menuOption,
    fileOption,
    chooseFileButton,
    chooseFolderButton,
    targetName,
    targetBox,
    headerOption,
    specialOption,
    specialName,
    specialList,
    separatorOption,
    iconFrame,
    targetIconOption,
    catalogueIconOption,
    groupName,
    groupList,
    iconName,
    iconList,
    iconPreview,
    joiningLine1,
    joiningLine2,
    joiningLine3,
    joiningLine4,
    joiningLine5,
    okButton,
    cancelButton,
};

// The type options by the entry type they choose (File, Menu, Header, Special, Separator).
inline constexpr std::array<platform::ControlId, 5> typeOptions{
    fileOption, menuOption, headerOption, specialOption, separatorOption};
// The icon options: 0 a catalogue icon ("Use user icon"), 1 the target's own ("Rip the icon").
inline constexpr std::array<platform::ControlId, 2> iconOptions{catalogueIconOption,
                                                                targetIconOption};
} // namespace editorControl

platform::DialogModel itemEditorLayout();

} // namespace zv
