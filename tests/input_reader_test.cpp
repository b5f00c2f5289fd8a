// The free-form read of the input file: one table of inputs and the values
// each read yields, one of inputs and the error the last read stops with.
#include "driver/input_reader.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "output/fatal_error.h"
#include "tests/test_files.h"

namespace kestrelfold {
namespace {

// One read: 'I' an integer, 'C' a text of 50 (caso), 'T' a text of 90
// (titulo). `value`: the integer in decimal, the text without its blank
// fill, or "<null>" when the read must leave the variable unchanged.
struct Read {
    char kind;
    std::string value;
};

struct ValueCase {
    const char* name;
    std::string input;
    std::vector<Read> reads;
};

struct ErrorCase {
    const char* name;
    std::string input;
    std::string kinds;    // the reads in order; the last one must fail
    std::string message;  // after "<failure>, unit 7, file <file>: "
};

constexpr const char* kEndOfFile = "end-of-file during read";
constexpr const char* kSyntax = "list-directed I/O syntax error";

// The value each kind of read stands for in the messages.
InputValue value_of(char kind) {
    if (kind == 'I') return {"N", 3};
    if (kind == 'C') return {"caso", 1};
    return {"titulo", 8};
}

class InputReaderTest : public ::testing::Test {
protected:
    Unit& open_with(const std::string& input) {
        unit_.reset();
        test_support::write_bytes(file_, input);
        unit_ = std::make_unique<Unit>(7, file_);
        return *unit_;
    }

    // The read's result in the form of Read::value.
    static std::string read_one(Unit& unit, char kind) {
        if (kind == 'I') {
            const auto value = read_integer(unit, value_of(kind));
            return value ? std::to_string(*value) : "<null>";
        }
        const std::size_t length = kind == 'C' ? 50 : 90;
        const auto value = read_text(unit, length, value_of(kind));
        if (!value) return "<null>";
        EXPECT_EQ(value->text.size(), length);
        return value->text.substr(0, value->text.find_last_not_of(' ') + 1);
    }

    test_support::TempDir temp_;
    std::string file_ = temp_.file("Kestrelfold.in");
    std::unique_ptr<Unit> unit_;
};

const std::string k50x(50, 'x');
const std::string k90y(90, 'y');

const std::vector<ValueCase> kValueCases = {
    {"comment after the value", "10   elements of the mesh\n", {{'I', "10"}}},
    {"blank lines and tabs first", "\n\n   \t\n \t 42\n", {{'I', "42"}}},
    {"CR LF line ends", "7\r\n'abc'\r\n", {{'I', "7"}, {'T', "abc"}}},
    {"last line without line end", "12", {{'I', "12"}}},
    {"plus sign and leading zeros", "+007\n", {{'I', "7"}}},
    {"largest 32-bit integer", "2147483647\n", {{'I', "2147483647"}}},
    {"smallest 32-bit integer", "-2147483648\n", {{'I', "-2147483648"}}},
    {"comma ends an integer", "10,20\n", {{'I', "10"}}},
    {"slash ends an integer", "10/20\n", {{'I', "10"}}},
    {"tab ends an integer", "3\t4\n", {{'I', "3"}}},
    {"each read starts on the next line", "1 2\n3\n", {{'I', "1"}, {'I', "3"}}},
    {"slash is a null integer", "/\n9\n", {{'I', "<null>"}, {'I', "9"}}},
    {"leading comma is a null integer", "  , 5\n", {{'I', "<null>"}}},
    {"slash is a null text", " / 'x'\n", {{'T', "<null>"}}},
    {"leading comma is a null text", ",abc\n", {{'C', "<null>"}}},
    {"doubled apostrophe", "'it''s'\n", {{'T', "it's"}}},
    {"doubled double quote", "\"say \"\"hi\"\"\"\n", {{'T', "say \"hi\""}}},
    {"other delimiter inside", "\"it's\" 'a \"b\"'\n", {{'T', "it's"}}},
    {"apostrophe delimits double quotes", "'a \"b\"'\n", {{'T', "a \"b\""}}},
    {"delimited keeps blanks commas slashes", "'a b, c/d'  comment\n", {{'T', "a b, c/d"}}},
    {"delimited leading blanks kept", "'  lead'\n", {{'T', "  lead"}}},
    {"empty delimited text", "''\n", {{'T', ""}}},
    {"bytes after the closing delimiter", "'abc'def\n5\n", {{'T', "abc"}, {'I', "5"}}},
    {"delimited text over two lines", "'first\nsecond' x\n5\n", {{'T', "firstsecond"}, {'I', "5"}}},
    {"undelimited file name", "saida.txt listing name\n", {{'C', "saida.txt"}}},
    {"undelimited title keeps first word", "Solution of several words\n", {{'T', "Solution"}}},
    {"slash in undelimited name", "dir/name.txt\n", {{'C', "dir"}}},
    {"comma in undelimited name", "a,b\n", {{'C', "a"}}},
    {"apostrophe inside undelimited", "it's\n", {{'C', "it's"}}},
    {"undelimited cut to 50", std::string(60, 'x') + "\n", {{'C', k50x}}},
    {"delimited cut to 90", std::string("'").append(100, 'y').append("'\n"), {{'T', k90y}}},
    {"exactly 90 kept whole", "'" + k90y + "'\n", {{'T', k90y}}},
    {"Latin-1 bytes unchanged", "'T\xEDtulo \xE9 \xFA'\ncaf\xE9\n", {{'T', "T\xEDtulo \xE9 \xFA"}, {'C', "caf\xE9"}}},
    {"UTF-8 bytes unchanged", "'\xC3\xA9'\n", {{'T', "\xC3\xA9"}}},
    {"the eight values of a run",
     "saida.txt   listing\n0 fonte\n10\n1\n0\n1\n1\n'Poisson, fonte 0'\n",
     {{'C', "saida.txt"}, {'I', "0"}, {'I', "10"}, {'I', "1"}, {'I', "0"}, {'I', "1"}, {'I', "1"},
      {'T', "Poisson, fonte 0"}}},
};

TEST_F(InputReaderTest, Values) {
    for (const ValueCase& c : kValueCases) {
        SCOPED_TRACE(c.name);
        Unit& unit = open_with(c.input);
        for (const Read& read : c.reads) EXPECT_EQ(read_one(unit, read.kind), read.value);
    }
}

// Each message keeps the record layer's frame and says where and what.
const std::vector<ErrorCase> kErrorCases = {
    {"empty file", "", "I", std::string(kEndOfFile) + ": N (the 3rd value) is missing: the file is empty"},
    {"only blank lines", "\n  \n\t\n", "C",
     std::string(kEndOfFile) + ": caso (the 1st value) is missing: lines 1 to 3 are blank and end the file"},
    {"one blank last line", "x\n  \n", "CT",
     std::string(kEndOfFile) + ": titulo (the 8th value) is missing: line 2 is blank and ends the file"},
    {"short file", "1\n2\n", "III", std::string(kEndOfFile) + ": N (the 3rd value) is missing: the file ends after line 2"},
    {"short file, last line without line end", "1\n2", "III",
     std::string(kEndOfFile) + ": N (the 3rd value) is missing: the file ends after line 2"},
    {"file ends inside delimited text", "'unterminated\nstill\n", "T",
     std::string(kEndOfFile) + ": titulo (the 8th value) is missing: the text opened with ' on line 1 is never closed"},
    {"double quote never closed", "a\n\n  \"x y\nz'\n", "CT",
     std::string(kEndOfFile) + ": titulo (the 8th value) is missing: the text opened with \" on line 3 is never closed"},
    {"doubled delimiter at the end is no close", "'it''\n", "T",
     std::string(kEndOfFile) + ": titulo (the 8th value) is missing: the text opened with ' on line 1 is never closed"},
    {"letter O for zero", "1O\n", "I", std::string(kSyntax) + ": line 1 (N): '1O' is not an integer"},
    {"after blank lines and a comment", "9 c\n\n\n  1O  elements\n", "II",
     std::string(kSyntax) + ": line 4 (N): '1O' is not an integer"},
    {"word", "ten\n", "I", std::string(kSyntax) + ": line 1 (N): 'ten' is not an integer"},
    {"integer with junk", "10abc def\n", "I", std::string(kSyntax) + ": line 1 (N): '10abc' is not an integer"},
    {"sign alone", "-\n", "I", std::string(kSyntax) + ": line 1 (N): '-' is not an integer"},
    {"plus alone", "+ 5\n", "I", std::string(kSyntax) + ": line 1 (N): '+' is not an integer"},
    {"two signs", "+-5\n", "I", std::string(kSyntax) + ": line 1 (N): '+-5' is not an integer"},
    {"decimal point", "1.5\n", "I", std::string(kSyntax) + ": line 1 (N): '1.5' is not an integer"},
    {"exponent", "1e3\n", "I", std::string(kSyntax) + ": line 1 (N): '1e3' is not an integer"},
    {"delimited integer", "'5'\n", "I", std::string(kSyntax) + ": line 1 (N): \"'5'\" is not an integer"},
    {"both quotes", "'5\"\n", "I", std::string(kSyntax) + ": line 1 (N): ''5\"' is not an integer"},
    {"control characters shown escaped", "1\r2\x1B[2J\n", "I",
     std::string(kSyntax) + ": line 1 (N): '1\\x0D2\\x1B[2J' is not an integer"},
    {"Latin-1 letters shown as they are", "d\xE9z\n", "I", std::string(kSyntax) + ": line 1 (N): 'd\xE9z' is not an integer"},
    {"long junk cut", std::string(50, '7') + "x\n", "I",
     std::string(kSyntax) + ": line 1 (N): '" + std::string(40, '7') + "...' is not an integer"},
    {"one above the largest", "2147483648\n", "I",
     std::string(kSyntax) + ": line 1 (N): '2147483648' does not fit a 32-bit integer"},
    {"one below the smallest", "-2147483649\n", "I",
     std::string(kSyntax) + ": line 1 (N): '-2147483649' does not fit a 32-bit integer"},
    {"eleven nines", "99999999999\n", "I",
     std::string(kSyntax) + ": line 1 (N): '99999999999' does not fit a 32-bit integer"},
    {"2^32 + 10 does not wrap to 10", "4294967306\n", "I",
     std::string(kSyntax) + ": line 1 (N): '4294967306' does not fit a 32-bit integer"},
    {"long number cut", "+" + std::string(60, '9') + "\n", "I",
     std::string(kSyntax) + ": line 1 (N): '+" + std::string(39, '9') + "...' does not fit a 32-bit integer"},
};

TEST_F(InputReaderTest, Errors) {
    for (const ErrorCase& c : kErrorCases) {
        SCOPED_TRACE(c.name);
        Unit& unit = open_with(c.input);
        for (std::size_t k = 0; k + 1 < c.kinds.size(); ++k) read_one(unit, c.kinds[k]);
        try {
            read_one(unit, c.kinds.back());
            ADD_FAILURE() << "no error";
        } catch (const FatalError& error) {
            const std::string failure = c.message.substr(0, c.message.find(": "));
            EXPECT_EQ(error.what(), unit_message(failure, 7, file_) + c.message.substr(failure.size()));
        }
    }
}

// The line a text starts on and its length in the file, doubled delimiters
// counted once and record ends not at all, beyond the length it is cut to.
TEST_F(InputReaderTest, LineAndLengthOfATextAsRead) {
    struct Case {
        const char* name;
        std::string input;
        std::size_t length;
        std::int64_t line;
    };
    const std::vector<Case> cases = {
        {"undelimited", "\n\n  saida.txt comment\n", 9, 3},
        {"undelimited, 60 characters", std::string(60, 'x') + "\n", 60, 1},
        {"delimited over two lines", "\n'abc\ndef'\n", 6, 2},
        {"doubled delimiters", "'a''b''c'\n", 5, 1},
        {"longer than the variable", "'" + std::string(120, 't') + "'\n", 120, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Unit& unit = open_with(c.input);
        const auto text = read_text(unit, 50, {"caso", 1});
        ASSERT_TRUE(text.has_value());
        EXPECT_EQ(text->length, c.length);
        EXPECT_EQ(text->line, c.line);
    }
}

TEST(Ordinal, Suffixes) {
    const std::vector<std::pair<int, std::string>> cases = {
        {1, "1st"}, {2, "2nd"}, {3, "3rd"}, {4, "4th"}, {8, "8th"}, {11, "11th"}, {12, "12th"},
        {13, "13th"}, {21, "21st"}, {22, "22nd"}, {101, "101st"}, {111, "111th"}};
    for (const auto& [number, text] : cases) EXPECT_EQ(ordinal(number), text);
}

}  // namespace
}  // namespace kestrelfold
