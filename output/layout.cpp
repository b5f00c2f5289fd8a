#include "output/layout.h"

#include <cctype>
#include <optional>
#include <stdexcept>

#include "output/latin1.h"

namespace kestrelfold {

namespace {

// Widths, counts and columns above this are typing errors, not layouts;
// the bound also keeps a layout's expansion small.
constexpr int kMaxNumber = 32767;
constexpr std::size_t kMaxEdits = 100000;
// Groups inside groups: the listings use one level. The reader descends once
// per level, so without a bound a text of a few thousand '(' would exhaust
// the stack instead of being refused.
constexpr int kMaxNesting = 100;

// A recursive-descent reader of the layout text. Descriptors are separated by
// commas; as in the layouts of the listings, the comma may be left out after a
// scale factor and around a slash.
Edit make_edit(Edit::Kind kind, int w = 0, int d = 0, std::string text = {}) {
    Edit edit;
    edit.kind = kind;
    edit.w = w;
    edit.d = d;
    edit.text = std::move(text);
    return edit;
}

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    std::vector<Edit> parse() {
        std::vector<Edit> edits;
        parse_list(edits, /*in_group=*/false);
        if (!at_end()) fail("unexpected text");
        return edits;
    }

private:
    [[noreturn]] void fail(std::string_view why) const {
        throw std::invalid_argument("layout \"" + std::string(text_) + "\": " + std::string(why) + " at column " +
                                    std::to_string(pos_ + 1));
    }

    void skip_blanks() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
    }
    bool at_end() {
        skip_blanks();
        return pos_ == text_.size();
    }
    char peek() {
        skip_blanks();
        return pos_ < text_.size() ? static_cast<char>(std::toupper(static_cast<unsigned char>(text_[pos_]))) : '\0';
    }
    bool accept(char c) {
        if (peek() != c) return false;
        ++pos_;
        return true;
    }

    std::optional<int> number() {
        skip_blanks();
        if (pos_ == text_.size() || !std::isdigit(static_cast<unsigned char>(text_[pos_]))) return std::nullopt;
        long value = 0;
        while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) {
            value = value * 10 + (text_[pos_++] - '0');
            if (value > kMaxNumber) fail("number too large");
        }
        return static_cast<int>(value);
    }
    int required_number(std::string_view what) {
        const auto value = number();
        if (!value) fail(std::string("missing ") + std::string(what));
        return *value;
    }

    // Items separated by commas, up to ')' (inside a group) or the end.
    void parse_list(std::vector<Edit>& edits, bool in_group) {
        bool need_separator = false;
        for (;;) {
            const char c = peek();
            if (c == '\0') return;
            if (c == ')') {
                if (!in_group) fail("unbalanced ')'");
                return;
            }
            if (c == '/') {
                ++pos_;
                edits.push_back(make_edit(Edit::Kind::Slash));
                need_separator = false;
                if (accept(',')) expect_descriptor();
                continue;
            }
            if (need_separator) fail("missing comma");
            const bool comma_optional = parse_item(edits);
            check_size(edits);
            if (accept(',')) {
                expect_descriptor();
                need_separator = false;
            } else {
                need_separator = !comma_optional;
            }
        }
    }

    void expect_descriptor() {
        const char next = peek();
        if (next == '\0' || next == ')' || next == ',') fail("descriptor missing after comma");
    }

    void check_size(const std::vector<Edit>& edits) const {
        if (edits.size() > kMaxEdits) fail("layout too long");
    }

    // One descriptor or group; true when it may be followed without a comma.
    bool parse_item(std::vector<Edit>& edits) {
        if (peek() == '"') {
            edits.push_back(make_edit(Edit::Kind::Literal, 0, 0, literal()));
            return false;
        }
        if (peek() == '-' || peek() == '+') {
            const bool negative = text_[pos_++] == '-';
            const int k = required_number("scale factor");
            if (!accept('P')) fail("expected P after a signed number");
            edits.push_back(make_edit(Edit::Kind::Scale, negative ? -k : k));
            return true;
        }
        const auto count = number();
        const char c = peek();
        if (c == '(') {
            ++pos_;
            group(edits, count.value_or(1));
            return false;
        }
        if (c == '\0') fail("descriptor missing");
        ++pos_;
        switch (c) {
            case 'X':
                if (count && *count == 0) fail("0X");
                edits.push_back(make_edit(Edit::Kind::X, count.value_or(1)));
                return false;
            case 'P':
                if (!count) fail("scale factor without a number");
                edits.push_back(make_edit(Edit::Kind::Scale, *count));
                return true;
            case 'T': {
                if (count) fail("repeat count before T");
                const int column = required_number("column");
                if (column < 1) fail("column 0");
                edits.push_back(make_edit(Edit::Kind::T, column));
                return false;
            }
            default:
                if (count && *count == 0) fail("repeat count 0");
                repeat(edits, data_edit(c), count.value_or(1));
                return false;
        }
    }

    Edit data_edit(char letter) {
        switch (letter) {
            case 'A':
                if (accept('*')) return make_edit(Edit::Kind::AStar);
                return make_edit(Edit::Kind::A, required_number("width"));
            case 'I':
                return make_edit(Edit::Kind::I, positive_width());
            case 'F': {
                const int w = positive_width();
                return make_edit(Edit::Kind::F, w, decimals());
            }
            case 'E': {
                const int w = positive_width();
                return make_edit(Edit::Kind::E, w, decimals());
            }
            default:
                --pos_;
                fail("unknown descriptor");
        }
    }

    int positive_width() {
        const int w = required_number("width");
        if (w == 0) fail("width 0");
        return w;
    }
    int decimals() {
        if (!accept('.')) fail("missing '.d'");
        return required_number("digits after the point");
    }

    void group(std::vector<Edit>& edits, int count) {
        if (count == 0) fail("repeat count 0");
        if (nesting_ == kMaxNesting) fail("groups nested too deeply");
        ++nesting_;
        std::vector<Edit> body;
        parse_list(body, /*in_group=*/true);
        --nesting_;  // a failure abandons the whole parse, so no restore is needed on the way out
        if (!accept(')')) fail("missing ')'");
        if (body.empty()) fail("empty group");
        for (int i = 0; i < count; ++i) {
            edits.insert(edits.end(), body.begin(), body.end());
            check_size(edits);
        }
    }

    void repeat(std::vector<Edit>& edits, const Edit& edit, int count) {
        if (static_cast<std::size_t>(count) > kMaxEdits) fail("layout too long");
        edits.insert(edits.end(), static_cast<std::size_t>(count), edit);
    }

    // "..." with "" standing for one double quote; UTF-8 in, Latin-1 out.
    std::string literal() {
        ++pos_;  // opening quote
        std::string utf8;
        for (;;) {
            if (pos_ == text_.size()) fail("unterminated literal");
            const char c = text_[pos_++];
            if (c != '"') {
                utf8 += c;
                continue;
            }
            if (pos_ < text_.size() && text_[pos_] == '"') {
                utf8 += '"';
                ++pos_;
                continue;
            }
            break;
        }
        return utf8_to_latin1(utf8);
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int nesting_ = 0;  // groups open around the current position
};

}  // namespace

Layout Layout::parse(std::string_view text) {
    Layout layout;
    layout.edits_ = Parser(text).parse();
    return layout;
}

}  // namespace kestrelfold
