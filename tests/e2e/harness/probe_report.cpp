#include "probe_report.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <sstream>

namespace zv::e2e {

namespace {

bool sameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

long long number(std::string_view field, int base = 10) {
    long long value = 0;
    const auto end = field.data() + field.size();
    if (const auto read = std::from_chars(field.data(), end, value, base);
        read.ec != std::errc() || read.ptr != end)
        throw ProbeError("bad number in probe output: " + std::string(field));
    return value;
}

// One record's fields, read in order after its kind.
struct Record {
    std::vector<std::string_view> fields;
    std::size_t at = 1;

    std::string_view kind() const { return fields[0]; }
    std::string_view next() { return fields.at(at++); }
    long integer() { return static_cast<long>(number(next())); }
    Hwnd hex() {
        const auto field = next();
        if (!field.starts_with("0x"))
            throw ProbeError("bad handle in probe output: " + std::string(field));
        return static_cast<Hwnd>(number(field.substr(2), 16));
    }
    bool flag() {
        const auto field = next();
        if (field != "0" && field != "1")
            throw ProbeError("bad flag in probe output: " + std::string(field));
        return field == "1";
    }
    Rect rect() { return {int(integer()), int(integer()), int(integer()), int(integer())}; }
    // Backslash escapes: \\ \t \r \n and \xHH.
    std::string text() {
        const auto field = next();
        std::string out;
        for (size_t i = 0; i < field.size(); ++i) {
            const char c = field[i] == '\\' ? (++i < field.size() ? field[i] : '?') : '\0';
            const auto named = std::string_view("\\trn").find(c);
            if (!c) {
                out += field[i];
            } else if (c == 'x' && i + 2 < field.size()) {
                out += static_cast<char>(number(field.substr(i + 1, 2), 16));
                i += 2;
            } else if (named != std::string_view::npos) {
                out += "\\\t\r\n"[named];
            } else {
                throw ProbeError("probe text has a bad escape");
            }
        }
        return out;
    }
};

// One line's fields, split at the tabs: a record of one of the `expected` kinds, with the
// number of fields of its kind.
Record split(std::string_view line, std::string_view expected) {
    static const std::string_view kinds = "DWCRISYXEHVN";
    static const size_t sizes[] = {3, 17, 15, 9, 4, 7, 11, 2, 2, 1, 6, 1};
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    Record record;
    for (size_t tab; (tab = line.find('\t')) != std::string_view::npos; line.remove_prefix(tab + 1))
        record.fields.push_back(line.substr(0, tab));
    record.fields.push_back(line);
    const auto kind = kinds.find(record.kind());
    if (record.kind().size() != 1 || expected.find(record.kind()) == std::string_view::npos ||
        kind == std::string_view::npos || record.fields.size() != sizes[kind])
        throw ProbeError("unexpected probe record: " + std::string(record.kind()));
    return record;
}

// The report's records, checked against the closing E record's count.
std::vector<Record> records(const std::string& report, std::string_view expected) {
    std::vector<Record> result;
    std::string_view rest(report);
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        if (end == std::string_view::npos)
            throw ProbeError("probe output ends inside a line");
        Record record = split(rest.substr(0, end), std::string(expected) + "E");
        rest.remove_prefix(end + 1);
        if (record.kind() == "E") {
            if (!rest.empty() || record.integer() != static_cast<long>(result.size()))
                throw ProbeError("probe output's E record does not end it");
            return result;
        }
        result.push_back(std::move(record));
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

const Control* Window::nthControl(std::string_view cls, int index) const {
    for (const auto& c : controls)
        if (sameName(c.className, cls) && index-- == 0)
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
    auto all = records(report, "DWC");
    if (all.empty() || all[0].kind() != "D")
        throw ProbeError("probe window report has no D record");
    r.active = all[0].hex();
    r.focus = all[0].hex();
    for (auto& f : std::vector<Record>(all.begin() + 1, all.end())) {
        if (f.kind() == "W") {
            r.windows.push_back({std::uint32_t(f.integer()), f.text(), f.hex(), f.text(), f.text(),
                                 f.rect(), f.flag(), f.flag(), f.flag(), f.rect(),
                                 std::vector<Control>()});
        } else if (f.kind() != "C" || r.windows.empty() || r.windows.back().hwnd != f.hex()) {
            throw ProbeError("probe C record does not follow its window");
        } else {
            r.windows.back().controls.push_back(
                {int(f.integer()), f.hex(), f.text(), f.text(), f.rect(), f.flag(), f.flag(),
                 int(f.integer()), f.text(), static_cast<unsigned long>(f.integer())});
        }
    }
    return r;
}

std::vector<ResourceCounts> parseResourceReport(const std::string& report) {
    std::vector<ResourceCounts> result;
    for (auto& f : records(report, "R")) {
        f.at = 3;
        result.push_back(
            {f.integer(), f.integer(), f.integer(), f.integer(), f.integer(), f.integer()});
    }
    return result;
}

std::vector<IdleResult> parseIdleReport(const std::string& report) {
    std::vector<IdleResult> result;
    for (const auto& f : records(report, "I"))
        result.push_back(f.fields[3] == "idle"   ? IdleResult::Idle
                         : f.fields[3] == "busy" ? IdleResult::Busy
                                                 : IdleResult::Failed);
    return result;
}

AccessibleReport parseAccessibleReport(const std::string& report) {
    AccessibleReport result;
    auto entry = [](Record& f) {
        return AccessibleEntry{f.integer(), f.text(), f.integer(), f.text(), 0, {}};
    };
    for (auto& f : records(report, "XSY")) {
        if (f.kind() == "X") {
            result.failure = static_cast<unsigned long>(f.integer());
        } else if (f.kind() == "S") {
            result.self = entry(f);
            result.childCount = f.integer();
            result.focus = f.integer();
        } else {
            f.integer(); // the child id: rows come in order from 1
            AccessibleEntry row = entry(f);
            row.locationResult = static_cast<unsigned long>(f.integer());
            const int left = int(f.integer()), top = int(f.integer());
            row.place = {left, top, left + int(f.integer()), top + int(f.integer())};
            result.rows.push_back(std::move(row));
        }
    }
    return result;
}

EventLog parseEventLog(const std::string& log) {
    EventLog result;
    std::string_view rest(log);
    // The recorder may be writing the last line still.
    for (size_t end; (end = rest.find('\n')) != std::string_view::npos;
         rest.remove_prefix(end + 1)) {
        Record f = split(rest.substr(0, end), "HVN");
        result.listening = result.listening || f.kind() == "H";
        if (f.kind() == "V")
            result.events.push_back(
                {std::uint32_t(f.integer()), f.hex(), f.integer(), f.integer(), f.text()});
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
