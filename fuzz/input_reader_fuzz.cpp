// Any bytes as the input file Kestrelfold.in, read by entrada with its eight
// free-form reads and its checks, up to where the fields would be allocated
// (the stand-ins of fuzz_seams.h start no editor and allocate nothing).
//
// Every input must end in one of two ways: the eight values, all within the
// data model, with a warning line for each text cut to its variable's
// length and one for the texts saved as UTF-8, or a FatalError with one of
// the defined messages. The values
// and the message are compared with a small model of the free-form read
// written here from the file format, independently of the reader: records
// end at LF (a CR right before it is dropped), each read starts on the next
// record and passes over blanks, tabs and record ends, and so on.
// Inputs that start with FF FE are moved to straddle the end of the unit's
// read-ahead buffer (input_file below).
#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "driver/entrada.h"
#include "driver/examples_folder.h"
#include "driver/run.h"
#include "fuzz/fuzz_directory.h"
#include "fuzz/fuzz_seams.h"
#include "numerics/run_memory.h"
#include "output/fatal_error.h"

namespace kestrelfold::fuzz {
namespace {

constexpr std::string_view kInputFile = "Kestrelfold.in";

// ---- The model ----

struct Values {
    std::string caso = std::string(kCasoLength, ' ');
    std::int32_t fonte = 0, N = 0, graf = 0, coef = 0, sol = 0, freq = 0;
    std::string titulo = std::string(kTituloLength, ' ');
};

struct Failure {
    std::string message;
};

// Bytes of the file as the messages show them: quoted, control bytes as \xNN,
// at most `at_most` of them and then "...".
std::string shown(std::string_view bytes, std::size_t at_most) {
    const bool has_apostrophe = bytes.find('\'') != std::string_view::npos;
    const bool has_quote = bytes.find('"') != std::string_view::npos;
    const char quote = has_apostrophe && !has_quote ? '"' : '\'';
    std::string text(1, quote);
    for (std::size_t i = 0; i < bytes.size() && i < at_most; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x20 && c != 0x7F) {
            text += static_cast<char>(c);
            continue;
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
        text += escaped;
    }
    if (bytes.size() > at_most) text += "...";
    return text + quote;
}

class ModelReader {
public:
    explicit ModelReader(std::string_view bytes) {
        std::size_t start = 0;
        while (start < bytes.size()) {
            const std::size_t lf = bytes.find('\n', start);
            if (lf == std::string_view::npos) {
                records_.push_back(bytes.substr(start));  // a last line without LF, CR kept
                break;
            }
            std::string_view line = bytes.substr(start, lf - start);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            records_.push_back(line);
            start = lf + 1;
        }
    }

    // nullopt for a null value; throws Failure.
    std::optional<std::int32_t> integer(std::string_view name, int number) {
        begin_read(name, number);
        const char first = skip_to_value();
        if (first == ',' || first == '/') return std::nullopt;
        const std::string_view token = undelimited();
        std::string_view digits = token;
        bool negative = false;
        if (digits.front() == '+' || digits.front() == '-') {
            negative = digits.front() == '-';
            digits.remove_prefix(1);
        }
        if (digits.empty()) throw Failure{syntax_error(token, "is not an integer")};
        for (const char c : digits) {
            if (c < '0' || c > '9') throw Failure{syntax_error(token, "is not an integer")};
        }
        std::int64_t magnitude = 0;
        for (const char c : digits) {
            magnitude = magnitude * 10 + (c - '0');
            if (magnitude > std::int64_t{1} << 31) throw Failure{syntax_error(token, "does not fit a 32-bit integer")};
        }
        const std::int64_t value = negative ? -magnitude : magnitude;
        if (value > INT32_MAX) throw Failure{syntax_error(token, "does not fit a 32-bit integer")};
        return static_cast<std::int32_t>(value);
    }

    struct Text {
        std::string value;
        std::size_t characters;  // in the file, before the cut
        std::size_t line;
    };

    std::optional<Text> text(std::size_t length, std::string_view name, int number) {
        begin_read(name, number);
        const char first = skip_to_value();
        if (first == ',' || first == '/') {
            null_mark_ = first;
            null_line_ = current_ + 1;
            return std::nullopt;
        }
        Text text{"", 0, current_ + 1};
        if (first == '\'' || first == '"') {
            const std::size_t opened_on = current_ + 1;
            ++pos_;
            for (;;) {
                while (pos_ == record().size()) {
                    if (next_ == records_.size()) {
                        throw Failure{missing("the text opened with " + std::string(1, first) + " on line " +
                                              std::to_string(opened_on) + " is never closed")};
                    }
                    next_record();
                }
                const char c = record()[pos_++];
                if (c == first) {
                    if (pos_ < record().size() && record()[pos_] == first) {
                        ++pos_;
                    } else {
                        break;
                    }
                }
                text.value += c;
            }
        } else {
            text.value = std::string(undelimited());
        }
        text.characters = text.value.size();
        text.value.resize(length, ' ');
        return text;
    }

    // What made the last text read a null value, and its line.
    char null_mark() const { return null_mark_; }
    std::size_t null_line() const { return null_line_; }

private:
    static std::string message(std::string_view what) { return unit_message(what, 7, kInputFile); }

    std::string syntax_error(std::string_view token, std::string_view what) const {
        return message("list-directed I/O syntax error") + ": line " + std::to_string(current_ + 1) + " (" +
               std::string(name_) + "): " + shown(token, 40) + " " + std::string(what);
    }
    std::string missing(const std::string& why) const {
        const char* suffix = number_ == 1 ? "st" : number_ == 2 ? "nd" : number_ == 3 ? "rd" : "th";
        return message("end-of-file during read") + ": " + std::string(name_) + " (the " + std::to_string(number_) +
               suffix + " value) is missing: " + why;
    }

    std::string_view record() const { return records_[current_]; }
    void next_record() {
        current_ = next_++;
        pos_ = 0;
    }
    void begin_read(std::string_view name, int number) {
        name_ = name;
        number_ = number;
        first_line_ = next_ + 1;
        if (next_ < records_.size()) return next_record();
        // Only the first read can meet an empty file; it says where the examples are.
        if (records_.empty()) throw Failure{missing("the file is empty; " + where_the_examples_are())};
        throw Failure{missing("the file ends after line " + std::to_string(records_.size()))};
    }
    char skip_to_value() {
        for (;;) {
            while (pos_ < record().size() && (record()[pos_] == ' ' || record()[pos_] == '\t')) ++pos_;
            if (pos_ < record().size()) return record()[pos_];
            if (next_ == records_.size()) {
                const std::size_t last = records_.size();
                throw Failure{missing(last == first_line_ ? "line " + std::to_string(last) + " is blank and ends the file"
                                                          : "lines " + std::to_string(first_line_) + " to " +
                                                                std::to_string(last) + " are blank and end the file")};
            }
            next_record();
        }
    }
    std::string_view undelimited() {
        const std::size_t start = pos_;
        while (pos_ < record().size()) {
            const char c = record()[pos_];
            if (c == ' ' || c == '\t' || c == ',' || c == '/') break;
            ++pos_;
        }
        return record().substr(start, pos_ - start);
    }

    std::vector<std::string_view> records_;  // into the bytes, which outlive the reader
    std::size_t next_ = 0;
    std::size_t current_ = 0;
    std::size_t pos_ = 0;
    std::string_view name_;
    int number_ = 0;
    std::size_t first_line_ = 0;
    char null_mark_ = 0;
    std::size_t null_line_ = 0;
};

template <typename T>
void unless_null(T& variable, std::optional<T> value) {
    if (value) variable = *value;
}

bool blank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// UTF-8 by its bit patterns: every byte above 0x7F in a well-formed
// sequence of a lead and its continuation bytes (no overlong two-byte lead,
// nothing beyond U+10FFFF), a last sequence cut by the end allowed, and at
// least one whole such sequence.
bool model_utf8(std::string_view text) {
    std::size_t whole = 0;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 && c >= 0xC2 ? 2 : (c >> 4) == 0xE ? 3
                                              : (c >> 3) == 0x1E && c <= 0xF4 ? 4 : 0;
        if (length == 0) return false;
        std::size_t k = 1;
        while (k < length && i + k < text.size() && (static_cast<unsigned char>(text[i + k]) >> 6) == 0x2) ++k;
        if (k < length && i + k < text.size()) return false;
        if (k < length) break;  // cut by the end of the text
        if (length > 1) ++whole;
        i += length;
    }
    return whole > 0;
}

// A text read into its variable; the warning line when it was cut, and its
// place among the texts saved as UTF-8.
void unless_null(std::string& variable, std::optional<ModelReader::Text> text, std::string_view name,
                 std::string_view kept_as, std::vector<std::string>& warnings, std::vector<std::string>& utf8) {
    if (!text) return;
    variable = text->value;
    if (model_utf8(variable)) utf8.push_back(std::string(name) + " on line " + std::to_string(text->line));
    if (text->characters <= variable.size()) return;
    warnings.push_back(std::string(name) + " on line " + std::to_string(text->line) + " has " +
                       std::to_string(text->characters) + " characters, more than " +
                       std::to_string(variable.size()) + ": " + std::string(kept_as) + " " +
                       shown(trimmed(variable), std::string_view::npos));
}

struct Outcome {
    std::variant<Values, Failure> result;
    std::vector<std::string> warnings;  // told only when the values pass
};

// The eight reads and the checks entrada makes before allocating.
Outcome model(std::string_view bytes) {
    Values values;
    std::vector<std::string> warnings;
    std::vector<std::string> utf8;
    char caso_null = 0;
    std::size_t caso_line = 0;
    try {
        ModelReader reader(bytes);
        unless_null(values.caso, reader.text(kCasoLength, "caso", 1), "caso", "the listing is named", warnings, utf8);
        caso_null = reader.null_mark();
        caso_line = reader.null_line();
        unless_null(values.fonte, reader.integer("fonte", 2));
        unless_null(values.N, reader.integer("N", 3));
        unless_null(values.graf, reader.integer("graf", 4));
        unless_null(values.coef, reader.integer("coef", 5));
        unless_null(values.sol, reader.integer("sol", 6));
        unless_null(values.freq, reader.integer("freq", 7));
        unless_null(values.titulo, reader.text(kTituloLength, "titulo", 8), "titulo", "the title is", warnings, utf8);
    } catch (const Failure& failure) {
        return {failure, {}};
    }
    if (values.N < 2) return {Failure{"N = " + std::to_string(values.N) + ": the mesh needs at least 2 elements"}, {}};
    if (values.freq < 1) {
        return {Failure{"freq = " + std::to_string(values.freq) + ": the print frequency must be at least 1"}, {}};
    }
    if (values.fonte < 0 || values.fonte > 4) {
        return {Failure{"fonte = " + std::to_string(values.fonte) + ": the source term must be one of 0 to 4"}, {}};
    }
    if (blank(values.caso)) {
        std::string message = "caso is blank: the listing needs a file name";
        if (caso_null == '/') {
            message += "; line " + std::to_string(caso_line) +
                       " begins with a slash, which ends an unquoted value: put a name with a slash in quotes";
        }
        return {Failure{message}, {}};
    }
    const std::string name = std::filesystem::path(trimmed(values.caso)).lexically_normal().string();
    for (const char* script : {"Kestrelfold_T.gnu", "Kestrelfold_E.gnu"}) {
        if (name == script) {
            return {Failure{"caso " + shown(trimmed(values.caso), std::string_view::npos) +
                            " is the name of a plot script: the listing would replace it; give the listing another name"},
                    {}};
        }
    }
    if (name == "Kestrelfold_T.dat") {
        return {Failure{"caso " + shown(trimmed(values.caso), std::string_view::npos) +
                        " is the name of the plot data file: the listing would replace it; give the listing another name"},
                {}};
    }
    if (!utf8.empty()) {
        std::string which = utf8[0];
        if (utf8.size() == 2) which += " and " + utf8[1];
        warnings.push_back("Kestrelfold.in holds UTF-8 text (" + which +
                           "), but the files of a run are ISO 8859-1, where its accented letters show as two "
                           "characters each; convert the input with: iconv -f UTF-8 -t ISO-8859-1 Kestrelfold.in > "
                           "Kestrelfold.in.latin1 && mv Kestrelfold.in.latin1 Kestrelfold.in");
    }
    return {values, warnings};
}

// ---- The program ----

void write_input(std::string_view bytes) {
    std::ofstream file(std::string(kInputFile), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) broken("cannot write the input file");
}

std::string read_input() {
    std::ifstream file(std::string(kInputFile), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void check_values(const Run& run, const Values& expected, std::uint64_t bytes) {
    if (run.caso.size() != kCasoLength || run.titulo.size() != kTituloLength) broken("text of the wrong length");
    if (run.caso != expected.caso) broken("caso differs from the model");
    if (run.titulo != expected.titulo) broken("titulo differs from the model");
    if (run.fonte != expected.fonte || run.N != expected.N || run.graf != expected.graf ||
        run.coef != expected.coef || run.sol != expected.sol || run.freq != expected.freq) {
        broken("an integer differs from the model");
    }
    // Within the data model, as every later step relies on.
    if (run.N < 2 || run.freq < 1 || run.fonte < 0 || run.fonte > 4 || blank(run.caso)) {
        broken("values outside the data model passed the checks");
    }
    if (bytes != run_memory_bytes(run.N)) broken("memory asked for is not the run's figure for N");
}

void run_entrada(std::string_view bytes) {
    write_input(bytes);
    commands_run().clear();
    lines_told().clear();
    const Outcome outcome = model(bytes);
    const std::variant<Values, Failure>& expected = outcome.result;
    Run run;
    try {
        entrada(run);
        broken("entrada returned without allocating the fields");
    } catch (const ReachedAllocation& reached) {
        if (!std::holds_alternative<Values>(expected)) {
            broken("read succeeded, the model expected: " + std::get<Failure>(expected).message);
        }
        check_values(run, std::get<Values>(expected), reached.bytes);
        if (run.units.is_open(7)) broken("the input unit is left open");
    } catch (const FatalError& error) {
        if (!std::holds_alternative<Failure>(expected)) broken(std::string("unexpected failure: ") + error.what());
        if (std::get<Failure>(expected).message != error.what()) {
            broken(std::string("failure \"") + error.what() + "\", the model expected \"" +
                   std::get<Failure>(expected).message + "\"");
        }
        // A refused value is met after the eight reads, with the input closed.
        const bool read_failure = std::string_view(error.what()).find(", unit 7, ") != std::string_view::npos;
        if (!read_failure && run.units.is_open(7)) broken("the input unit is left open after a refusal");
    } catch (const std::exception& error) {
        broken(std::string("undefined failure: ") + error.what());
    }
    if (lines_told() != outcome.warnings) {
        std::string told;
        for (const std::string& line : lines_told()) told += "[" + line + "]";
        broken("warnings differ from the model: " + told);
    }
    if (commands_run() != std::vector<std::string>{"notepad Kestrelfold.in"}) broken("not exactly one editor command");
    if (read_input() != bytes) broken("the input file was changed");
}

// The input file for the fuzz bytes: the bytes themselves, or, after the
// marker FF FE and an offset byte, the rest of the bytes behind blank lines
// that bring them to the end of the unit's 64 KiB read-ahead, so that a
// value, a CR LF or a delimited text is split between two reads of the file.
std::string input_file(std::string_view bytes) {
    if (bytes.size() < 3 || bytes.substr(0, 2) != "\xFF\xFE") return std::string(bytes);
    constexpr std::size_t kReadAhead = 64 * 1024;
    const std::size_t before_end = static_cast<unsigned char>(bytes[2]) % 64 + 1;
    return std::string(kReadAhead - before_end, '\n').append(bytes.substr(3));
}

}  // namespace
}  // namespace kestrelfold::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kestrelfold::fuzz::start_fuzz_target();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    kestrelfold::fuzz::run_entrada(kestrelfold::fuzz::input_file(bytes));
    return 0;
}
