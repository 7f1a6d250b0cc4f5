#include "core/app.h"

#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/process.h"

namespace zv {

namespace {

[[noreturn]] void stopStartUp(const std::string& text) {
    platform::messageBox(text, appTitle, platform::Buttons::Ok);
    platform::endProcess();
}

platform::FileRead readDataFile(const std::string& name) {
    const std::string path = platform::programFolder() + name;
    platform::FileRead file = platform::readTextFile(path);
    if (!file.ok)
        stopStartUp("Cannot read " + path + ":\n" + file.error);
    return file;
}

} // namespace

void Main() {
    readDataFile("\\menu.qlf");
    readDataFile("\\kde.qls");
}

} // namespace zv
