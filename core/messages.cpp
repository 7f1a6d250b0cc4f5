#include "core/messages.h"

#include "platform/message_box.h"

namespace zv {

void tell(const std::string& text) {
    platform::messageBox(text, appTitle, platform::Buttons::Ok);
}

bool askYesNo(const std::string& text) {
    return platform::messageBox(text, appTitle, platform::Buttons::YesNo) == platform::Answer::Yes;
}

} // namespace zv
