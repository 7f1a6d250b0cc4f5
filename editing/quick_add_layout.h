// The quick add dialog's controls.
#pragma once

#include "platform/dialog.h"

namespace zv {

platform::DialogModel quickAddLayout();

} // namespace zv
