#include "platform/message_box.h"

#include "headless.h"

namespace zv::platform {

Answer messageBox(const std::string& text, const std::string& title, Buttons buttons) {
    auto& st = headless::state();
    st.messages.push_back({text, title, buttons});
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    if (st.answers.empty())
        return Answer::No;
    Answer a = st.answers.front();
    st.answers.pop_front();
    return a;
}

} // namespace zv::platform
