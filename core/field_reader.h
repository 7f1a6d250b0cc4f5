// Reads comma-separated fields from the data files: blanks before a field are skipped; a
// field that begins with a double quote runs to the next double quote (whatever follows the
// closing quote up to the next comma or line end is skipped); any other field runs to the next
// comma or line end, without the blanks at its end. Lines holding only blanks are skipped.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zv {

class FieldReader {
  public:
    explicit FieldReader(std::string_view bytes) : text_(bytes) {}

    // True when nothing but blank lines is left; made before each record.
    bool atEnd();
    // The line the last field read started on (1-based), for messages.
    int fieldLine() const { return fieldLine_; }

    // The next field; nullopt when the file has ended before it (a record cut short).
    std::optional<std::string> textField();
    // The next field as a 16-bit number; sets error() when missing or not such a number.
    std::optional<std::int16_t> numberField();

    // True when the last field ended its line (or the file); false when a comma followed it.
    bool endedLine() const { return endedLine_; }

    const std::string& error() const { return error_; }

  private:
    void skipBlankLines();
    bool atLineEnd() const;
    void consumeLineEnd();

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int fieldLine_ = 1;
    bool endedLine_ = true; // the start of the file counts as a line start
    std::string error_;
};

} // namespace zv
