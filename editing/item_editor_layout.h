// The item editor's controls in their loaded state.
#pragma once

#include "platform/dialog.h"

namespace zv {

platform::DialogModel itemEditorLayout();

} // namespace zv
