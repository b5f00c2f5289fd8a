// Whole records of formatted writes, read back from the file byte for byte.
#include "output/formatted_write.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "output/fatal_error.h"
#include "tests/test_files.h"

namespace kestrelfold {
namespace {

using namespace test_support;

class FormattedWrite : public ::testing::Test {
protected:
    // The bytes of the file after the writes, with the unit closed.
    std::string written() {
        unit.close();
        return read_bytes(path);
    }

    TempDir dir;
    std::string path = dir.file("listing.txt");
    Unit unit{10, path};
};

TEST_F(FormattedWrite, SolutionRowIsOneRecordOfExactly100Characters) {
    static const Layout row = Layout::parse("I8, 4(1P, E23.14)");
    write_formatted(unit, row, {std::int32_t{3}, 0.1, 1.0 / 3.0, -2.5e10, 0.0});
    const std::string record = "       3" "   1.00000000000000E-01" "   3.33333333333333E-01"
                               "  -2.50000000000000E+10" "   0.00000000000000E+00";
    ASSERT_EQ(record.size(), 100u);
    EXPECT_EQ(written(), record + "\r\n");
}

TEST_F(FormattedWrite, RecordEndsAtTheStartAndEndOfTheLayout) {
    write_formatted(unit, Layout::parse("/, 1X, \"*** DADOS ***\""));
    write_formatted(unit, Layout::parse("I2, /"), {std::int32_t{7}});
    write_formatted(unit, Layout::parse("\"a\", /, /, \"b\""));
    EXPECT_EQ(written(), "\r\n *** DADOS ***\r\n 7\r\n\r\na\r\n\r\nb\r\n");
}

TEST_F(FormattedWrite, ListingHeaderWithLatin1LiteralsAndComputedWidths) {
    static const Layout header = Layout::parse(
        "/, 7X, \"título = \", A*, /, /, 1X, \"*** DADOS ***\", /, /, 23X, \"caso = \", A50, /, /, "
        "I8, 1X, \".................. = fonte\", /, 1P, E27.14, \" = comprimento de cada elemento da malha (h)\"");
    const std::string caso = "saida.txt" + blanks(41);
    write_formatted(unit, header, {SizedText{"Teste", 5}, std::string_view(caso), std::int32_t{-1}, 0.1});
    write_formatted(unit, header, {SizedText{"", 0}, std::string_view(caso), std::int32_t{5}, 1.0 / 3.0});
    const std::string first = "\r\n" + blanks(7) + "t\xEDtulo = Teste\r\n\r\n *** DADOS ***\r\n\r\n" + blanks(23) +
                              "caso = " + caso + "\r\n\r\n      -1 .................. = fonte\r\n" + blanks(7) +
                              "1.00000000000000E-01 = comprimento de cada elemento da malha (h)\r\n";
    const std::string second = "\r\n" + blanks(7) + "t\xEDtulo = \r\n\r\n *** DADOS ***\r\n\r\n" + blanks(23) +
                               "caso = " + caso + "\r\n\r\n       5 .................. = fonte\r\n" + blanks(7) +
                               "3.33333333333333E-01 = comprimento de cada elemento da malha (h)\r\n";
    EXPECT_EQ(written(), first + second);
}

TEST_F(FormattedWrite, ExtrapolationDataLayout) {
    static const Layout data = Layout::parse(
        "2X, 1P, E40.32, 2X, \"h                 (m)\", /, \" 1\", 1P, E40.32, 2X, \"T(1/2)            (adim.)\", /, "
        "\" 2\", 1P, E40.32, 2X, \"média de T        (adim.)\", /, \" 3\", 1P, E40.32, 2X, \"inclinação em x=1 (adim.)\"");
    write_formatted(unit, data, {0.5, 0.1, 1.0 / 3.0, -0.1});
    const std::string zeros(32, '0');
    EXPECT_EQ(written(), "    5." + zeros + "E-01  h                 (m)\r\n" +
                             " 1  1.00000000000000005551115123125783E-01  T(1/2)            (adim.)\r\n" +
                             " 2  3.33333333333333314829616256247391E-01  m\xE9" "dia de T        (adim.)\r\n" +
                             " 3 -1.00000000000000005551115123125783E-01  inclina\xE7\xE3o em x=1 (adim.)\r\n");
}

TEST_F(FormattedWrite, MovesByTabAndSkipDoNotLengthenTheRecord) {
    write_formatted(unit, Layout::parse("\"#\", T7, \"nó\", T12, \"x\", T35, \"analítico\", T58, \"numérico\", T81, \"erro\""));
    write_formatted(unit, Layout::parse("I2, 5X"), {std::int32_t{1}});
    write_formatted(unit, Layout::parse("I2, T40"), {std::int32_t{2}});
    write_formatted(unit, Layout::parse("T10, \"x\", T3, \"y\""));
    write_formatted(unit, Layout::parse("\"abcdef\", T2, \"Z\""));
    const std::string heads = "#     n\xF3   x" + blanks(22) + "anal\xEDtico" + blanks(14) + "num\xE9rico" + blanks(15) +
                              "erro";
    ASSERT_EQ(heads.size(), 84u);
    EXPECT_EQ(written(), heads + "\r\n 1\r\n 2\r\n  y      x\r\naZcdef\r\n");
}

// Records longer than any fixed layout of the system: a computed width up to
// its limit, skipped columns, and a tab back into bytes already written.
TEST_F(FormattedWrite, LongRecordsKeepEveryColumn) {
    const std::string title(3000, 'T');
    write_formatted(unit, Layout::parse("\"<\", A*, \">\""), {SizedText{title, 3000}});
    write_formatted(unit, Layout::parse("600X, \"a\", T2, \"b\", T1200, \"c\", T601, \"d\""));
    write_formatted(unit, Layout::parse("A*, I3"), {SizedText{"x", 32767}, std::int32_t{7}});
    const std::string second = " b" + blanks(598) + "d" + blanks(598) + "c";
    ASSERT_EQ(second.size(), 1200u);
    EXPECT_EQ(written(), "<" + title + ">\r\n" + second + "\r\n" + blanks(32766) + "x  7\r\n");
}

TEST_F(FormattedWrite, DescriptorsAfterTheLastItemRunUpToTheNextDataDescriptor) {
    write_formatted(unit, Layout::parse("I2, \" end\""), {std::int32_t{1}});
    write_formatted(unit, Layout::parse("I2, \"a\", I2, \"b\""), {std::int32_t{1}});
    write_formatted(unit, Layout::parse("\"only\", I2, \"never\""));
    EXPECT_EQ(written(), " 1 end\r\n 1a\r\nonly\r\n");
}

TEST_F(FormattedWrite, ItemsLeftAtTheEndStartANewRecordWithTheLayoutAgain) {
    write_formatted(unit, Layout::parse("\"<\", I2"), {std::int32_t{1}, std::int32_t{2}, std::int32_t{3}});
    EXPECT_EQ(written(), "< 1\r\n< 2\r\n< 3\r\n");
}

TEST_F(FormattedWrite, ScaleFactorStartsAtZeroInEveryStatement) {
    write_formatted(unit, Layout::parse("1P, E12.4"), {0.1});
    write_formatted(unit, Layout::parse("E12.4"), {0.1});
    EXPECT_EQ(written(), "  1.0000E-01\r\n  0.1000E+00\r\n");
}

TEST_F(FormattedWrite, ComputedWidthOfZeroWritesNothingButTheLiteralBefore) {
    static const Layout layout = Layout::parse("\" = h e T(1/2) (numérico) *** \", A*");
    write_formatted(unit, layout, {SizedText{"", 0}});
    write_formatted(unit, layout, {SizedText{"Teste longo", 5}});
    EXPECT_EQ(written(), " = h e T(1/2) (num\xE9rico) *** \r\n = h e T(1/2) (num\xE9rico) *** Teste\r\n");
}

// An empty title or an empty literal after a move: nothing is written, so
// the record keeps the length of what was written before the move.
TEST_F(FormattedWrite, ComputedWidthOfZeroAfterAMoveDoesNotLengthenTheRecord) {
    write_formatted(unit, Layout::parse("\"ab\", 5X, A*"), {SizedText{"Teste", 0}});
    write_formatted(unit, Layout::parse("\"ab\", T20, A*, \"c\""), {SizedText{"", 0}});
    write_formatted(unit, Layout::parse("\"#>Nno\", T7, \"x\", T12, \"analitico\", T35, \"\""));
    EXPECT_EQ(written(), "ab\r\nab" + blanks(17) + "c\r\n#>Nno x    analitico\r\n");
}

TEST_F(FormattedWrite, ComputedWidthOutsideItsRangeStopsTheWrite) {
    static const Layout layout = Layout::parse("\"a\", /, A*");
    for (const std::int32_t width : {-1, 32768}) {
        try {
            write_formatted(unit, layout, {SizedText{"x", width}});
            ADD_FAILURE() << "no failure for width " << width;
        } catch (const FatalError& error) {
            EXPECT_EQ(std::string(error.what()), "variable format expression value error, unit 10, file " + path);
        }
    }
    // The record completed before the failure is in the file.
    EXPECT_EQ(written(), "a\r\na\r\n");
}

TEST_F(FormattedWrite, OverflowedFieldIsWrittenAndWarnsOnce) {
    static const Layout layout = Layout::parse("I8, I8, F14.3");
    ::testing::internal::CaptureStderr();
    write_formatted(unit, layout, {std::int32_t{123456789}, std::int32_t{-12345678}, 1e10});
    write_formatted(unit, layout, {std::int32_t{1}, std::int32_t{2}, 3.0});
    const std::string warnings = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(warnings, "kestrelfold: output conversion error, unit 10, file " + path + "\n");
    EXPECT_EQ(written(), std::string(30, '*') + "\r\n       1       2         3.000\r\n");
}

TEST_F(FormattedWrite, ItemOfTheWrongKindIsAProgrammingError) {
    EXPECT_THROW(write_formatted(unit, Layout::parse("I8"), {1.0}), std::logic_error);
    EXPECT_THROW(write_formatted(unit, Layout::parse("E23.14"), {std::int32_t{1}}), std::logic_error);
    EXPECT_THROW(write_formatted(unit, Layout::parse("A5"), {SizedText{"x", 1}}), std::logic_error);
    EXPECT_THROW(write_formatted(unit, Layout::parse("A*"), {std::string_view("x")}), std::logic_error);
    EXPECT_THROW(write_formatted(unit, Layout::parse("\"no data\""), {std::int32_t{1}}), std::logic_error);
    EXPECT_THROW(write_formatted(unit, Layout::parse("1P, F14.3"), {1.0}), std::logic_error);
}

}  // namespace
}  // namespace kestrelfold
