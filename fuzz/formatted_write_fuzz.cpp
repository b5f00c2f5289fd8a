// Formatted writes of layouts and items drawn from the fuzz bytes.
//
// Most inputs describe a statement: descriptors I, F, E (with 1P or 0P before
// it), A, A* (computed width), literals, nX, Tc and /, widths 0..200, 0..40
// digits, any double bit pattern and any 32-bit integer. The statement is
// written as layout text, parsed, and written to a unit on a file; the file
// is read back and every record and field is checked:
// - each record is exactly as long as the layout makes it, CR LF after it;
// - a literal or text field holds its bytes, skipped columns hold blanks
//   (a field that a later one wrote over after a Tc is not looked at);
// - a numeric field is all asterisks exactly when the value needs more room,
//   and otherwise blanks, then sign, digits, point and exponent in the form
//   of its descriptor, with the digits that std::to_chars gives for the same
//   precision (and the same value when both are parsed back with strtod);
// - the pure field editor, given a buffer of exactly w bytes, renders the
//   same field.
// An invalid statement must end in its defined error: std::invalid_argument
// from the layout parser, FatalError "variable format expression value
// error" for an A* width outside 0..32767, std::logic_error for an E field
// whose digits leave no room for the scale factor.
//
// The other inputs are layout text as it comes: the parser either accepts it
// or refuses it with std::invalid_argument, and an accepted layout small
// enough to write is written with matching items.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz/fuzz_directory.h"
#include "output/fatal_error.h"
#include "output/field_editors.h"
#include "output/formatted_write.h"
#include "output/layout.h"
#include "output/units.h"

namespace kestrelfold::fuzz {
namespace {

constexpr int kUnit = 10;
constexpr std::string_view kFile = "record.txt";
constexpr std::size_t kMaxItems = 12;

// ---- Writing with a run-time number of items ----

template <std::size_t... I>
void write_items(Unit& unit, const Layout& layout, const std::vector<Item>& items, std::index_sequence<I...>) {
    write_formatted(unit, layout, {items[I]...});
}

template <std::size_t... N>
void write_any(Unit& unit, const Layout& layout, const std::vector<Item>& items, std::index_sequence<N...>) {
    // One instantiation per item count; the one that matches writes.
    (void)((items.size() == N ? (write_items(unit, layout, items, std::make_index_sequence<N>{}), true) : false) ||
           ...);
}

void write(Unit& unit, const Layout& layout, const std::vector<Item>& items) {
    if (items.size() > kMaxItems) broken("too many items");
    write_any(unit, layout, items, std::make_index_sequence<kMaxItems + 1>{});
}

std::string read_file() {
    std::ifstream file(std::string(kFile), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// ---- The statement drawn from the bytes ----

enum class Kind { I, F, E, A, AStar, Literal, X, Slash, T };

struct Descriptor {
    Kind kind;
    int w = 0;
    int d = 0;
    int scale = 0;     // E: 0P or 1P written before it
    std::string text;  // Literal bytes; A and A* text
    std::int32_t integer = 0;
    double real = 0;
    std::int32_t computed_width = 0;  // A*
};

double draw_double(FuzzedDataProvider& data) {
    switch (data.ConsumeIntegralInRange(0, 3)) {
        case 0:  // a binary fraction: exact ties at the rounding digit
            return std::ldexp(static_cast<double>(data.ConsumeIntegral<std::int32_t>()), -data.ConsumeIntegralInRange(0, 40));
        case 1:  // near a decimal: carries into the next power of ten
            return data.ConsumeIntegral<std::int32_t>() / std::pow(10.0, data.ConsumeIntegralInRange(0, 30));
        default:  // any bit pattern: NaN payloads, subnormals, infinities
            return std::bit_cast<double>(data.ConsumeIntegral<std::uint64_t>());
    }
}

std::string draw_printable(FuzzedDataProvider& data, std::size_t max) {
    std::string text = data.ConsumeRandomLengthString(max);
    for (char& c : text) c = static_cast<char>(' ' + static_cast<unsigned char>(c) % 95);
    return text;
}

Descriptor draw_descriptor(FuzzedDataProvider& data) {
    Descriptor descriptor;
    descriptor.kind = static_cast<Kind>(data.ConsumeIntegralInRange(0, 8));
    switch (descriptor.kind) {
        case Kind::I:
            descriptor.w = data.ConsumeIntegralInRange(0, 200);
            descriptor.integer = data.ConsumeIntegral<std::int32_t>();
            break;
        case Kind::F:
        case Kind::E:
            descriptor.w = data.ConsumeIntegralInRange(0, 200);
            descriptor.d = data.ConsumeIntegralInRange(0, 40);
            descriptor.scale = descriptor.kind == Kind::E ? data.ConsumeIntegralInRange(0, 1) : 0;
            descriptor.real = draw_double(data);
            break;
        case Kind::A:
            descriptor.w = data.ConsumeIntegralInRange(0, 200);
            descriptor.text = data.ConsumeRandomLengthString(250);
            break;
        case Kind::AStar:
            descriptor.computed_width = data.ConsumeBool() ? data.ConsumeIntegralInRange(0, 200)
                                                           : data.ConsumeIntegral<std::int32_t>();
            descriptor.text = data.ConsumeRandomLengthString(250);
            break;
        case Kind::Literal:
            descriptor.text = draw_printable(data, 40);
            break;
        case Kind::X:
            descriptor.w = data.ConsumeIntegralInRange(0, 50);
            break;
        case Kind::T:
            descriptor.w = data.ConsumeIntegralInRange(0, 250);
            break;
        case Kind::Slash:
            break;
    }
    return descriptor;
}

bool takes_item(Kind kind) { return kind <= Kind::AStar; }

// The layout text of the statement: the scale factor is written before
// every E and F, so that each field is read under the factor it names.
std::string layout_text(const std::vector<Descriptor>& descriptors) {
    std::string text;
    for (const Descriptor& descriptor : descriptors) {
        if (!text.empty()) text += ", ";
        const std::string w = std::to_string(descriptor.w);
        const std::string d = std::to_string(descriptor.d);
        switch (descriptor.kind) {
            case Kind::I: text += "I" + w; break;
            case Kind::F: text += "0P, F" + w + "." + d; break;
            case Kind::E: text += std::to_string(descriptor.scale) + "P, E" + w + "." + d; break;
            case Kind::A: text += "A" + w; break;
            case Kind::AStar: text += "A*"; break;
            case Kind::X: text += w + "X"; break;
            case Kind::Slash: text += "/"; break;
            case Kind::T: text += "T" + w; break;
            case Kind::Literal: {
                text += '"';
                for (const char c : descriptor.text) text += c == '"' ? std::string("\"\"") : std::string(1, c);
                text += '"';
                break;
            }
        }
    }
    return text;
}

std::vector<Item> items_of(const std::vector<Descriptor>& descriptors) {
    std::vector<Item> items;
    for (const Descriptor& descriptor : descriptors) {
        switch (descriptor.kind) {
            case Kind::I: items.emplace_back(descriptor.integer); break;
            case Kind::F:
            case Kind::E: items.emplace_back(descriptor.real); break;
            case Kind::A: items.emplace_back(std::string_view(descriptor.text)); break;
            case Kind::AStar: items.emplace_back(SizedText{descriptor.text, descriptor.computed_width}); break;
            default: break;
        }
    }
    return items;
}

// ---- Expected fields ----

std::string to_chars_text(double magnitude, std::chars_format form, int precision) {
    std::array<char, 2048> buffer;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude, form, precision);
    if (result.ec != std::errc()) broken("to_chars failed");
    return std::string(buffer.data(), result.ptr);
}

bool all_of_char(std::string_view field, char c) { return field.find_first_not_of(c) == std::string_view::npos; }

std::string_view without_leading_blanks(std::string_view field) {
    const std::size_t first = field.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view() : field.substr(first);
}

bool is_digits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

double parse(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

void check_integer(std::string_view field, std::int32_t value, int w) {
    const std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) > w) {
        if (!all_of_char(field, '*')) broken("I field not filled with asterisks: " + std::string(field));
        return;
    }
    if (field != std::string(w - digits.size(), ' ') + digits) broken("I field wrong: [" + std::string(field) + "]");
}

// NaN and the infinities: the long text, else the short one, else asterisks;
// in an E field after one blank and left-adjusted.
void check_special(std::string_view field, double value, int w, bool scientific) {
    const std::string long_text = std::isnan(value) ? "NaN" : value < 0 ? "-Infinity" : "Infinity";
    const std::string short_text = std::isnan(value) ? "NaN" : value < 0 ? "-Inf" : "Inf";
    const int room = scientific ? w - 1 : w;
    std::string expected(static_cast<std::size_t>(w), '*');
    for (const std::string& text : {long_text, short_text}) {
        if (static_cast<int>(text.size()) <= room) {
            expected = scientific ? " " + text + std::string(w - 1 - text.size(), ' ')
                                  : std::string(w - text.size(), ' ') + text;
            break;
        }
    }
    if (field != expected) broken("special value field wrong: [" + std::string(field) + "]");
}

void check_fixed(std::string_view field, double value, int w, int d) {
    if (!std::isfinite(value)) return check_special(field, value, w, false);
    const std::string reference = to_chars_text(std::fabs(value), std::chars_format::fixed, d);
    const std::size_t point = reference.find('.');
    const std::string integer = reference.substr(0, point);
    const std::string fraction = point == std::string::npos ? "" : reference.substr(point + 1);
    const bool rounds_to_zero = all_of_char(integer, '0') && all_of_char(fraction, '0');
    const bool negative = std::signbit(value) && !rounds_to_zero;
    const int needed = (negative ? 1 : 0) + (integer == "0" ? (d == 0 ? 1 : 0) : static_cast<int>(integer.size())) + 1 + d;
    if (needed > w) {
        if (!all_of_char(field, '*')) broken("F field not filled with asterisks: [" + std::string(field) + "]");
        return;
    }
    std::string_view text = without_leading_blanks(field);
    const bool has_sign = !text.empty() && text.front() == '-';
    if (has_sign != negative) broken("F field sign wrong: [" + std::string(field) + "]");
    if (has_sign) text.remove_prefix(1);
    const std::size_t field_point = text.find('.');
    if (field_point == std::string_view::npos) broken("F field without a point: [" + std::string(field) + "]");
    const std::string_view field_integer = text.substr(0, field_point);
    const std::string_view field_fraction = text.substr(field_point + 1);
    if (!is_digits(field_integer) || field_fraction != fraction) broken("F field digits wrong: [" + std::string(field) + "]");
    // The integer part as to_chars has it, or an omitted 0 when the field has
    // no column left for it.
    const bool zero_left_out = field_integer.empty() && integer == "0" && text.size() + (has_sign ? 1 : 0) == static_cast<std::size_t>(w);
    if (field_integer != integer && !zero_left_out) broken("F field integer part wrong: [" + std::string(field) + "]");
    const std::string signed_reference = (std::signbit(value) ? "-" : "") + reference;
    if (parse(std::string(field)) != parse(signed_reference)) broken("F field parses to another value: [" + std::string(field) + "]");
}

void check_scientific(std::string_view field, double value, int w, int d, int scale) {
    if (!std::isfinite(value)) return check_special(field, value, w, true);
    const int significant = scale > 0 ? d + 1 : d;
    // "D.DDDe+XX" or "De+XX".
    const std::string reference = to_chars_text(std::fabs(value), std::chars_format::scientific, significant - 1);
    const std::size_t e = reference.find('e');
    std::string digits = reference.substr(0, e);
    digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
    const bool zero = value == 0;
    const int exponent = zero ? 0 : std::atoi(reference.c_str() + e + 1) + 1 - scale;
    const bool negative = std::signbit(value) && !zero;
    const int needed = (negative ? 1 : 0) + (scale > 0 ? d + 2 : d + 1) + 4;
    if (needed > w) {
        if (!all_of_char(field, '*')) broken("E field not filled with asterisks: [" + std::string(field) + "]");
        return;
    }
    std::string mantissa = negative ? "-" : "";
    if (scale > 0) {
        mantissa += digits.substr(0, 1) + "." + digits.substr(1);
    } else {
        mantissa += (needed < w ? "0." : ".") + digits;
    }
    const int magnitude = std::abs(exponent);
    std::string exponent_text = magnitude <= 99 ? "E" : "";
    exponent_text += exponent < 0 ? '-' : '+';
    const std::string exponent_digits = std::to_string(magnitude);
    exponent_text += std::string(magnitude <= 99 ? 2 - std::min<std::size_t>(2, exponent_digits.size()) : 0, '0') + exponent_digits;
    const std::string expected = mantissa + exponent_text;
    if (field != std::string(w - expected.size(), ' ') + expected) {
        broken("E field wrong: [" + std::string(field) + "], expected [" + expected + "]");
    }
    // Parsed back, the field is the value rounded as to_chars rounds it.
    const std::string parsable = mantissa + "e" + (exponent < 0 ? "-" : "+") + exponent_digits;
    const double reference_value = parse((negative ? "-" : "") + reference);
    const double field_value = parse(parsable);
    // The two texts place the point differently (d.ddd against 0.dddd, or
    // the exponent moved by the scale); both are exact decimals of the
    // same digits, so they parse to the same double.
    if (field_value != reference_value) broken("E field parses to another value: [" + std::string(field) + "]");
}

void check_text(std::string_view field, std::string_view text, int w) {
    const std::string expected = text.size() >= static_cast<std::size_t>(w)
                                     ? std::string(text.substr(0, static_cast<std::size_t>(w)))
                                     : std::string(w - text.size(), ' ') + std::string(text);
    if (field != expected) broken("A field wrong");
}

// The pure editor on a buffer of exactly w bytes, so that a byte written
// outside the field is caught by AddressSanitizer.
std::string edit_alone(const Descriptor& descriptor) {
    const std::size_t w = static_cast<std::size_t>(descriptor.w);
    std::unique_ptr<char[]> field(new char[w]);
    bool fits = true;
    switch (descriptor.kind) {
        case Kind::I: fits = edit_integer(descriptor.integer, descriptor.w, field.get()); break;
        case Kind::F: fits = edit_fixed(descriptor.real, descriptor.w, descriptor.d, field.get()); break;
        case Kind::E: fits = edit_scientific(descriptor.real, descriptor.w, descriptor.d, descriptor.scale, field.get()); break;
        default: broken("not a numeric descriptor");
    }
    std::string text(field.get(), w);
    if (fits == all_of_char(text, '*')) broken("editor result and asterisks disagree: [" + text + "]");
    return text;
}

// ---- The statement, modelled and checked ----

struct Placed {
    const Descriptor* descriptor;
    std::size_t record;
    std::size_t column;  // from 0
    int width;
};

// The records' lengths and where each field and literal lands.
struct Model {
    std::vector<std::size_t> lengths{0};
    std::vector<Placed> placed;
};

Model place(const std::vector<Descriptor>& descriptors) {
    Model model;
    std::size_t column = 0;
    for (const Descriptor& descriptor : descriptors) {
        int width = descriptor.w;
        switch (descriptor.kind) {
            case Kind::Slash:
                model.lengths.push_back(0);
                column = 0;
                continue;
            case Kind::X:
                column += static_cast<std::size_t>(descriptor.w);
                continue;
            case Kind::T:  // back over written columns, too: a later field writes over them
                column = static_cast<std::size_t>(descriptor.w - 1);
                continue;
            case Kind::Literal: width = static_cast<int>(descriptor.text.size()); break;
            case Kind::AStar: width = descriptor.computed_width; break;
            default: break;
        }
        model.placed.push_back({&descriptor, model.lengths.size() - 1, column, width});
        column += static_cast<std::size_t>(width);
        // A field or literal of width 0 writes nothing, so it does not
        // lengthen the record, even after a move.
        if (width > 0) model.lengths.back() = std::max(model.lengths.back(), column);
    }
    return model;
}

// Whether a later field or literal of the same record (after a move back
// by Tc) wrote over some column of this one.
bool written_over(const Model& model, std::size_t index) {
    const Placed& placed = model.placed[index];
    for (std::size_t later = index + 1; later < model.placed.size(); ++later) {
        const Placed& other = model.placed[later];
        if (other.record != placed.record || other.width == 0 || placed.width == 0) continue;
        const std::size_t end = placed.column + static_cast<std::size_t>(placed.width);
        const std::size_t other_end = other.column + static_cast<std::size_t>(other.width);
        if (other.column < end && placed.column < other_end) return true;
    }
    return false;
}

void check_records(const std::string& file, const Model& model) {
    std::vector<std::size_t> starts;
    std::size_t at = 0;
    for (const std::size_t length : model.lengths) {
        starts.push_back(at);
        at += length;
        if (file.size() < at + 2 || file.compare(at, 2, "\r\n") != 0) broken("record of the wrong length");
        at += 2;
    }
    if (at != file.size()) broken("more bytes than records");
    // Every column is blank unless a field or literal covers it.
    std::string covered = file;
    for (std::size_t index = 0; index < model.placed.size(); ++index) {
        const Placed& placed = model.placed[index];
        if (placed.width == 0) continue;  // writes nothing; the record lengths above show it
        covered.replace(starts[placed.record] + placed.column, static_cast<std::size_t>(placed.width),
                        static_cast<std::size_t>(placed.width), ' ');
        if (written_over(model, index)) continue;
        const std::string_view field =
            std::string_view(file).substr(starts[placed.record] + placed.column, static_cast<std::size_t>(placed.width));
        const Descriptor& descriptor = *placed.descriptor;
        switch (descriptor.kind) {
            case Kind::I:
                check_integer(field, descriptor.integer, descriptor.w);
                if (edit_alone(descriptor) != field) broken("I editor differs from the record");
                break;
            case Kind::F:
                check_fixed(field, descriptor.real, descriptor.w, descriptor.d);
                if (edit_alone(descriptor) != field) broken("F editor differs from the record");
                break;
            case Kind::E:
                check_scientific(field, descriptor.real, descriptor.w, descriptor.d, descriptor.scale);
                if (edit_alone(descriptor) != field) broken("E editor differs from the record");
                break;
            case Kind::A:
            case Kind::AStar: check_text(field, descriptor.text, placed.width); break;
            case Kind::Literal:
                if (field != descriptor.text) broken("literal wrong");
                break;
            default: break;
        }
    }
    for (std::size_t record = 0; record < starts.size(); ++record) {
        if (!all_of_char(std::string_view(covered).substr(starts[record], model.lengths[record]), ' ')) {
            broken("a skipped column is not blank");
        }
    }
}

// The defined error the statement must end in, or nothing.
enum class Outcome { Written, LayoutRefused, WidthRefused, ScaleRefused };

Outcome expected_outcome(const std::vector<Descriptor>& descriptors) {
    for (const Descriptor& descriptor : descriptors) {
        const bool numeric = descriptor.kind == Kind::I || descriptor.kind == Kind::F || descriptor.kind == Kind::E;
        const bool counted = descriptor.kind == Kind::X || descriptor.kind == Kind::T;
        if ((numeric || counted) && descriptor.w == 0) return Outcome::LayoutRefused;
    }
    for (const Descriptor& descriptor : descriptors) {
        if (descriptor.kind == Kind::AStar && (descriptor.computed_width < 0 || descriptor.computed_width > 32767)) {
            return Outcome::WidthRefused;
        }
        if (descriptor.kind == Kind::E && descriptor.scale == 0 && descriptor.d == 0) return Outcome::ScaleRefused;
    }
    return Outcome::Written;
}

void write_statement(FuzzedDataProvider& data) {
    std::vector<Descriptor> descriptors;
    std::size_t items = 0;
    while (data.remaining_bytes() > 0 && descriptors.size() < 24) {
        Descriptor descriptor = draw_descriptor(data);
        if (takes_item(descriptor.kind) && items == kMaxItems) break;
        if (takes_item(descriptor.kind)) ++items;
        descriptors.push_back(std::move(descriptor));
    }
    const std::string text = layout_text(descriptors);
    const Outcome expected = expected_outcome(descriptors);
    // KESTRELFOLD_FUZZ_SHOW=1 prints each statement's layout, for a look at
    // what a crashing input or a seed stands for.
    static const bool show = std::getenv("KESTRELFOLD_FUZZ_SHOW") != nullptr;
    if (show) {
        const std::string line = text + "\n";
        [[maybe_unused]] const auto written = ::write(report_fd(), line.data(), line.size());
    }
    std::optional<Layout> layout;
    try {
        layout = Layout::parse(text);
    } catch (const std::invalid_argument&) {
        if (expected != Outcome::LayoutRefused) broken("a valid layout refused: " + text);
        return;
    }
    if (expected == Outcome::LayoutRefused) broken("an invalid layout accepted: " + text);

    Units units;
    Unit& unit = units.open(kUnit, kFile);
    Outcome outcome = Outcome::Written;
    try {
        write(unit, *layout, items_of(descriptors));
    } catch (const FatalError& error) {
        if (error.what() != unit_message("variable format expression value error", kUnit, kFile)) {
            broken(std::string("unexpected FatalError: ") + error.what());
        }
        outcome = Outcome::WidthRefused;
    } catch (const std::logic_error& error) {
        if (std::string_view(error.what()) != "scale factor out of range for the E field") {
            broken(std::string("unexpected logic_error: ") + error.what());
        }
        outcome = Outcome::ScaleRefused;
    }
    units.close(kUnit);
    // The first failing field decides; both orders are possible.
    const bool both_invalid = expected != Outcome::Written && outcome != Outcome::Written;
    if (outcome != expected && !both_invalid) broken("statement ended otherwise than expected: " + text);
    if (outcome == Outcome::Written) check_records(read_file(), place(descriptors));
}

// ---- Layout text as it comes ----

// Matching items for the data descriptors of an accepted layout.
std::vector<Item> plain_items(const Layout& layout) {
    std::vector<Item> items;
    for (const Edit& edit : layout.edits()) {
        if (items.size() == kMaxItems) break;
        switch (edit.kind) {
            case Edit::Kind::I: items.emplace_back(std::int32_t{-1234567}); break;
            case Edit::Kind::F:
            case Edit::Kind::E: items.emplace_back(-0.1); break;
            case Edit::Kind::A: items.emplace_back(std::string_view("text")); break;
            case Edit::Kind::AStar: items.emplace_back(SizedText{"text", 4}); break;
            default: break;
        }
    }
    return items;
}

// Columns a layout can produce, to keep the records written small.
std::size_t columns(const Layout& layout) {
    std::size_t total = 0;
    for (const Edit& edit : layout.edits()) total += static_cast<std::size_t>(std::abs(edit.w)) + edit.text.size();
    return total;
}

void parse_layout_text(std::string_view text) {
    std::optional<Layout> layout;
    try {
        layout = Layout::parse(text);
    } catch (const std::invalid_argument&) {
        return;  // the defined refusal
    }
    if (columns(*layout) > 100000) return;
    Units units;
    Unit& unit = units.open(kUnit, kFile);
    try {
        write(unit, *layout, plain_items(*layout));
    } catch (const std::logic_error&) {
        // A scale factor the layout sets for an F field or out of range for
        // its E field, or items left for a layout that takes none: the
        // program's own layouts never do this, and it is refused as a
        // programming error.
    }
    units.close(kUnit);
}

}  // namespace
}  // namespace kestrelfold::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kestrelfold::fuzz::start_fuzz_target();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    if (provider.ConsumeIntegralInRange(0, 7) == 0) {
        kestrelfold::fuzz::parse_layout_text(provider.ConsumeRemainingBytesAsString());
    } else {
        kestrelfold::fuzz::write_statement(provider);
    }
    return 0;
}
