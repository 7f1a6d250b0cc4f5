#include "platform/popup_menu.h"

#include "headless.h"
#include "internal.h"

namespace zv::platform {

int popupMenu(void* owner, const std::vector<PopupEntry>& entries, std::optional<Point> at) {
    auto& d = headless::dialogs();
    headless::ShownPopup shown;
    shown.owner = owner;
    shown.at = at;
    for (const PopupEntry& e : entries)
        shown.captions.push_back(e.caption);
    d.popups.push_back(std::move(shown));
    if (d.popupAnswers.empty())
        return -1;
    const int answer = d.popupAnswers.front();
    d.popupAnswers.pop_front();
    // The real menu can only give back one of its entries, never a separator.
    if (answer < -1 || answer >= static_cast<int>(entries.size()) ||
        (answer >= 0 && entries[static_cast<std::size_t>(answer)].caption == "-")) {
        headless::detail::fault("scripted pop-up menu answer is not an entry of the menu");
        return -1;
    }
    return answer;
}

} // namespace zv::platform
