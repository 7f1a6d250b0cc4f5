#include "core/field_reader.h"

#include "core/menu_entry.h"

namespace zv {

bool FieldReader::atLineEnd() const {
    return pos_ < text_.size() && (text_[pos_] == '\r' || text_[pos_] == '\n');
}

void FieldReader::consumeLineEnd() {
    if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n')
        ++pos_;
    ++pos_;
    ++line_;
}

void FieldReader::skipBlankLines() {
    for (;;) {
        std::size_t p = pos_;
        while (p < text_.size() && isBlank(text_[p]))
            ++p;
        if (p < text_.size() && (text_[p] == '\r' || text_[p] == '\n')) {
            pos_ = p;
            consumeLineEnd();
            continue;
        }
        if (p == text_.size())
            pos_ = p;
        return;
    }
}

bool FieldReader::atEnd() {
    if (endedLine_)
        skipBlankLines();
    return pos_ >= text_.size();
}

std::optional<std::string> FieldReader::textField() {
    if (endedLine_)
        skipBlankLines();
    fieldLine_ = line_;
    if (pos_ >= text_.size() && endedLine_)
        return std::nullopt;
    while (pos_ < text_.size() && isBlank(text_[pos_]))
        ++pos_;
    std::string value;
    if (pos_ < text_.size() && text_[pos_] == '"') {
        ++pos_;
        while (pos_ < text_.size() && text_[pos_] != '"') {
            if (text_[pos_] == '\n' ||
                (text_[pos_] == '\r' && (pos_ + 1 == text_.size() || text_[pos_ + 1] != '\n')))
                ++line_;
            value += text_[pos_++];
        }
        if (pos_ < text_.size())
            ++pos_;
        while (pos_ < text_.size() && text_[pos_] != ',' && !atLineEnd())
            ++pos_;
    } else {
        std::size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != ',' && !atLineEnd())
            ++pos_;
        std::size_t end = pos_;
        while (end > start && isBlank(text_[end - 1]))
            --end;
        value.assign(text_.substr(start, end - start));
    }
    if (pos_ >= text_.size()) {
        endedLine_ = true;
    } else if (text_[pos_] == ',') {
        ++pos_;
        endedLine_ = false;
    } else {
        consumeLineEnd();
        endedLine_ = true;
    }
    return value;
}

std::optional<std::int16_t> FieldReader::numberField() {
    auto field = textField();
    if (!field) {
        error_ = "the file ends inside a record";
        return std::nullopt;
    }
    auto number = parseInt16(*field);
    if (!number) {
        error_ = field->empty() ? "a number is missing"
                                : "\"" + *field + "\" is not a number from -32768 to 32767";
    }
    return number;
}

} // namespace zv
