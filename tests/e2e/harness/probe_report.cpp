#include "probe_report.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace zv::e2e {

namespace {

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        auto tab = line.find('\t');
        fields.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos)
            break;
        line.remove_prefix(tab + 1);
    }
    return fields;
}

long long number(std::string_view field, int base = 10) {
    std::string text(field);
    try {
        size_t used = 0;
        long long value = std::stoll(text, &used, base);
        if (used != text.size())
            throw ProbeError("bad number in probe output: " + text);
        return value;
    } catch (const std::logic_error&) {
        throw ProbeError("bad number in probe output: " + text);
    }
}

std::uint64_t hexNumber(std::string_view field) {
    if (field.substr(0, 2) != "0x")
        throw ProbeError("bad hexadecimal in probe output: " + std::string(field));
    try {
        return std::stoull(std::string(field.substr(2)), nullptr, 16);
    } catch (const std::logic_error&) {
        throw ProbeError("bad hexadecimal in probe output: " + std::string(field));
    }
}

int integer(std::string_view field) {
    return static_cast<int>(number(field));
}

bool flag(std::string_view field) {
    if (field != "0" && field != "1")
        throw ProbeError("bad flag in probe output: " + std::string(field));
    return field == "1";
}

Rect rect(const std::vector<std::string_view>& f, size_t at) {
    return {integer(f[at]), integer(f[at + 1]), integer(f[at + 2]), integer(f[at + 3])};
}

// Splits the report into records, checking the closing E record's count.
std::vector<std::vector<std::string_view>> records(const std::string& text) {
    std::vector<std::vector<std::string_view>> result;
    std::string_view rest(text);
    bool ended = false;
    while (!rest.empty()) {
        auto end = rest.find('\n');
        if (end == std::string_view::npos)
            throw ProbeError("probe output ends inside a line");
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (ended)
            throw ProbeError("probe output continues after its E record");
        auto fields = splitFields(line);
        if (fields[0] == "E") {
            if (fields.size() != 2 || number(fields[1]) != static_cast<long long>(result.size()))
                throw ProbeError("probe output's E record does not match its records");
            ended = true;
            continue;
        }
        result.push_back(std::move(fields));
    }
    if (!ended)
        throw ProbeError("probe output is incomplete (no E record)");
    return result;
}

void expectFields(const std::vector<std::string_view>& f, size_t count) {
    if (f.size() != count)
        throw ProbeError("probe record " + std::string(f[0]) + " has " + std::to_string(f.size()) +
                         " fields, expected " + std::to_string(count));
}

} // namespace

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string unescapeField(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i >= text.size())
            throw ProbeError("probe text ends with a backslash");
        switch (text[i]) {
        case '\\':
            out += '\\';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        case 'n':
            out += '\n';
            break;
        case 'x':
            if (i + 2 >= text.size())
                throw ProbeError("probe text has a short \\x escape");
            out += static_cast<char>(number(text.substr(i + 1, 2), 16));
            i += 2;
            break;
        default:
            throw ProbeError("probe text has an unknown escape");
        }
    }
    return out;
}

std::string Window::messageText() const {
    for (const auto& c : controls)
        if (sameName(c.className, "Static") && c.id == 0xffff)
            return c.text;
    return {};
}

const Control* Window::control(std::string_view cls, std::string_view text) const {
    for (const auto& c : controls)
        if (sameName(c.className, cls) && c.text == text)
            return &c;
    return nullptr;
}

const Control* Window::controlById(std::string_view cls, int wantedId) const {
    for (const auto& c : controls)
        if (sameName(c.className, cls) && c.id == wantedId)
            return &c;
    return nullptr;
}

std::vector<Window> WindowReport::of(std::string_view exe) const {
    std::vector<Window> result;
    for (const auto& w : windows)
        if (sameName(w.exe, exe))
            result.push_back(w);
    return result;
}

std::vector<Window> WindowReport::visibleOf(std::string_view exe) const {
    auto result = of(exe);
    result.erase(
        std::remove_if(result.begin(), result.end(), [](const Window& w) { return !w.visible; }),
        result.end());
    return result;
}

const Window* WindowReport::find(std::string_view exe, std::string_view title) const {
    for (const auto& w : windows)
        if (sameName(w.exe, exe) && w.title == title)
            return &w;
    return nullptr;
}

const Window* WindowReport::byHandle(Hwnd hwnd) const {
    for (const auto& w : windows)
        if (w.hwnd == hwnd)
            return &w;
    return nullptr;
}

WindowReport parseWindowReport(const std::string& text) {
    WindowReport report;
    bool haveDesktop = false;
    for (const auto& f : records(text)) {
        if (f[0] == "D") {
            expectFields(f, 8);
            report.desktop = {integer(f[1]),   integer(f[2]), hexNumber(f[3]), hexNumber(f[4]),
                              hexNumber(f[5]), integer(f[6]), integer(f[7])};
            haveDesktop = true;
        } else if (f[0] == "W") {
            expectFields(f, 16);
            Window w;
            w.pid = static_cast<std::uint32_t>(number(f[1]));
            w.exe = unescapeField(f[2]);
            w.hwnd = hexNumber(f[3]);
            w.owner = hexNumber(f[4]);
            w.title = unescapeField(f[5]);
            w.className = unescapeField(f[6]);
            w.rect = rect(f, 7);
            w.visible = flag(f[11]);
            w.topmost = flag(f[12]);
            w.enabled = flag(f[13]);
            w.style = static_cast<std::uint32_t>(hexNumber(f[14]));
            w.exStyle = static_cast<std::uint32_t>(hexNumber(f[15]));
            w.zOrder = static_cast<int>(report.windows.size());
            report.windows.push_back(std::move(w));
        } else if (f[0] == "C") {
            expectFields(f, 18);
            if (report.windows.empty() || report.windows.back().hwnd != hexNumber(f[1]))
                throw ProbeError("probe C record does not follow its window");
            Control c;
            c.top = hexNumber(f[1]);
            c.hwnd = hexNumber(f[2]);
            c.parent = hexNumber(f[3]);
            c.id = integer(f[4]);
            c.className = unescapeField(f[5]);
            c.text = unescapeField(f[6]);
            c.rect = rect(f, 7);
            c.visible = flag(f[11]);
            c.enabled = flag(f[12]);
            c.style = static_cast<std::uint32_t>(hexNumber(f[13]));
            c.check = integer(f[14]);
            c.count = integer(f[15]);
            c.selection = integer(f[16]);
            c.selectionText = unescapeField(f[17]);
            report.windows.back().controls.push_back(std::move(c));
        } else {
            throw ProbeError("unknown probe record " + std::string(f[0]));
        }
    }
    if (!haveDesktop)
        throw ProbeError("probe window report has no D record");
    return report;
}

std::vector<ProcessEntry> parseProcessReport(const std::string& text) {
    std::vector<ProcessEntry> result;
    for (const auto& f : records(text)) {
        if (f[0] != "P")
            throw ProbeError("unexpected probe record " + std::string(f[0]));
        expectFields(f, 4);
        result.push_back({static_cast<std::uint32_t>(number(f[1])),
                          static_cast<std::uint32_t>(number(f[2])), unescapeField(f[3])});
    }
    return result;
}

std::vector<ResourceCounts> parseResourceReport(const std::string& text) {
    std::vector<ResourceCounts> result;
    for (const auto& f : records(text)) {
        if (f[0] != "R")
            throw ProbeError("unexpected probe record " + std::string(f[0]));
        expectFields(f, 9);
        result.push_back({static_cast<std::uint32_t>(number(f[1])), unescapeField(f[2]),
                          static_cast<long>(number(f[3])), static_cast<long>(number(f[4])),
                          static_cast<long>(number(f[5])), static_cast<long>(number(f[6])),
                          static_cast<long>(number(f[7])), static_cast<long>(number(f[8]))});
    }
    return result;
}

std::vector<IdleState> parseIdleReport(const std::string& text) {
    std::vector<IdleState> result;
    for (const auto& f : records(text)) {
        if (f[0] != "I")
            throw ProbeError("unexpected probe record " + std::string(f[0]));
        expectFields(f, 4);
        IdleResult state = f[3] == "idle"   ? IdleResult::Idle
                           : f[3] == "busy" ? IdleResult::Busy
                                            : IdleResult::Failed;
        result.push_back({static_cast<std::uint32_t>(number(f[1])), unescapeField(f[2]), state});
    }
    return result;
}

std::string describe(const Window& w) {
    std::ostringstream text;
    text << w.exe << " pid " << w.pid << " \"" << w.title << "\" [" << w.className << "] ("
         << w.rect.left << "," << w.rect.top << ")-(" << w.rect.right << "," << w.rect.bottom << ")"
         << (w.visible ? " visible" : " hidden") << (w.topmost ? " topmost" : "")
         << (w.enabled ? "" : " disabled");
    for (const auto& c : w.controls)
        text << "\n    " << c.className << " #" << c.id << " \"" << c.text << "\""
             << (c.visible ? "" : " hidden") << (c.enabled ? "" : " disabled");
    return text.str();
}

std::string describe(const std::vector<Window>& windows) {
    if (windows.empty())
        return "(no windows)";
    std::string text;
    for (const auto& w : windows)
        text += describe(w) + "\n";
    return text;
}

} // namespace zv::e2e
