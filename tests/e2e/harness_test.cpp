// The harness checks itself where a mistake would pass unnoticed: the PNG writer of the failure
// screenshots, and the probe report reader, which must refuse a report cut short.
#include "e2e.h"

#include <unistd.h>

namespace zv::e2e {
namespace {

using namespace std::chrono_literals;

// Python's zlib checks every chunk's CRC and the stream's Adler-32 and gives back the pixels.
TEST(Harness, ThePngWriterWritesWhatAReaderReadsBack) {
    Image image(8000, 3, {1, 2, 3}); // more bytes than one stored deflate block holds
    image.set(0, 0, {255, 0, 0});
    image.set(image.width - 1, 1, {0, 128, 255});
    const auto file = workDir() / ("pixels-" + std::to_string(::getpid()) + ".png");
    writePng(image, file);
    const char* read = R"(
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
assert data[:8] == b'\x89PNG\r\n\x1a\n'
at, idat = 8, b''
while at < len(data):
    n, kind = struct.unpack('>I4s', data[at:at + 8])
    assert zlib.crc32(data[at + 4:at + 8 + n]) == struct.unpack('>I', data[at + 8 + n:at + 12 + n])[0]
    if kind == b'IHDR': w, h = struct.unpack('>II', data[at + 8:at + 16])
    if kind == b'IDAT': idat += data[at + 8:at + 8 + n]
    at += 12 + n
raw = zlib.decompress(idat)
px = lambda x, y: tuple(raw[y * (3 * w + 1) + 1 + 3 * x:][:3])
print(w, h, px(0, 0), px(w - 1, 1), px(5, 2))
)";
    const CommandResult result = runCommand({"python3", "-c", read, file.string()}, 60s);
    std::filesystem::remove(file);
    ASSERT_TRUE(result.finished && result.exitStatus == 0) << result.describe();
    EXPECT_EQ(result.output, "8000 3 (255, 0, 0) (0, 128, 255) (1, 2, 3)\n");
}

TEST(Harness, ProbeReportsAreReadWhole) {
    const std::string report = "D\t0x10058\t0x10076\n"
                               "W\t480\tzelvora.exe\t0x10058\t#32770\tZelvora\t381\t333\t643\t434"
                               "\t1\t1\t0\n"
                               "C\t0x10058\t65535\t0x10082\tStatic\tCannot read "
                               "Z:\\\\a\\\\kde.qls:\\nFile not\\x01found.\t398\t363\t626\t389\t1\t1"
                               "\t-1\t\n"
                               "E\t3\n";
    const WindowReport parsed = parseWindowReport(report);
    EXPECT_EQ(parsed.focus, 0x10076u);
    ASSERT_EQ(parsed.windows.size(), 1u);
    const Window& box = parsed.windows[0];
    EXPECT_TRUE(box.isDialog() && box.visible && !box.topmost && box.enabled);
    EXPECT_EQ(box.rect, (Rect{381, 333, 643, 434}));
    EXPECT_EQ(box.messageText(), "Cannot read Z:\\a\\kde.qls:\nFile not\x01"
                                 "found.");
    EXPECT_THROW(parseWindowReport(report.substr(0, report.rfind("E\t"))), ProbeError);
    EXPECT_THROW(parseWindowReport(report.substr(0, report.size() - 1)), ProbeError);
    EXPECT_THROW(parseWindowReport("D\t0x0\t0x0\nE\t2\n"), ProbeError);
    EXPECT_THROW(parseWindowReport("D\t0x0\tx\nE\t1\n"), ProbeError);
}

} // namespace
} // namespace zv::e2e
