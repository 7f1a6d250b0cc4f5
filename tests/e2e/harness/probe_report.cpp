#include "probe_report.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace zv::e2e {

namespace {

using Fields = std::vector<std::string_view>;

bool sameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

long long number(std::string_view field, int base = 10) {
    const std::string text(field);
    std::size_t used = 0;
    long long value = 0;
    try {
        value = std::stoll(text, &used, base);
    } catch (const std::logic_error&) {
    }
    if (text.empty() || used != text.size())
        throw ProbeError("bad number in probe output: " + text);
    return value;
}

int integer(std::string_view field) {
    return static_cast<int>(number(field));
}

Hwnd hex(std::string_view field) {
    if (field.substr(0, 2) != "0x")
        throw ProbeError("bad hexadecimal in probe output: " + std::string(field));
    return static_cast<Hwnd>(number(field.substr(2), 16));
}

bool flag(std::string_view field) {
    if (field != "0" && field != "1")
        throw ProbeError("bad flag in probe output: " + std::string(field));
    return field == "1";
}

Rect rect(const Fields& f, size_t at) {
    return {integer(f[at]), integer(f[at + 1]), integer(f[at + 2]), integer(f[at + 3])};
}

// Backslash escapes: \\ \t \r \n and \xHH.
std::string text(std::string_view field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            out += field[i];
            continue;
        }
        const char c = ++i < field.size() ? field[i] : '?';
        if (c == 'x' && i + 2 < field.size()) {
            out += static_cast<char>(number(field.substr(i + 1, 2), 16));
            i += 2;
            continue;
        }
        const std::string_view from = "\\trn", to = "\\\t\r\n";
        if (from.find(c) == std::string_view::npos)
            throw ProbeError("probe text has a bad escape");
        out += to[from.find(c)];
    }
    return out;
}

// The report's records, each with the fields of its kind, checked against the closing E
// record's count.
std::vector<Fields> records(const std::string& report) {
    std::vector<Fields> result;
    std::string_view rest(report);
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        if (end == std::string_view::npos)
            throw ProbeError("probe output ends inside a line");
        std::string_view line = rest.substr(0, end);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        Fields fields;
        for (std::string_view left = line;;) {
            const auto tab = left.find('\t');
            fields.push_back(left.substr(0, tab));
            if (tab == std::string_view::npos)
                break;
            left.remove_prefix(tab + 1);
        }
        rest.remove_prefix(end + 1);
        if (fields[0] == "E") {
            if (!rest.empty() || fields.size() != 2 ||
                number(fields[1]) != static_cast<long long>(result.size()))
                throw ProbeError("probe output's E record does not end it");
            return result;
        }
        static const std::string_view kinds = "DWCRI";
        static const size_t sizes[] = {3, 13, 14, 9, 4};
        const auto kind = kinds.find(fields[0]);
        if (fields[0].size() != 1 || kind == std::string_view::npos || fields.size() != sizes[kind])
            throw ProbeError("bad probe record: " + std::string(line));
        result.push_back(std::move(fields));
    }
    throw ProbeError("probe output is incomplete (no E record)");
}

} // namespace

std::string Window::messageText() const {
    for (const auto& c : controls)
        if (sameName(c.className, "Static") && c.id == 0xffff)
            return c.text;
    return {};
}

const Control* Window::control(std::string_view cls, std::string_view wanted) const {
    for (const auto& c : controls)
        if (sameName(c.className, cls) && c.text == wanted)
            return &c;
    return nullptr;
}

std::vector<Window> WindowReport::visibleOf(std::string_view exe) const {
    std::vector<Window> result;
    for (const auto& w : windows)
        if (w.visible && sameName(w.exe, exe))
            result.push_back(w);
    return result;
}

WindowReport parseWindowReport(const std::string& report) {
    WindowReport r;
    bool desktop = false;
    for (const auto& f : records(report)) {
        if (f[0] == "D") {
            r.active = hex(f[1]);
            r.focus = hex(f[2]);
            desktop = true;
        } else if (f[0] == "W") {
            r.windows.push_back({static_cast<std::uint32_t>(number(f[1])),
                                 text(f[2]),
                                 hex(f[3]),
                                 text(f[4]),
                                 text(f[5]),
                                 rect(f, 6),
                                 flag(f[10]),
                                 flag(f[11]),
                                 flag(f[12]),
                                 {}});
        } else if (f[0] == "C") {
            if (r.windows.empty() || r.windows.back().hwnd != hex(f[1]))
                throw ProbeError("probe C record does not follow its window");
            r.windows.back().controls.push_back({hex(f[2]), integer(f[3]), text(f[4]), text(f[5]),
                                                 rect(f, 6), flag(f[10]), flag(f[11]),
                                                 integer(f[12]), text(f[13])});
        } else {
            throw ProbeError("unexpected probe record " + std::string(f[0]));
        }
    }
    if (!desktop)
        throw ProbeError("probe window report has no D record");
    return r;
}

std::vector<ResourceCounts> parseResourceReport(const std::string& report) {
    std::vector<ResourceCounts> result;
    for (const auto& f : records(report)) {
        if (f[0] != "R")
            throw ProbeError("unexpected probe record " + std::string(f[0]));
        long n[6];
        for (int i = 0; i < 6; ++i)
            n[i] = static_cast<long>(number(f[3 + i]));
        result.push_back({n[0], n[1], n[2], n[3], n[4], n[5]});
    }
    return result;
}

std::vector<IdleResult> parseIdleReport(const std::string& report) {
    std::vector<IdleResult> result;
    for (const auto& f : records(report)) {
        if (f[0] != "I")
            throw ProbeError("unexpected probe record " + std::string(f[0]));
        result.push_back(f[3] == "idle"   ? IdleResult::Idle
                         : f[3] == "busy" ? IdleResult::Busy
                                          : IdleResult::Failed);
    }
    return result;
}

std::string describe(const Window& w) {
    std::ostringstream out;
    out << w.exe << " pid " << w.pid << " \"" << w.title << "\" [" << w.className << "] ("
        << w.rect.left << "," << w.rect.top << ")-(" << w.rect.right << "," << w.rect.bottom << ")"
        << (w.visible ? " visible" : " hidden") << (w.topmost ? " topmost" : "")
        << (w.enabled ? "" : " disabled");
    for (const auto& c : w.controls)
        out << "\n    " << c.className << " #" << c.id << " \"" << c.text << "\""
            << (c.visible ? "" : " hidden") << (c.enabled ? "" : " disabled");
    return out.str();
}

std::string describe(const std::vector<Window>& windows) {
    std::string out = windows.empty() ? "(no windows)" : "";
    for (const auto& w : windows)
        out += describe(w) + "\n";
    return out;
}

} // namespace zv::e2e
