#include "driver/input_reader.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <utility>

#include "output/fatal_error.h"

namespace kestrelfold {
namespace {

constexpr std::string_view kEndOfFile = "end-of-file during read";
constexpr std::string_view kSyntaxError = "list-directed I/O syntax error";
// A token is shown up to this many characters: enough for any 32-bit
// integer and its sign with room to spare.
constexpr std::size_t kShownToken = 40;

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool ends_value(char c) { return is_blank(c) || c == ',' || c == '/'; }
bool is_null_value(char c) { return c == ',' || c == '/'; }
bool is_delimiter(char c) { return c == '\'' || c == '"'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The records of one read: the first is the record after the previous read's;
// the read ends on the record that holds the end of its value, and the next
// read starts after it whatever that record still holds.
class ReadCursor {
public:
    ReadCursor(Unit& unit, const InputValue& value)
        : unit_(unit), value_(value), first_line_(unit.records_read() + 1) {
        if (!unit_.read_record(record_)) missing(after_the_last_line());
    }

    // Passes over blanks, tabs and record ends; returns the first byte of the
    // value (or of a null value), which stays unread.
    char skip_to_value() {
        for (;;) {
            while (pos_ < record_.size() && is_blank(record_[pos_])) ++pos_;
            if (pos_ < record_.size()) return record_[pos_];
            if (!next_record()) missing(blank_to_the_end());
        }
    }

    // From the current byte up to a blank, tab, comma, slash or record end.
    std::string_view take_undelimited() {
        const std::size_t start = pos_;
        while (pos_ < record_.size() && !ends_value(record_[pos_])) ++pos_;
        return std::string_view(record_).substr(start, pos_ - start);
    }

    // From the opening delimiter at the current byte to its match. Bytes
    // beyond `keep` are counted rather than stored, since the variable
    // could not hold them anyway.
    std::string take_delimited(std::size_t keep, std::size_t& length) {
        const char delimiter = record_[pos_++];
        const std::int64_t opened_on = line();
        std::string text;
        length = 0;
        for (;;) {
            if (pos_ == record_.size()) {
                // The record end adds nothing to the text.
                if (!next_record()) missing(never_closed(delimiter, opened_on));
                continue;
            }
            char c = record_[pos_++];
            if (c == delimiter) {
                if (pos_ == record_.size() || record_[pos_] != delimiter) return text;
                ++pos_;  // a doubled delimiter stands for one
            }
            if (text.size() < keep) text += c;
            ++length;
        }
    }

    std::int64_t line() const { return unit_.records_read(); }

    // "list-directed I/O syntax error, unit 7, file F: line 3 (N): '1O' is not an integer"
    [[noreturn]] void syntax_error(std::string_view token, std::string_view what) const {
        fail(kSyntaxError, "line " + std::to_string(line()) + " (" + std::string(value_.name) +
                               "): " + quoted_input(token, kShownToken) + " " + std::string(what));
    }

private:
    bool next_record() {
        pos_ = 0;
        return unit_.read_record(record_);
    }

    [[noreturn]] void fail(std::string_view what, const std::string& where) const {
        throw FatalError(unit_message(what, unit_.number(), unit_.file()) + ": " + where);
    }

    // "end-of-file during read, unit 7, file F: N (the 3rd value) is missing: why"
    [[noreturn]] void missing(const std::string& why) const {
        fail(kEndOfFile, std::string(value_.name) + " (the " + ordinal(value_.number) +
                             " value) is missing: " + why);
    }

    std::string after_the_last_line() const {
        const std::int64_t last = unit_.records_read();
        return last == 0 ? "the file is empty" : "the file ends after line " + std::to_string(last);
    }

    std::string blank_to_the_end() const {
        const std::int64_t last = unit_.records_read();
        if (last == first_line_) return "line " + std::to_string(last) + " is blank and ends the file";
        return "lines " + std::to_string(first_line_) + " to " + std::to_string(last) +
               " are blank and end the file";
    }

    static std::string never_closed(char delimiter, std::int64_t line) {
        return std::string("the text opened with ") + delimiter + " on line " + std::to_string(line) +
               " is never closed";
    }

    Unit& unit_;
    InputValue value_;
    std::int64_t first_line_;
    std::string record_;
    std::size_t pos_ = 0;
};

// An optional sign and at least one decimal digit, nothing else, within the
// range of a 32-bit integer. Anything else is refused: a value out of range
// is never wrapped or clipped.
std::int32_t parse_int32(std::string_view token, const ReadCursor& cursor) {
    std::string_view digits = token;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) digits.remove_prefix(1);
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), is_digit)) {
        cursor.syntax_error(token, "is not an integer");
    }
    std::string_view number = token;
    if (number.front() == '+') number.remove_prefix(1);  // from_chars takes no plus sign
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size()) {
        cursor.syntax_error(token, "does not fit a 32-bit integer");
    }
    return value;
}

}  // namespace

std::optional<std::int32_t> read_integer(Unit& unit, const InputValue& value) {
    ReadCursor cursor(unit, value);
    if (is_null_value(cursor.skip_to_value())) return std::nullopt;
    return parse_int32(cursor.take_undelimited(), cursor);
}

std::optional<TextValue> read_text(Unit& unit, std::size_t length, const InputValue& value) {
    return read_text_or_null(unit, length, value).value;
}

TextRead read_text_or_null(Unit& unit, std::size_t length, const InputValue& value) {
    ReadCursor cursor(unit, value);
    const char first = cursor.skip_to_value();
    if (is_null_value(first)) return {std::nullopt, first, cursor.line()};
    TextValue text;
    text.line = cursor.line();
    if (is_delimiter(first)) {
        text.text = cursor.take_delimited(length, text.length);
    } else {
        text.text = std::string(cursor.take_undelimited());
        text.length = text.text.size();
    }
    text.text.resize(length, ' ');
    const std::int64_t line = text.line;
    return {std::move(text), 0, line};
}

std::string quoted_input(std::string_view bytes, std::size_t at_most) {
    const bool apostrophe = bytes.find('\'') != std::string_view::npos;
    const char quote = apostrophe && bytes.find('"') == std::string_view::npos ? '"' : '\'';
    std::string shown(1, quote);
    for (const char c : bytes.substr(0, at_most)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            constexpr char kHex[] = "0123456789ABCDEF";
            shown += "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 0xF];
        } else {
            shown += c;
        }
    }
    if (bytes.size() > at_most) shown += "...";
    shown += quote;
    return shown;
}

std::string ordinal(int number) {
    const int last_two = number % 100;
    const int last = number % 10;
    const char* suffix = (last_two >= 11 && last_two <= 13) ? "th"
                         : last == 1                        ? "st"
                         : last == 2                        ? "nd"
                         : last == 3                        ? "rd"
                                                            : "th";
    return std::to_string(number) + suffix;
}

}  // namespace kestrelfold
