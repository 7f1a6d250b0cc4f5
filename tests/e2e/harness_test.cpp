// The harness checks itself where a mistake would pass unnoticed: a probe report cut short must
// be refused, not read as the whole desktop.
#include "wine_test.h"

namespace zv::e2e {
namespace {

TEST(Harness, ProbeReportsAreReadWhole) {
    const std::string report = "D\t0x10058\t0x10076\n"
                               "W\t480\tzelvora.exe\t0x10058\t#32770\tZelvora\t381\t333\t643\t434"
                               "\t1\t1\t0\t384\t355\t640\t431\n"
                               "C\t0x10058\t65535\t0x10082\tStatic\tCannot read "
                               "Z:\\\\a\\\\kde.qls:\\nFile not\\x01found.\t398\t363\t626\t389\t1\t1"
                               "\t-1\t\t1342177280\n"
                               "E\t3\n";
    // The whole report is read, so what is cut from it below is what makes it fail.
    ASSERT_EQ(parseWindowReport(report).windows.at(0).messageText(),
              "Cannot read Z:\\a\\kde.qls:\nFile not\x01"
              "found.");
    EXPECT_THROW(parseWindowReport(report.substr(0, report.rfind("E\t"))), ProbeError);
    EXPECT_THROW(parseWindowReport(report.substr(0, report.size() - 1)), ProbeError);
    EXPECT_THROW(parseWindowReport("D\t0x0\t0x0\nE\t2\n"), ProbeError);
    EXPECT_THROW(parseWindowReport("D\t0x0\tx\nE\t1\n"), ProbeError);
}

} // namespace
} // namespace zv::e2e
