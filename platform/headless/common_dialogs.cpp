#include "platform/common_dialogs.h"

#include "headless.h"

namespace zv::platform {

std::optional<std::string> chooseFile(void* owner, const std::string& initialFile) {
    auto& d = headless::dialogs();
    d.choosers.push_back({headless::ChooserCall::Kind::File, owner, initialFile});
    if (d.fileAnswers.empty())
        return std::nullopt;
    std::optional<std::string> answer = std::move(d.fileAnswers.front());
    d.fileAnswers.pop_front();
    return answer;
}

std::string browseForFolder(void* owner, const std::string& title) {
    auto& d = headless::dialogs();
    d.choosers.push_back({headless::ChooserCall::Kind::Folder, owner, title});
    if (d.folderAnswers.empty())
        return "";
    std::string answer = std::move(d.folderAnswers.front());
    d.folderAnswers.pop_front();
    return answer;
}

} // namespace zv::platform
