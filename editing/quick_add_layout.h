// The quick add dialog's controls.
#pragma once

#include "platform/dialog.h"

namespace zv {

namespace quickAddControl {
enum : platform::ControlId {
    questionLabel,
    iconPicture,
    nameLabel,
    nameBox,
    targetLabel,
    targetText,
    menuLabel,
    menuList,
    yesButton,
    noButton,
};
} // namespace quickAddControl

platform::DialogModel quickAddLayout();

} // namespace zv
