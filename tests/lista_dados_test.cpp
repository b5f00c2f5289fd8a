#include "output/lista_dados.h"

#include <gtest/gtest.h>

#include "tests/output_files_fixture.h"

namespace kestrelfold {
namespace {

using namespace test_support;

class ListaDadosTest : public OutputFilesTest {
protected:
    std::vector<std::string> header_of(kestrelfold::Run& run) {
        run.units.open(10, "listing.txt");
        lista_dados(run);
        run.units.close(10);
        return read_records("listing.txt");
    }
};

TEST_F(ListaDadosTest, WholeHeader) {
    kestrelfold::Run run = make_run(10, "saida.txt", "Teste");
    run.fonte = 0;
    run.freq = 1;
    const std::vector<std::string> expected = {
        "",
        blanks(7) + latin1("título = ") + "Teste",
        "",
        " *** DADOS ***",
        "",
        blanks(23) + "caso = saida.txt" + blanks(41),
        "",
        "       0 .................. = fonte",
        latin1("      10 .................. = número de elementos da malha (N)"),
        latin1("       1 .................. = freqüência de impressão dos campos"),
        "       1.00000000000000E-01 = comprimento de cada elemento da malha (h)",
    };
    EXPECT_EQ(header_of(run), expected);
}

TEST_F(ListaDadosTest, TitleRecord) {
    const std::string ninety(90, 'T');
    struct Case { std::string titulo, record; };
    const Case cases[] = {
        {"Teste", blanks(7) + latin1("título = ") + "Teste"},
        {"", blanks(7) + latin1("título = ")},
        {"    malha fina  ", blanks(7) + latin1("título = ") + "malha fina"},
        {ninety, blanks(7) + latin1("título = ") + ninety},
        {latin1("Solução já"), blanks(7) + latin1("título = ") + latin1("Solução já")},
    };
    for (const auto& c : cases) {
        kestrelfold::Run run = make_run(4, "x", c.titulo);
        EXPECT_EQ(header_of(run).at(1), c.record) << "[" << c.titulo << "]";
    }
    kestrelfold::Run run = make_run(4, "x", ninety);
    EXPECT_EQ(header_of(run).at(1).size(), 106u);
    // The title's characters are bytes: "í" of the literal is the one byte 0xED.
    EXPECT_EQ(header_of(run).at(1).substr(7, 2), "t\xED");
}

TEST_F(ListaDadosTest, ListingNameRecordIsAlwaysEightyColumns) {
    for (const std::string& caso : {std::string("a"), std::string("  lead.txt"), std::string(50, 'c'),
                                   std::string("")}) {
        kestrelfold::Run run = make_run(4, caso, "t");
        const std::string record = header_of(run).at(5);
        EXPECT_EQ(record, blanks(23) + "caso = " + run.caso) << "[" << caso << "]";
        EXPECT_EQ(record.size(), 80u);
    }
}

TEST_F(ListaDadosTest, IntegerLines) {
    struct Case { std::int32_t fonte, N, freq; std::string r8, r9, r10; };
    const Case cases[] = {
        {-1, 10, 5, "      -1", "      10", "       5"},
        {4, 2, 1, "       4", "       2", "       1"},
        {123456789, 99999999, -9999999, "********", "99999999", "-9999999"},
    };
    for (const auto& c : cases) {
        // The header reads no field: N is set alone, without a mesh of that size.
        kestrelfold::Run run = make_run(4, "x", "t");
        run.N = c.N;
        run.fonte = c.fonte;
        run.freq = c.freq;
        const auto records = header_of(run);
        EXPECT_EQ(records.at(7), c.r8 + " .................. = fonte");
        EXPECT_EQ(records.at(8).substr(0, 8), c.r9);
        EXPECT_EQ(records.at(9).substr(0, 8), c.r10);
    }
}

TEST_F(ListaDadosTest, ElementLength) {
    struct Case { std::int32_t N; std::string value; };
    const Case cases[] = {
        {2, "5.00000000000000E-01"},
        {3, "3.33333333333333E-01"},
        {10, "1.00000000000000E-01"},
        {100000, "1.00000000000000E-05"},
    };
    for (const auto& c : cases) {
        kestrelfold::Run run = make_run(c.N, "x", "t");
        const auto records = header_of(run);
        ASSERT_EQ(records.size(), 11u);
        EXPECT_EQ(records.at(10), blanks(7) + c.value + " = comprimento de cada elemento da malha (h)");
    }
}

}  // namespace
}  // namespace kestrelfold
