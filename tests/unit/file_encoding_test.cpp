#include "core/file_encoding.h"
#include "test_support.h"

namespace zv {
namespace {

const std::string mark(utf8Mark);

class FileEncodingTest : public ::testing::Test {
  protected:
    void SetUp() override { test::resetProgram(); }
};

TEST_F(FileEncodingTest, TheMarkThenValidUtf8ThenTheCodePageDecide) {
    const struct {
        int codePage;
        std::string bytes;
        std::string text;
        FileEncoding encoding;
    } cases[] = {
        {1252, "Caf\xE9, x\r\n", "Café, x\r\n", FileEncoding::AnsiCodePage},
        // Bytes the code page leaves undefined still read, as the code point of their value.
        {1252, "\x81\x8D\x90", "\u0081\u008D\u0090", FileEncoding::AnsiCodePage},
        // Trail bytes that are a backslash or a bar belong to their character.
        {932, "\x95\x5C,C:\\\x95\x5C\\\x83\x7C,", "表,C:\\表\\ポ,", FileEncoding::AnsiCodePage},
        {932, "\x95\x5C\x8E\xA6", "表示", FileEncoding::AnsiCodePage},
        {932, "plain", "plain", FileEncoding::AnsiCodePage},
        {1252, mark + "plain", "plain", FileEncoding::Utf8},
        {932, mark + "Łódź", "Łódź", FileEncoding::Utf8},
        // Without the mark: valid UTF-8 beyond ASCII.
        {1252, "Łódź, Ελληνικά", "Łódź, Ελληνικά", FileEncoding::Utf8},
        {932, "表示", "表示", FileEncoding::Utf8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        headless::state().codePage = c.codePage;
        const DecodedFile file = decodeDataFile(c.bytes);
        EXPECT_EQ(file.text, c.text);
        EXPECT_EQ(file.encoding, c.encoding);
        EXPECT_EQ(file.damagedLine, 0);
    }
}

TEST_F(FileEncodingTest, BytesThatAreNotUtf8AfterTheMarkNameTheirLine) {
    const struct {
        std::string body;
        int line;
    } cases[] = {
        {"\xFF", 1},
        {"ok\r\nok\r\nbad \xC3(\r\n", 3},
        {"a\rb\nc\r\n\xE9t\xE9", 4},   // a lone CR and a lone LF each end a line
        {"\xC0\xAF", 1},               // an overlong slash
        {"ok\r\n\xED\xA0\x80", 2},     // a surrogate
        {"ok\r\ncut \xE2\x82", 2},     // a character cut short at the end
        {"ok\r\n\xF4\x90\x80\x80", 2}, // past U+10FFFF
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        EXPECT_EQ(decodeDataFile(mark + c.body).damagedLine, c.line);
    }
}

TEST_F(FileEncodingTest, TheCodePageKeepsWhatFitsItExactlyAndUtf8Stays) {
    const struct {
        int codePage;
        std::string text;
        FileEncoding readAs;
        std::optional<std::string> ansi; // none: UTF-8 with the mark
    } cases[] = {
        {1252, "Café", FileEncoding::AnsiCodePage, "Caf\xE9"},
        {1252, "\u0081\u008D", FileEncoding::AnsiCodePage, "\x81\x8D"},
        {1252, "Łódź", FileEncoding::AnsiCodePage, std::nullopt},
        {1252, "Жук", FileEncoding::AnsiCodePage, std::nullopt},
        {932, "C:\\表\\ポ|", FileEncoding::AnsiCodePage, "C:\\\x95\x5C\\\x83\x7C|"},
        {932, "Café", FileEncoding::AnsiCodePage, std::nullopt},
        // No look-alike stands in: the yen sign is not the backslash.
        {932, "¥", FileEncoding::AnsiCodePage, std::nullopt},
        // In the code page these are the bytes of "é" in UTF-8, which a reader would see.
        {1252, "Ã©", FileEncoding::AnsiCodePage, std::nullopt},
        {1252, "plain", FileEncoding::Utf8, std::nullopt},
        {1252, "Café", FileEncoding::Utf8, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        headless::state().codePage = c.codePage;
        const EncodedFile file = encodeDataFile(c.text, c.readAs);
        if (c.ansi) {
            EXPECT_EQ(file.encoding, FileEncoding::AnsiCodePage);
            EXPECT_EQ(file.bytes, *c.ansi);
        } else {
            EXPECT_EQ(file.encoding, FileEncoding::Utf8);
            EXPECT_EQ(file.bytes, mark + c.text);
        }
        // What is written reads back as the same text.
        EXPECT_EQ(decodeDataFile(file.bytes).text, c.text);
    }
}

} // namespace
} // namespace zv
