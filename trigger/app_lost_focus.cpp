#include "trigger/app_lost_focus.h"

#include "trigger/frm_trigger.h"

namespace zv {

std::int16_t LoWord(std::uint32_t value) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(value & 0xFFFFu));
}

void activateAppReceived(std::uint32_t wParam) {
    if (LoWord(wParam) == 0)
        frmTrigger.closeAll();
}

} // namespace zv
