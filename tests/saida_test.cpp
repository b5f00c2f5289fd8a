#include "output/saida.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "numerics/solucao.h"
#include "output/lista_coeficientes.h"
#include "output/lista_solucao.h"
#include "output/variaveis_interesse.h"
#include "tests/output_files_fixture.h"

namespace kestrelfold {
namespace {

using namespace test_support;

// A record with each text placed from its column (1 = first byte), blanks
// between, ending with the last text.
std::string at_columns(std::initializer_list<std::pair<std::size_t, std::string>> texts) {
    std::string record;
    for (const auto& [column, text] : texts) {
        if (record.size() < column - 1) record.resize(column - 1, ' ');
        record.replace(column - 1, text.size(), text);
    }
    return record;
}

class SaidaTest : public OutputFilesTest {
protected:
    // Runs one step with the listing open on unit 10; returns the listing's records.
    std::vector<std::string> listing_of(kestrelfold::Run& run, void (*step)(kestrelfold::Run&)) {
        run.units.open(10, "listing.txt");
        step(run);
        run.units.close(10);
        return read_records("listing.txt");
    }

    // The run of fonte 4 on 4 elements, solved by the program's own numerics.
    static kestrelfold::Run worked_example() {
        kestrelfold::Run run = make_run(4, "exemplo.txt", "Teste");
        run.fonte = 4;
        solucao(run);
        return run;
    }
};

TEST_F(SaidaTest, CoefficientTableHeadsStandOverTheirColumns) {
    kestrelfold::Run run = make_run(10, "x", "t");
    run.freq = 3;
    run.fonte = 2;  // S = 2: interior free terms 2 * (0 - 0.1 * 0.1)
    const auto records = listing_of(run, lista_coeficientes);
    ASSERT_EQ(records.size(), 5u + 5u);  // heading, then nodes 0, 3, 6, 9, 10
    EXPECT_EQ(records[0], "");
    EXPECT_EQ(records[1], " *** COEFICIENTES E TERMOS FONTES DE T ***");
    EXPECT_EQ(records[2], "");
    EXPECT_EQ(records[3], at_columns({{7, latin1("nó")}, {12, "x"}, {35, "oeste"}, {58, "central"},
                                      {81, "leste"}, {104, "fonte"}}));
    EXPECT_EQ(records[3].size(), 108u);
    EXPECT_EQ(records[3].substr(6, 2), "\x6E\xF3");
    EXPECT_EQ(records[4], "");
    EXPECT_EQ(records[5],
              "       0   0.00000000000000E+00   0.00000000000000E+00   1.00000000000000E+00"
              "   0.00000000000000E+00   0.00000000000000E+00");
    EXPECT_EQ(records[6],
              "       3   3.00000000000000E-01   1.00000000000000E+00   2.00000000000000E+00"
              "   1.00000000000000E+00  -2.00000000000000E-02");
    EXPECT_EQ(records[9],
              "      10   1.00000000000000E+00   0.00000000000000E+00   1.00000000000000E+00"
              "   0.00000000000000E+00   1.00000000000000E+00");
    const char* nodes[] = {"       0", "       3", "       6", "       9", "      10"};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(records[5 + k].substr(0, 8), nodes[k]);
        EXPECT_EQ(records[5 + k].size(), 123u);
    }
}

TEST_F(SaidaTest, SolutionTableListsNodesOfTheStep) {
    kestrelfold::Run run = make_run(10, "x", "t");
    run.freq = 4;
    run.fonte = 1;  // the exact solution is x
    for (double& T : run.T.span()) T = 0.25;
    const auto records = listing_of(run, lista_solucao);
    ASSERT_EQ(records.size(), 5u + 4u);  // heading, then nodes 0, 4, 8, 10
    EXPECT_EQ(records[1], latin1(" *** SOLUÇÕES DE T ***"));
    EXPECT_EQ(records[3], at_columns({{7, latin1("nó")}, {12, "x"}, {35, latin1("analítico")},
                                      {58, latin1("numérico")}, {81, "erro"}}));
    EXPECT_EQ(records[3].size(), 84u);
    EXPECT_EQ(records[4], "");
    EXPECT_EQ(records[5], "       0   0.00000000000000E+00   0.00000000000000E+00"
                          "   2.50000000000000E-01  -2.50000000000000E-01");
    EXPECT_EQ(records[8], "      10   1.00000000000000E+00   1.00000000000000E+00"
                          "   2.50000000000000E-01   7.50000000000000E-01");
    EXPECT_EQ(records[6].substr(0, 8), "       4");
    EXPECT_EQ(records[7].substr(0, 8), "       8");
}

TEST_F(SaidaTest, WorkedExampleMiddleNode) {
    kestrelfold::Run run = worked_example();
    const auto records = listing_of(run, variaveis_interesse);
    ASSERT_EQ(records.size(), 16u);
    EXPECT_EQ(records[0], "");
    EXPECT_EQ(records[1], latin1(" *** VARIÁVEIS DE INTERESSE ***"));
    EXPECT_EQ(records[2], "");
    // T(1/2) of the solver is 0.07812499999999994, not 0.078125: the digits show it.
    EXPECT_EQ(records[3], blanks(23) + "   6.25000000000000E-02" + latin1(" =     T(1/2) (analítico)"));
    EXPECT_EQ(records[4], "   2.50000000000000E-01   7.81249999999999E-02" +
                              latin1(" = h e T(1/2) (numérico) *** ") + "Teste");
    EXPECT_EQ(records[5],
              blanks(23) + "  -1.56249999999999E-02" + latin1(" =     erro = analítico - numérico"));
}

TEST_F(SaidaTest, WholeBlockOfQuantities) {
    kestrelfold::Run run = make_run(4, "x", "  Teste  ");
    run.fonte = 4;  // exact T(1/2) = 0.5^4
    run.T[2] = 0.07812499999999994;
    run.T_media = 0.23046875;
    run.T_media_a = 0.2;
    run.inclinacao = 3.53125;
    run.inclinacao_a = 4.0;
    run.tcpu = 0.0625;
    const std::string error_line = latin1(" =     erro = analítico - numérico");
    const std::vector<std::string> expected = {
        "",
        latin1(" *** VARIÁVEIS DE INTERESSE ***"),
        "",
        blanks(23) + "   6.25000000000000E-02" + latin1(" =     T(1/2) (analítico)"),
        "   2.50000000000000E-01   7.81249999999999E-02" + latin1(" = h e T(1/2) (numérico) *** Teste"),
        blanks(23) + "  -1.56249999999999E-02" + error_line,
        "",
        blanks(23) + "   2.00000000000000E-01" + latin1(" =     T_média (analítico)"),
        "   2.50000000000000E-01   2.30468750000000E-01" + latin1(" = h e T_média (numérico) *** Teste"),
        blanks(23) + "  -3.04687500000000E-02" + error_line,
        "",
        blanks(23) + "   4.00000000000000E+00" + latin1(" =     inclinacao(1) (analítico)"),
        "   2.50000000000000E-01   3.53125000000000E+00" +
            latin1(" = h e inclinacao(1) (numérico) *** Teste"),
        blanks(23) + "   4.68750000000000E-01" + error_line,
        "",
        blanks(9) + "0.062 = tempo de processamento (segundos)",
    };
    EXPECT_EQ(listing_of(run, variaveis_interesse), expected);
}

TEST_F(SaidaTest, TitleEndsTheNumericalRecords) {
    const std::string ninety(90, 'Z');
    struct Case { std::string titulo, end; };
    const Case cases[] = {
        {"", "*** "},
        {"   lead", "*** lead"},
        {ninety, "*** " + ninety},
    };
    for (const auto& c : cases) {
        kestrelfold::Run run = make_run(4, "x", c.titulo);
        const auto records = listing_of(run, variaveis_interesse);
        ASSERT_EQ(records.size(), 16u);
        for (int record : {4, 8, 12}) {
            const std::string& r = records[record];
            ASSERT_GE(r.size(), c.end.size());
            EXPECT_EQ(r.substr(r.size() - c.end.size()), c.end) << "[" << c.titulo << "]";
        }
    }
}

TEST_F(SaidaTest, ProcessingTimeRecord) {
    struct Case { double tcpu; std::string field; };
    const Case cases[] = {
        {0.0, "         0.000"},
        {0.0625, "         0.062"},
        {0.1875, "         0.188"},
        {12.3456789, "        12.346"},
        {9999999999.999, "9999999999.999"},
        {1e10, "**************"},
    };
    for (const auto& c : cases) {
        kestrelfold::Run run = make_run(4, "x", "t");
        run.tcpu = c.tcpu;
        EXPECT_EQ(listing_of(run, variaveis_interesse).back(),
                  c.field + " = tempo de processamento (segundos)")
            << c.tcpu;
    }
}

TEST_F(SaidaTest, OddMeshUsesNodeLeftOfTheMiddle) {
    kestrelfold::Run run = make_run(5, "x", "t");
    run.fonte = 1;  // exact T = x: 0.4 at node 2, 0.6 at node 3
    run.T[2] = 0.3;
    run.T[3] = 99.0;
    const auto records = listing_of(run, variaveis_interesse);
    EXPECT_EQ(records[3].substr(23, 23), "   4.00000000000000E-01");
    EXPECT_EQ(records[4].substr(23, 23), "   3.00000000000000E-01");
    EXPECT_EQ(records[5].substr(23, 23), "   1.00000000000000E-01");
}

TEST_F(SaidaTest, SwitchesOtherThanOneLeaveTheirSectionsOut) {
    kestrelfold::Run run = make_run(4, "x", "t");
    run.coef = 2;
    run.sol = 0;
    run.graf = -1;
    const auto records = listing_of(run, saida);
    ASSERT_EQ(records.size(), 16u);
    EXPECT_EQ(records[1], latin1(" *** VARIÁVEIS DE INTERESSE ***"));
    for (const char* file : {"Kestrelfold_T.dat", "Kestrelfold_T.gnu", "Kestrelfold_E.gnu"}) {
        EXPECT_FALSE(std::filesystem::exists(file)) << file;
    }
    EXPECT_EQ(commands(), std::vector<std::string>{"notepad x.Vantreuse"});
    EXPECT_EQ(run.status_comando, 3);
}

TEST_F(SaidaTest, AllSectionsInOrder) {
    kestrelfold::Run run = worked_example();
    run.coef = 1;
    run.sol = 1;
    run.graf = 1;
    write_bytes("Kestrelfold_T.gnu", numbered_lines(8));
    write_bytes("Kestrelfold_E.gnu", numbered_lines(6));
    const auto records = listing_of(run, saida);
    // Coefficient table (5 + 5 rows), solution table (5 + 5 rows), block (16).
    ASSERT_EQ(records.size(), 10u + 10u + 16u);
    EXPECT_EQ(records[1], " *** COEFICIENTES E TERMOS FONTES DE T ***");
    EXPECT_EQ(records[11], latin1(" *** SOLUÇÕES DE T ***"));
    EXPECT_EQ(records[21], latin1(" *** VARIÁVEIS DE INTERESSE ***"));
    // The solution rows of the listing and of the plot data file are the same bytes.
    const auto data = read_records("Kestrelfold_T.dat");
    ASSERT_EQ(data.size(), 2u + 5u);
    for (int k = 0; k < 5; ++k) EXPECT_EQ(data[2 + k], records[15 + k]);
    EXPECT_EQ(commands(), (std::vector<std::string>{"wgnuplot Kestrelfold_T.gnu",
                                                    "wgnuplot Kestrelfold_E.gnu",
                                                    "notepad exemplo.txt.Vantreuse"}));
    EXPECT_EQ(run.status_comando, 3);
}

}  // namespace
}  // namespace kestrelfold
