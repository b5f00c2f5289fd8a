#include "output/graficos.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "output/fatal_error.h"
#include "tests/output_files_fixture.h"

namespace kestrelfold {
namespace {

using namespace test_support;

using Records = std::vector<std::string>;

Records lines(int n) {
    Records records;
    for (int k = 1; k <= n; ++k) records.push_back("line " + std::to_string(k));
    return records;
}

Records with_title(Records kept, const std::string& title_command) {
    kept.push_back(title_command);
    kept.push_back(" replot");
    return kept;
}

class GraficosTest : public OutputFilesTest {
protected:
    void give_scripts(int t_records, int e_records) {
        write_bytes("Kestrelfold_T.gnu", numbered_lines(t_records));
        write_bytes("Kestrelfold_E.gnu", numbered_lines(e_records));
    }

    // A run whose rows are easy to recognise: the exact solution is x
    // (fonte 1), and T_i = 1.5 * i.
    static kestrelfold::Run plot_run(std::int32_t N, std::int32_t freq, std::string_view titulo = "Teste") {
        kestrelfold::Run run = make_run(N, "x", titulo);
        run.fonte = 1;
        run.freq = freq;
        for (std::int32_t i = 0; i <= N; ++i) run.T[i] = 1.5 * i;
        return run;
    }
};

TEST_F(GraficosTest, DataFileHeadingAndRows) {
    give_scripts(8, 6);
    kestrelfold::Run run = plot_run(10, 1);
    graficos(run);
    const Records data = read_records("Kestrelfold_T.dat");
    ASSERT_EQ(data.size(), 10u + 3u);
    EXPECT_EQ(data[0], latin1("# *** SOLUÇÕES DE T ***"));
    EXPECT_EQ(data[0].size(), 23u);
    std::string heads = "#" + blanks(5) + latin1("nó") + blanks(3) + "x" + blanks(22) + latin1("analítico") +
                        blanks(14) + latin1("numérico") + blanks(15) + "erro";
    EXPECT_EQ(data[1], heads);
    EXPECT_EQ(data[1].size(), 84u);
    EXPECT_EQ(data[2], "       0   0.00000000000000E+00   0.00000000000000E+00"
                       "   0.00000000000000E+00   0.00000000000000E+00");
    EXPECT_EQ(data[12], "      10   1.00000000000000E+00   1.00000000000000E+00"
                        "   1.50000000000000E+01  -1.40000000000000E+01");
    for (std::size_t k = 2; k < data.size(); ++k) EXPECT_EQ(data[k].size(), 100u);
}

TEST_F(GraficosTest, DataFileRecordCountFollowsTheStep) {
    struct Case { std::int32_t N, freq; std::size_t records; };
    const Case cases[] = {{10, 1, 13}, {10, 3, 7}, {10, 10, 4}, {10, 50, 4}, {2, 1, 5}};
    for (const auto& c : cases) {
        give_scripts(8, 6);
        kestrelfold::Run run = plot_run(c.N, c.freq);
        graficos(run);
        EXPECT_EQ(read_records("Kestrelfold_T.dat").size(), c.records) << c.N << " / " << c.freq;
    }
}

TEST_F(GraficosTest, ScriptsKeepTheirFirstRecordsAndGetTitleAndReplot) {
    for (int t_records : {8, 10, 15}) {
        give_scripts(t_records, 9);
        kestrelfold::Run run = plot_run(4, 1);
        graficos(run);
        EXPECT_EQ(read_records("Kestrelfold_T.gnu"), with_title(lines(8), " set title 'Teste'"))
            << t_records << " records";
        EXPECT_EQ(read_records("Kestrelfold_E.gnu"), with_title(lines(6), " set title 'Teste'"));
    }
}

TEST_F(GraficosTest, RunningAgainDoesNotGrowTheScripts) {
    give_scripts(8, 6);
    kestrelfold::Run first = plot_run(4, 1, "primeira");
    graficos(first);
    kestrelfold::Run second = plot_run(4, 1, "segunda");
    graficos(second);
    EXPECT_EQ(read_records("Kestrelfold_T.gnu"), with_title(lines(8), " set title 'segunda'"));
    EXPECT_EQ(read_records("Kestrelfold_E.gnu"), with_title(lines(6), " set title 'segunda'"));
}

TEST_F(GraficosTest, TitleCommandIsOneRecord) {
    const std::string ninety(90, 'W');
    struct Case { std::string titulo, command; };
    const Case cases[] = {
        {"Teste", " set title 'Teste'"},
        {"", " set title ''"},
        {"   malha 10   ", " set title 'malha 10'"},
        {"Joe's run", " set title 'Joe''s run'"},
        {"''", " set title ''''''"},
        {latin1("Solução"), latin1(" set title 'Solução'")},
        {std::string(67, 'a'), " set title '" + std::string(67, 'a') + "'"},
        {std::string(68, 'a'), " set title '" + std::string(68, 'a') + "'"},
        {ninety, " set title '" + ninety + "'"},
    };
    for (const auto& c : cases) {
        give_scripts(8, 6);
        kestrelfold::Run run = plot_run(4, 1, c.titulo);
        graficos(run);
        EXPECT_EQ(read_records("Kestrelfold_T.gnu"), with_title(lines(8), c.command)) << "[" << c.titulo << "]";
        EXPECT_EQ(read_records("Kestrelfold_E.gnu"), with_title(lines(6), c.command)) << "[" << c.titulo << "]";
    }
}

TEST_F(GraficosTest, PlotsStartOnCompleteFilesInOrder) {
    give_scripts(8, 6);
    kestrelfold::Run run = plot_run(10, 5);
    graficos(run);
    EXPECT_EQ(commands(), (Records{"wgnuplot Kestrelfold_T.gnu", "wgnuplot Kestrelfold_E.gnu"}));
    const std::string data = read_bytes("Kestrelfold_T.dat");
    EXPECT_EQ(data_seen_by_command(1), data);
    EXPECT_EQ(read_records("Kestrelfold_T.dat").size(), 5u);
    EXPECT_EQ(seen_by_command(1), numbered_lines(8) + " set title 'Teste'\r\n replot\r\n");
    EXPECT_EQ(seen_by_command(2), numbered_lines(6) + " set title 'Teste'\r\n replot\r\n");
    EXPECT_EQ(run.status_comando, 5);  // the stand-in's status, stored and not acted on
}

TEST_F(GraficosTest, MissingPlottingProgramDoesNotStopTheRun) {
    remove_stand_in("wgnuplot");
    give_scripts(8, 6);
    kestrelfold::Run run = plot_run(4, 1);
    EXPECT_NO_THROW(graficos(run));
    EXPECT_EQ(run.status_comando, 127);
    EXPECT_EQ(read_records("Kestrelfold_E.gnu"), with_title(lines(6), " set title 'Teste'"));
    EXPECT_FALSE(run.units.is_open(kPlotUnit));
}

TEST_F(GraficosTest, MissingScriptEndsTheRunAtTheFirstRead) {
    write_bytes("Kestrelfold_E.gnu", numbered_lines(6));
    kestrelfold::Run run = plot_run(4, 1);
    try {
        graficos(run);
        FAIL() << "a missing script must end the run";
    } catch (const FatalError& error) {
        EXPECT_EQ(std::string(error.what()), "end-of-file during read, unit 11, file Kestrelfold_T.gnu: the file is empty, "
                                             "the script needs 8 before the title; " + kWhereTheExamplesAre);
    }
    run.units.close_all_quietly();
    ASSERT_TRUE(std::filesystem::exists("Kestrelfold_T.gnu"));
    EXPECT_EQ(std::filesystem::file_size("Kestrelfold_T.gnu"), 0u);
    EXPECT_EQ(read_records("Kestrelfold_T.dat").size(), 4u + 3u);
    EXPECT_EQ(read_bytes("Kestrelfold_E.gnu"), numbered_lines(6));
    EXPECT_TRUE(commands().empty());
}

TEST_F(GraficosTest, ShortScriptEndsTheRunAndKeepsWhatIsDone) {
    struct Case { int t_records, e_records; std::string message; Records commands; };
    const Case cases[] = {
        {7, 6, "end-of-file during read, unit 11, file Kestrelfold_T.gnu: the file has 7 lines, the script needs 8 "
               "before the title; " + kWhereTheExamplesAre, {}},
        {8, 1, "end-of-file during read, unit 11, file Kestrelfold_E.gnu: the file has 1 line, the script needs 6 "
               "before the title; " + kWhereTheExamplesAre, {"wgnuplot Kestrelfold_T.gnu"}},
        {8, 5, "end-of-file during read, unit 11, file Kestrelfold_E.gnu: the file has 5 lines, the script needs 6 "
               "before the title; " + kWhereTheExamplesAre, {"wgnuplot Kestrelfold_T.gnu"}},
    };
    for (const auto& c : cases) {
        forget_commands();
        give_scripts(c.t_records, c.e_records);
        kestrelfold::Run run = plot_run(4, 1);
        try {
            graficos(run);
            ADD_FAILURE() << "a short script must end the run";
        } catch (const FatalError& error) {
            EXPECT_EQ(error.what(), c.message);
        }
        run.units.close_all_quietly();
        EXPECT_EQ(commands(), c.commands);
        if (c.t_records >= 8) {
            EXPECT_EQ(read_records("Kestrelfold_T.gnu"), with_title(lines(8), " set title 'Teste'"));
        } else {
            EXPECT_EQ(read_bytes("Kestrelfold_T.gnu"), numbered_lines(c.t_records));
        }
        EXPECT_EQ(read_bytes("Kestrelfold_E.gnu"), numbered_lines(c.e_records));
    }
}

TEST_F(GraficosTest, SecondRunWithFewerNodesLeavesNothingOfTheFirst) {
    give_scripts(8, 6);
    kestrelfold::Run first = plot_run(10, 1, "primeira");
    graficos(first);
    kestrelfold::Run second = plot_run(3, 1, "segunda");
    graficos(second);
    const Records data = read_records("Kestrelfold_T.dat");
    ASSERT_EQ(data.size(), 3u + 3u);
    EXPECT_EQ(data.back().substr(0, 8), "       3");
    EXPECT_EQ(read_records("Kestrelfold_T.gnu"), with_title(lines(8), " set title 'segunda'"));
}

TEST_F(GraficosTest, ScriptsWithOtherLineEnds) {
    // A script saved with LF line ends keeps its records as they are.
    write_bytes("Kestrelfold_T.gnu", "a\nb\nc\nd\ne\nf\ng\nh\nold title\n");
    write_bytes("Kestrelfold_E.gnu", "1\n2\n3\n4\n5\n6\n");
    kestrelfold::Run run = plot_run(4, 1);
    graficos(run);
    EXPECT_EQ(read_bytes("Kestrelfold_T.gnu"), "a\nb\nc\nd\ne\nf\ng\nh\n set title 'Teste'\r\n replot\r\n");
    EXPECT_EQ(read_bytes("Kestrelfold_E.gnu"), "1\n2\n3\n4\n5\n6\n set title 'Teste'\r\n replot\r\n");
}

}  // namespace
}  // namespace kestrelfold
