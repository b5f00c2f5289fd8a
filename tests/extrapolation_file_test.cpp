#include "output/extrapolation_file.h"

#include <gtest/gtest.h>

#include "driver/run_command.h"
#include "output/variaveis_interesse.h"
#include "tests/output_files_fixture.h"

namespace kestrelfold {
namespace {

using namespace test_support;

using Records = std::vector<std::string>;

class ExtrapolationFileTest : public OutputFilesTest {};

TEST_F(ExtrapolationFileTest, FileName) {
    struct Case { std::string caso, name; };
    const Case cases[] = {
        {"saida.txt", "saida.txt.Vantreuse"},
        {"   saida.txt   ", "saida.txt.Vantreuse"},
        {"", ".Vantreuse"},
        {"a b", "a b.Vantreuse"},
        {std::string(50, 'n'), std::string(50, 'n') + ".Vantreuse"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(extrapolation_file_name(c.caso + blanks(kCasoLength - c.caso.size())), c.name);
    }
}

TEST_F(ExtrapolationFileTest, FourRecordsWithLabelsAndUnitsInTheirColumns) {
    kestrelfold::Run run = make_run(2, "saida.txt", "t");
    run.T_media = 1.0 / 3.0;
    run.inclinacao = -2.5e10;
    write_extrapolation_file(run, 0.1);
    run.units.close_all();
    const Records expected = {
        "    5.00000000000000000000000000000000E-01  h                 (m)",
        " 1  1.00000000000000005551115123125783E-01  T(1/2)            (adim.)",
        " 2  3.33333333333333314829616256247391E-01  " + latin1("média de T        (adim.)"),
        " 3 -2.50000000000000000000000000000000E+10  " + latin1("inclinação em x=1 (adim.)"),
    };
    const Records records = read_records("saida.txt.Vantreuse");
    ASSERT_EQ(records, expected);
    for (const std::string& record : records) {
        EXPECT_EQ(record.substr(42, 2), "  ");
        EXPECT_EQ(record[62], '(');  // the units start in column 63
    }
    EXPECT_EQ(records[3].substr(44, 10), "inclina\xE7\xE3o");
}

TEST_F(ExtrapolationFileTest, EditorStartsOnTheCompleteFileWhileTheUnitStaysOpen) {
    kestrelfold::Run run = make_run(4, "  caso.lst ", "t");
    write_extrapolation_file(run, 0.25);
    EXPECT_TRUE(run.units.is_open(kExtrapolationUnit));
    EXPECT_EQ(commands(), Records{"notepad caso.lst.Vantreuse"});
    EXPECT_EQ(run.comando, notepad_command("caso.lst.Vantreuse"));
    EXPECT_EQ(run.status_comando, 3);
    const std::string seen = seen_by_command(1);
    run.units.close_all();
    EXPECT_EQ(seen, read_bytes("caso.lst.Vantreuse"));
    EXPECT_EQ(read_records("caso.lst.Vantreuse").size(), 4u);
}

TEST_F(ExtrapolationFileTest, NameWithBlanksAndApostropheIsOneEditorArgument) {
    kestrelfold::Run run = make_run(4, "Joe's case", "t");
    write_extrapolation_file(run, 0.25);
    EXPECT_EQ(commands(), Records{"notepad Joe's case.Vantreuse"});
    EXPECT_EQ(read_records(copy_seen_by_command(1)).size(), 4u);
}

TEST_F(ExtrapolationFileTest, BlankListingNameGivesTheExtensionAlone) {
    kestrelfold::Run run = make_run(4, "", "t");
    write_extrapolation_file(run, 0.25);
    run.units.close_all();
    EXPECT_EQ(read_records(".Vantreuse").size(), 4u);
    EXPECT_EQ(commands(), Records{"notepad .Vantreuse"});
}

TEST_F(ExtrapolationFileTest, MissingEditorDoesNotStopTheRun) {
    remove_stand_in("notepad");
    kestrelfold::Run run = make_run(4, "x", "t");
    EXPECT_NO_THROW(write_extrapolation_file(run, 0.25));
    EXPECT_EQ(run.status_comando, 127);
}

// Written at the end of the block of quantities of interest, from the
// middle node of the mesh: node (N - 1) / 2 when N is odd.
TEST_F(ExtrapolationFileTest, MiddleNodeComesFromTheListingBlock) {
    kestrelfold::Run run = make_run(5, "odd.txt", "t");
    run.T[2] = 0.4;
    run.T[3] = 0.6;
    run.units.open(10, "odd.txt");
    variaveis_interesse(run);
    run.units.close_all();
    EXPECT_EQ(read_records("odd.txt.Vantreuse").at(1),
              " 1  4.00000000000000022204460492503131E-01  T(1/2)            (adim.)");
    EXPECT_EQ(read_records("odd.txt").size(), 16u);
}

TEST_F(ExtrapolationFileTest, SecondRunReplacesEverything) {
    write_bytes("run.txt.Vantreuse", numbered_lines(12, std::string(80, '9')));
    kestrelfold::Run first = make_run(10, "run.txt", "t");
    write_extrapolation_file(first, 0.5);
    first.units.close_all();
    kestrelfold::Run second = make_run(4, "run.txt", "t");
    write_extrapolation_file(second, 0.25);
    second.units.close_all();
    const Records records = read_records("run.txt.Vantreuse");
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0], "    2.50000000000000000000000000000000E-01  h                 (m)");
    EXPECT_EQ(records[1], " 1  2.50000000000000000000000000000000E-01  T(1/2)            (adim.)");
}

}  // namespace
}  // namespace kestrelfold
