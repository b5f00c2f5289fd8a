#include "driver/input_reader.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "output/fatal_error.h"

namespace kestrelfold {
namespace {

constexpr std::string_view kEndOfFile = "end-of-file during read";
constexpr std::string_view kSyntaxError = "list-directed I/O syntax error";

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
    explicit ReadCursor(Unit& unit) : unit_(unit) { next_record(); }

    // Passes over blanks, tabs and record ends; returns the first byte of the
    // value (or of a null value), which stays unread.
    char skip_to_value() {
        for (;;) {
            while (pos_ < record_.size() && is_blank(record_[pos_])) ++pos_;
            if (pos_ < record_.size()) return record_[pos_];
            next_record();
        }
    }

    // From the current byte up to a blank, tab, comma, slash or record end.
    std::string_view take_undelimited() {
        const std::size_t start = pos_;
        while (pos_ < record_.size() && !ends_value(record_[pos_])) ++pos_;
        return std::string_view(record_).substr(start, pos_ - start);
    }

    // From the opening delimiter at the current byte to its match. Bytes
    // beyond `keep` are passed over rather than stored, since the variable
    // could not hold them anyway.
    std::string take_delimited(std::size_t keep) {
        const char delimiter = record_[pos_++];
        std::string text;
        for (;;) {
            if (pos_ == record_.size()) {
                next_record();  // the record end adds nothing to the text
                continue;
            }
            char c = record_[pos_++];
            if (c == delimiter) {
                if (pos_ == record_.size() || record_[pos_] != delimiter) return text;
                ++pos_;  // a doubled delimiter stands for one
            }
            if (text.size() < keep) text += c;
        }
    }

    [[noreturn]] void fail(std::string_view what) const {
        throw FatalError(unit_message(what, unit_.number(), unit_.file()));
    }

private:
    void next_record() {
        if (!unit_.read_record(record_)) fail(kEndOfFile);
        pos_ = 0;
    }

    Unit& unit_;
    std::string record_;
    std::size_t pos_ = 0;
};

// An optional sign and at least one decimal digit, nothing else, within the
// range of a 32-bit integer. Anything else is refused: a value out of range
// is never wrapped or clipped.
std::optional<std::int32_t> parse_int32(std::string_view token) {
    std::string_view digits = token;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) digits.remove_prefix(1);
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), is_digit)) return std::nullopt;
    if (token.front() == '+') token.remove_prefix(1);  // from_chars takes no plus sign
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (error != std::errc() || end != token.data() + token.size()) return std::nullopt;
    return value;
}

}  // namespace

std::optional<std::int32_t> read_integer(Unit& unit) {
    ReadCursor cursor(unit);
    if (is_null_value(cursor.skip_to_value())) return std::nullopt;
    const std::optional<std::int32_t> value = parse_int32(cursor.take_undelimited());
    if (!value) cursor.fail(kSyntaxError);
    return value;
}

std::optional<std::string> read_text(Unit& unit, std::size_t length) {
    ReadCursor cursor(unit);
    const char first = cursor.skip_to_value();
    if (is_null_value(first)) return std::nullopt;
    std::string text = is_delimiter(first) ? cursor.take_delimited(length)
                                           : std::string(cursor.take_undelimited());
    text.resize(length, ' ');
    return text;
}

}  // namespace kestrelfold
