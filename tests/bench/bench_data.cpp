#include "bench_data.h"

#include <cstdio>
#include <vector>

namespace zv::bench {

namespace {

// A number as the menu file writes it.
std::string numberForm(int n) {
    return n >= 0 ? " " + std::to_string(n) + " " : std::to_string(n) + " ";
}

std::string line(const std::string& name, int type, int parent, const std::string& target,
                 int icon) {
    return name + "," + numberForm(type) + "," + numberForm(parent) + "," + target + "," +
           numberForm(icon) + "\r\n";
}

std::string twoDigits(int n) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", n);
    return text;
}

const std::vector<std::string>& programs() {
    static const std::vector<std::string> paths = {
        "C:\\windows\\notepad.exe",          "C:\\windows\\system32\\cmd.exe",
        "C:\\windows\\regedit.exe",          "C:\\windows\\explorer.exe",
        "C:\\windows\\system32\\winver.exe", "C:\\windows\\system32\\taskmgr.exe",
        "C:\\windows\\system32\\control.exe"};
    return paths;
}

} // namespace

std::string fullMenuFile() {
    std::string text = numberForm(5) + "\r\n";
    int entry = 0;
    // Catalogue icons spread over the whole catalogue; every fifth entry takes its target's.
    auto icon = [&] {
        const int n = entry++;
        return n % 5 == 4 ? -1 : (n * 37) % 300;
    };
    auto program = [&](const std::string& name, int parent, int n) {
        const std::string& target = programs()[static_cast<std::size_t>(n) % programs().size()];
        text += line(name, 0, parent, target, icon());
    };

    text += line("Programs", 2, 0, "", icon());
    for (int m = 1; m <= fullSubmenus; ++m)
        text += line("Submenu " + std::to_string(m), 1, 0, numberForm(m), icon());
    text += line("Separator", 4, 0, "", icon());
    for (int i = 0; i < fullRootRows - 2 - fullSubmenus; ++i)
        program("Program " + twoDigits(i), 0, i);

    for (int m = 1; m <= fullSubmenus; ++m)
        for (int i = 0; i < 10; ++i) {
            if (m == 1 && i == fullNestedRow)
                text += line("Nested menu", 1, 1, numberForm(5), icon());
            else
                program("Item " + std::to_string(m) + "." + twoDigits(i), m, i + m);
        }
    for (int i = 0; i < 10; ++i)
        program("Nested item " + twoDigits(i), 5, i);
    return text;
}

std::string catalogueIconFile(int index) {
    char name[32];
    std::snprintf(name, sizeof name, "icons/icon-%03d.ico", index);
    return name;
}

std::string iconCatalogue(int icons) {
    std::string text;
    for (int i = 0; i < icons; ++i) {
        if (i % 30 == 0)
            text += "#,Group " + std::to_string(i / 30 + 1) + "\r\n";
        std::string file = catalogueIconFile(i);
        for (char& c : file)
            if (c == '/')
                c = '\\';
        text += "Icon " + std::to_string(i) + "," + file + "\r\n";
    }
    return text;
}

} // namespace zv::bench
