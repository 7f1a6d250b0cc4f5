// The one table both benchmark programs add rows to: every measure with its median and spread,
// the baseline it is compared with, the ratio and whether the target is met.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace zv::bench {

struct Summary {
    double median = NAN;
    double min = NAN;
    double max = NAN;
    int count = 0;
    bool valid() const { return count > 0; }
};

inline Summary summarize(std::vector<double> values) {
    Summary s;
    values.erase(
        std::remove_if(values.begin(), values.end(), [](double v) { return std::isnan(v); }),
        values.end());
    if (values.empty())
        return s;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    s.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    s.min = values.front();
    s.max = values.back();
    s.count = static_cast<int>(n);
    return s;
}

// A number with as many digits as a reader needs: 3 significant ones, no exponent.
inline std::string number(double v) {
    if (std::isnan(v))
        return "n/a";
    char text[64];
    const double a = std::fabs(v);
    if (v == std::floor(v) && a < 1e9) {
        std::snprintf(text, sizeof text, "%.0f", v);
        return text;
    }
    const int decimals = a >= 100 ? 0 : a >= 10 ? 1 : a >= 1 ? 2 : 3;
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    return text;
}

// "412 ms (398–455, 7 runs)": the median, then the lowest and highest value.
inline std::string cell(const Summary& s, const std::string& unit) {
    if (!s.valid())
        return "n/a";
    if (s.count == 1 || s.min == s.max)
        return number(s.median) + " " + unit +
               (s.count > 1 ? " (" + std::to_string(s.count) + " runs, all equal)" : "");
    return number(s.median) + " " + unit + " (" + number(s.min) + "–" + number(s.max) + ", " +
           std::to_string(s.count) + " runs)";
}

struct Row {
    std::string measure;
    std::string zelvora;
    std::string baseline = "—";
    std::string ratio = "—";
    std::string target = "—";
    std::string result = "—";
};

inline std::string ratioText(double r) {
    return std::isnan(r) ? "n/a" : number(r) + "×";
}

inline std::string verdict(bool met) {
    return met ? "met" : "**missed**";
}

inline std::string markdown(const Row& r) {
    return "| " + r.measure + " | " + r.zelvora + " | " + r.baseline + " | " + r.ratio + " | " +
           r.target + " | " + r.result + " |\n";
}

// Appends the rows to the file (the table's rows only; scripts/bench adds the header).
inline bool appendRows(const std::string& path, const std::vector<Row>& rows) {
    std::ofstream out(path, std::ios::app);
    for (const Row& r : rows)
        out << markdown(r);
    return static_cast<bool>(out);
}

} // namespace zv::bench
