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
    std::string kinds;  // the reads in order; the last one must fail
    const char* what;
};

constexpr const char* kEndOfFile = "end-of-file during read";
constexpr const char* kSyntax = "list-directed I/O syntax error";

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
            const auto value = read_integer(unit);
            return value ? std::to_string(*value) : "<null>";
        }
        const std::size_t length = kind == 'C' ? 50 : 90;
        const auto value = read_text(unit, length);
        if (!value) return "<null>";
        EXPECT_EQ(value->size(), length);
        return value->substr(0, value->find_last_not_of(' ') + 1);
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

const std::vector<ErrorCase> kErrorCases = {
    {"empty file", "", "I", kEndOfFile},
    {"only blank lines", "\n  \n\t\n", "C", kEndOfFile},
    {"short file", "1\n2\n", "III", kEndOfFile},
    {"file ends inside delimited text", "'unterminated\nstill\n", "T", kEndOfFile},
    {"letter O for zero", "1O\n", "I", kSyntax},
    {"word", "ten\n", "I", kSyntax},
    {"sign alone", "-\n", "I", kSyntax},
    {"plus alone", "+ 5\n", "I", kSyntax},
    {"two signs", "+-5\n", "I", kSyntax},
    {"decimal point", "1.5\n", "I", kSyntax},
    {"exponent", "1e3\n", "I", kSyntax},
    {"delimited integer", "'5'\n", "I", kSyntax},
    {"one above the largest", "2147483648\n", "I", kSyntax},
    {"one below the smallest", "-2147483649\n", "I", kSyntax},
    {"twenty digits", "99999999999999999999\n", "I", kSyntax},
    {"2^32 + 10 does not wrap to 10", "4294967306\n", "I", kSyntax},
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
            EXPECT_EQ(error.what(), unit_message(c.what, 7, file_));
        }
    }
}

}  // namespace
}  // namespace kestrelfold
