#include "study/run_files.h"

#include <charconv>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "driver/input_file.h"
#include "driver/input_reader.h"
#include "driver/run.h"
#include "numerics/mesh.h"
#include "output/extrapolation_file.h"
#include "output/fatal_error.h"
#include "output/printed_title.h"
#include "output/variaveis_interesse.h"
#include "output/units.h"
#include "study/study_layout.h"
#include "study/text_file.h"

namespace kestrelfold::study {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kRecordEnd = "\r\n";
constexpr std::size_t kFieldStart = 2;  // columns 3-42
constexpr std::size_t kFieldWidth = 40;
constexpr int kFieldDigits = 33;  // E40.32: one digit before the point, 32 after
constexpr std::size_t kLongestLogLine = 300;

// A data file of four records is some 300 bytes, and a study's input file
// some 200: anything much longer is not one.
constexpr std::size_t kLongestDataFile = 4096;
constexpr std::size_t kLongestPlannedInput = 4096;
// The listing's last record, and the line end before it.
constexpr std::size_t kListingTail = 256;

struct RunInput {
    std::string caso;
    std::int32_t fonte = 0;
    std::int32_t N = 0;
};

// caso, fonte and N as the program reads them (a null value leaves the
// program's initial value); the rest of the file does not decide what the
// run computed.
RunInput read_input(const fs::path& file) {
    RunInput input{std::string(kCasoLength, ' ')};
    Unit unit(kInputUnit, file.string());
    if (auto caso = read_text(unit, kCasoLength, kCasoValue)) input.caso = caso->text;
    if (auto fonte = read_integer(unit, kFonteValue)) input.fonte = *fonte;
    if (auto N = read_integer(unit, kNValue)) input.N = *N;
    unit.close();
    return input;
}

// The last line of the run's log: the program's message when it failed.
std::string last_log_line(const fs::path& folder) {
    std::string line;
    std::istringstream log(read_tail(folder / kRunLog, 4096).value_or(""));
    for (std::string next; std::getline(log, next);) {
        if (!next.empty() && next.back() == '\r') next.pop_back();
        if (!next.empty()) line = next;
    }
    if (line.size() > kLongestLogLine) line = line.substr(0, kLongestLogLine) + "...";
    return line;
}

// Why a run does not count, in English and in Portuguese.
struct Why {
    std::string english;
    std::string portuguese;
    bool any() const { return !english.empty(); }
};

RunReading not_complete(Why why) { return {{}, {}, std::move(why.english), std::move(why.portuguese)}; }

// With what the run said last, when it said anything: its own words, quoted.
Why why_not(const fs::path& folder, Why why) {
    const std::string said = last_log_line(folder);
    if (said.empty()) return why;
    return {why.english + " (the run said: " + said + ")", why.portuguese + " (a execução disse: " + said + ")"};
}

Why check_input(const fs::path& folder, std::int32_t fonte, std::int32_t N, std::string_view planned,
                RunInput& input) {
    const fs::path file = folder / kInputFile;
    const std::string name(kInputFile);
    const std::optional<std::string> bytes = read_file(file, kLongestPlannedInput);
    if (bytes && *bytes == planned) {
        input = {std::string(kRunListing), fonte, N};
        return {};
    }
    // The unit would make a missing file.
    std::error_code error;
    if (!fs::is_regular_file(file, error)) return {"no " + name, "sem " + name};
    try {
        input = read_input(file);
    } catch (const FatalError& failure) {
        return {name + " unreadable: " + failure.what(), name + " ilegível (a leitura diz: " + failure.what() + ")"};
    }
    if (input.fonte != fonte || input.N != N) {
        const std::string mesh = std::to_string(input.fonte) + ", N = " + std::to_string(input.N);
        return {name + " is for fonte " + mesh, name + " é da fonte " + mesh};
    }
    if (trimmed_caso(input.caso).empty()) return {name + " names no listing", name + " não dá nome à listagem"};
    return {};
}

}  // namespace

namespace {

// The number of an E field in scientific form with its letter: a
// three-digit exponent is written without its E ("1.25-100"). Nothing
// for blanks, asterisks, NaN or an infinity.
std::optional<std::string> scientific_text(std::string_view field) {
    while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
    const std::size_t first_digit = !field.empty() && field.front() == '-' ? 1 : 0;
    if (field.size() <= first_digit || field[first_digit] < '0' || field[first_digit] > '9') return std::nullopt;
    std::string text(field);
    if (text.find('E') == std::string::npos) {
        const std::size_t sign = text.find_last_of("+-");
        if (sign == std::string::npos || sign == 0) return std::nullopt;
        text.insert(text.begin() + static_cast<std::ptrdiff_t>(sign), 'E');
    }
    return text;
}

// Whether the data file's h is the mesh's: the double 1/N exactly, or the
// binary128 1/N as its 33 digits give it (the digits the program writes for
// it, read back as the field is).
bool h_of_the_mesh(Quad h, std::int32_t N, Precision precision) {
    if (precision == Precision::double_precision) return static_cast<double>(h) == element_length(N);
    char digits[64];
    if (quad_scientific_text(element_length<Quad>(N), kFieldDigits - 1, digits, sizeof digits) < 0) return false;
    return h == quad_from_decimal(digits);
}

}  // namespace

template <>
std::optional<double> parse_e_field<double>(std::string_view field) {
    const std::optional<std::string> scientific = scientific_text(field);
    if (!scientific) return std::nullopt;
    const std::string& text = *scientific;
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::scientific);
    if (error != std::errc() || stop != end) return std::nullopt;
    return value;
}

template <>
std::optional<Quad> parse_e_field<Quad>(std::string_view field) {
    const std::optional<std::string> text = scientific_text(field);
    if (!text || text->find_first_not_of("0123456789.E+-") != std::string::npos) return std::nullopt;
    try {
        return quad_from_decimal(text->c_str());
    } catch (const std::invalid_argument&) {
        return std::nullopt;
    }
}

template <typename Real>
std::optional<std::array<Real, 4>> parse_extrapolation_records(std::string_view bytes) {
    static constexpr std::string_view kNumbers[4] = {"  ", " 1", " 2", " 3"};
    std::array<Real, 4> values{};
    for (std::size_t k = 0; k < 4; ++k) {
        const std::size_t end = bytes.find(kRecordEnd);
        if (end == std::string_view::npos) return std::nullopt;
        const std::string_view record = bytes.substr(0, end);
        bytes.remove_prefix(end + kRecordEnd.size());
        const std::size_t label = kFieldStart + kFieldWidth + 2;
        if (record.size() <= label || record.substr(0, 2) != kNumbers[k] ||
            record.substr(kFieldStart + kFieldWidth, 2) != "  ") {
            return std::nullopt;
        }
        const std::optional<Real> value = parse_e_field<Real>(record.substr(kFieldStart, kFieldWidth));
        if (!value) return std::nullopt;
        values[k] = *value;
    }
    if (!bytes.empty()) return std::nullopt;
    return values;
}

template std::optional<std::array<double, 4>> parse_extrapolation_records<double>(std::string_view);
template std::optional<std::array<Quad, 4>> parse_extrapolation_records<Quad>(std::string_view);

bool listing_complete(std::string_view tail) {
    if (!tail.ends_with(kRecordEnd)) return false;
    tail.remove_suffix(kRecordEnd.size());
    if (!tail.ends_with(kTempoLabel)) return false;
    // The record: the time, right-justified in its field, then the label.
    const std::size_t field_end = tail.size() - kTempoLabel.size();
    const std::size_t record_start = tail.rfind(kRecordEnd, field_end);
    const std::size_t start = record_start == std::string_view::npos ? 0 : record_start + kRecordEnd.size();
    return field_end - start == kTempoWidth && tail.substr(field_end - 1, 1).find_first_of("0123456789*") == 0;
}

std::optional<double> listing_time(std::string_view tail) {
    if (!listing_complete(tail)) return std::nullopt;
    const std::size_t field_end = tail.size() - kRecordEnd.size() - kTempoLabel.size();
    std::string_view field = tail.substr(field_end - kTempoWidth, kTempoWidth);
    while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
    double seconds = 0;
    const auto [stop, error] = std::from_chars(field.data(), field.data() + field.size(), seconds,
                                               std::chars_format::fixed);
    if (error != std::errc() || stop != field.data() + field.size()) return std::nullopt;
    return seconds;
}

RunReading read_run(const fs::path& folder, std::int32_t fonte, std::int32_t N, std::string_view planned_input,
                    Precision precision) {
    RunInput input;
    if (Why why = check_input(folder, fonte, N, planned_input, input); why.any()) return not_complete(std::move(why));

    const std::string listing(trimmed_caso(input.caso));
    const std::optional<std::string> tail = read_tail(folder / listing, kListingTail);
    if (!tail) return not_complete(why_not(folder, {"no listing " + listing, "sem a listagem " + listing}));
    if (!listing_complete(*tail)) {
        return not_complete(why_not(folder, {"the listing " + listing + " is incomplete",
                                             "a listagem " + listing + " está incompleta"}));
    }
    const std::string data_file = extrapolation_file_name(input.caso);
    const Why unreadable{data_file + " is incomplete or unreadable", data_file + " está incompleto ou ilegível"};
    const std::optional<std::string> data = read_file(folder / data_file, kLongestDataFile);
    if (!data) {
        std::error_code error;
        const bool there = fs::exists(folder / data_file, error);
        return not_complete(why_not(folder, there ? unreadable : Why{"no " + data_file, "sem " + data_file}));
    }
    const std::optional<std::array<Quad, 4>> values = parse_extrapolation_records<Quad>(*data);
    if (!values) return not_complete(why_not(folder, unreadable));
    const std::array<Quad, 4>& v = *values;
    if (!h_of_the_mesh(v[0], N, precision)) {
        const std::string h = "1/" + std::to_string(N);
        return not_complete({data_file + " holds an h other than " + h, data_file + " tem um h diferente de " + h});
    }
    // 33 digits give every double back exactly through binary128.
    RunReading reading{MeshValues{N, static_cast<double>(v[0]),
                                  {static_cast<double>(v[1]), static_cast<double>(v[2]), static_cast<double>(v[3])},
                                  {}, {}, listing_time(*tail)},
                       {}, {}, {}};
    if (precision == Precision::quad) reading.quad_values = std::array<Quad, 3>{v[1], v[2], v[3]};
    return reading;
}

}  // namespace kestrelfold::study
