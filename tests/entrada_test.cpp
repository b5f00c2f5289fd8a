// entrada in the test process: the editor step, the eight reads, the checks
// that stop a run before anything is allocated, the field T and the mesh.
#include "driver/entrada.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "driver/available_memory.h"
#include "numerics/mesh.h"
#include "numerics/run_memory.h"
#include "output/fatal_error.h"
#include "output/printed_title.h"
#include "tests/test_files.h"

namespace kestrelfold {
namespace {

using namespace test_support;

// Each test in a fresh temporary directory, with a stand-in `notepad` first
// on PATH that logs its command line and exits with status 3.
class EntradaTest : public ::testing::Test {
protected:
    EntradaTest() {
        write_script(temp_.path() / "bin" / "notepad",
                     "#!/bin/sh\necho \"notepad $*\" >> '" + log_.string() + "'\nexit 3\n");
    }

    std::vector<std::string> commands() const { return read_lines(log_); }

    // The eight values, one per line, each followed by a comment.
    static std::string input(const std::string& caso, std::int64_t fonte, std::int64_t N,
                             std::int64_t freq = 1) {
        return caso + "  caso\n" + std::to_string(fonte) + "  fonte\n" + std::to_string(N) +
               "  N\n1  graf\n0  coef\n1  sol\n" + std::to_string(freq) + "  freq\n'A title'\n";
    }

    // The message entrada stops with, or "" when it returns.
    std::string failure_of(kestrelfold::Run& run) {
        try {
            entrada(run);
        } catch (const FatalError& error) {
            return error.what();
        }
        return "";
    }

private:
    TempDir temp_;
    const std::filesystem::path log_ = temp_.path() / "commands.log";
    CurrentDirectory inside_{temp_.folder("work")};
    PathFirst path_{temp_.folder("bin")};
};

TEST_F(EntradaTest, ReadsTheValuesAfterTheEditorAndClosesTheInput) {
    write_bytes("Kestrelfold.in", input("saida.txt", 2, 10, 5));
    kestrelfold::Run run;
    entrada(run);
    EXPECT_EQ(commands(), std::vector<std::string>{"notepad Kestrelfold.in"});
    EXPECT_EQ(run.status_comando, 3);  // the stand-in's status, stored and ignored
    EXPECT_EQ(run.caso, "saida.txt" + blanks(41));
    EXPECT_EQ(run.titulo, "A title" + blanks(83));
    EXPECT_EQ((std::vector<std::int32_t>{run.fonte, run.N, run.graf, run.coef, run.sol, run.freq}),
              (std::vector<std::int32_t>{2, 10, 1, 0, 1, 5}));
    EXPECT_FALSE(run.units.is_open(7));
    EXPECT_EQ(read_bytes("Kestrelfold.in"), input("saida.txt", 2, 10, 5));  // unchanged
    EXPECT_EQ(run.T.size(), 11u);
}

TEST_F(EntradaTest, NullValuesKeepTheDefaults) {
    write_bytes("Kestrelfold.in", "a.txt\n0\n4\n/ graf\n, coef\n1\n1\n/\n");
    kestrelfold::Run run;
    entrada(run);
    EXPECT_EQ(run.graf, 0);
    EXPECT_EQ(run.coef, 0);
    EXPECT_EQ(run.titulo, blanks(90));
}

// x_i is i times h, one product (3 * 0.1 is not 0.3), and the last node is 1
// exactly (49 * (1/49) is not).
TEST_F(EntradaTest, Mesh) {
    struct Case {
        std::int32_t N;
        double h;
        std::vector<std::pair<std::int32_t, double>> nodes;
    };
    const std::vector<Case> cases = {
        {2, 0.5, {{0, 0.0}, {1, 0.5}, {2, 1.0}}},
        {3, 1.0 / 3.0, {{0, 0.0}, {1, std::bit_cast<double>(0x3FD5555555555555)},
                        {2, std::bit_cast<double>(0x3FE5555555555555)}, {3, 1.0}}},
        {10, 0.1, {{3, std::bit_cast<double>(0x3FD3333333333334)}, {7, std::bit_cast<double>(0x3FE6666666666667)},
                   {10, 1.0}}},
        {49, 1.0 / 49.0, {{48, 48 * (1.0 / 49.0)}, {49, 1.0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("N = " + std::to_string(c.N));
        write_bytes("Kestrelfold.in", input("m.txt", 0, c.N));
        kestrelfold::Run run;
        entrada(run);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(run.h), std::bit_cast<std::uint64_t>(c.h));
        for (const auto& [i, x] : c.nodes) {
            EXPECT_EQ(std::bit_cast<std::uint64_t>(x_no(run.N, run.h, i)), std::bit_cast<std::uint64_t>(x))
                << "node " << i;
        }
    }
    EXPECT_NE(49 * (1.0 / 49.0), 1.0);
}

// Values outside the data model stop the run before any field exists.
TEST_F(EntradaTest, RefusedValues) {
    struct Case {
        std::string input;
        std::string message;
    };
    const std::vector<Case> cases = {
        {input("a.txt", 0, 1), "N = 1: the mesh needs at least 2 elements"},
        {input("a.txt", 0, 0), "N = 0: the mesh needs at least 2 elements"},
        {input("a.txt", 0, -3), "N = -3: the mesh needs at least 2 elements"},
        {input("a.txt", 0, -2147483648LL), "N = -2147483648: the mesh needs at least 2 elements"},
        {input("a.txt", 0, 10, 0), "freq = 0: the print frequency must be at least 1"},
        {input("a.txt", 0, 10, -5), "freq = -5: the print frequency must be at least 1"},
        {input("a.txt", 5, 10), "fonte = 5: the source term must be one of 0 to 4"},
        {input("a.txt", -1, 10), "fonte = -1: the source term must be one of 0 to 4"},
        {input("'   '", 0, 10), "caso is blank: the listing needs a file name"},
        {input("''", 0, 10), "caso is blank: the listing needs a file name"},
        {input("/", 0, 10), "caso is blank: the listing needs a file name; line 1 begins with a slash, which ends "
                            "an unquoted value: put a name with a slash in quotes"},
        {"\n \n" + input("/tmp/saida.txt", 0, 10), "caso is blank: the listing needs a file name; line 3 begins with a slash, "
                                          "which ends an unquoted value: put a name with a slash in quotes"},
        {input(",", 0, 10), "caso is blank: the listing needs a file name"},
        // A listing named like a plot file would be written over it, whatever graf says.
        {input("Kestrelfold_T.gnu", 0, 10), "caso 'Kestrelfold_T.gnu' is the name of a plot script: the listing would "
                                            "replace it; give the listing another name"},
        {input("'  Kestrelfold_E.gnu '", 0, 10), "caso 'Kestrelfold_E.gnu' is the name of a plot script: the listing "
                                                 "would replace it; give the listing another name"},
        {input("Kestrelfold_T.dat", 0, 10), "caso 'Kestrelfold_T.dat' is the name of the plot data file: the listing "
                                            "would replace it; give the listing another name"},
        {input("'./Kestrelfold_T.dat'", 0, 10), "caso './Kestrelfold_T.dat' is the name of the plot data file: the "
                                                "listing would replace it; give the listing another name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        write_bytes("Kestrelfold.in", c.input);
        kestrelfold::Run run;
        EXPECT_EQ(failure_of(run), c.message);
        EXPECT_EQ(run.T.size(), 0u);
        EXPECT_FALSE(run.units.is_open(7));
    }
}

// Names near a plot file's are names of their own; so is the input file's,
// which is closed before the listing is written.
TEST_F(EntradaTest, ListingNamesBesideThePlotFilesAreAllowed) {
    for (const std::string caso : {"Kestrelfold.in", "kestrelfold_T.gnu", "Kestrelfold_T.gnu.txt", "Kestrelfold_T"}) {
        SCOPED_TRACE(caso);
        write_bytes("Kestrelfold.in", input(caso, 0, 10));
        kestrelfold::Run run;
        EXPECT_EQ(failure_of(run), "");
        EXPECT_EQ(trimmed_caso(run.caso), caso);
    }
}

TEST_F(EntradaTest, ExtremeValuesThatAreAllowed) {
    write_bytes("Kestrelfold.in", input("a.txt", 4, 2, 2147483647));
    kestrelfold::Run run;
    EXPECT_EQ(failure_of(run), "");
    EXPECT_EQ(run.fonte, 4);
    EXPECT_EQ(run.freq, 2147483647);
}

TEST_F(EntradaTest, MissingInputIsCreatedEmptyAndEndsTheRun) {
    kestrelfold::Run run;
    EXPECT_EQ(failure_of(run), "end-of-file during read, unit 7, file Kestrelfold.in: caso (the 1st value) is missing: "
                               "the file is empty; " + kWhereTheExamplesAre);
    EXPECT_EQ(commands(), std::vector<std::string>{"notepad Kestrelfold.in"});
    ASSERT_TRUE(std::filesystem::exists("Kestrelfold.in"));
    EXPECT_EQ(std::filesystem::file_size("Kestrelfold.in"), 0u);
}

// A file that ends early names the first value it lacks, by its name and
// its place, and where the file ends.
TEST_F(EntradaTest, EachMissingValueIsNamed) {
    const std::string whole = input("saida.txt", 2, 10, 5);
    const std::vector<std::string> names = {"caso", "fonte", "N", "graf", "coef", "sol", "freq", "titulo"};
    const std::vector<std::string> places = {"1st", "2nd", "3rd", "4th", "5th", "6th", "7th", "8th"};
    std::size_t end_of_line = 0;
    for (std::size_t lines = 1; lines < names.size(); ++lines) {
        end_of_line = whole.find('\n', end_of_line) + 1;
        SCOPED_TRACE(std::to_string(lines) + " lines");
        for (const std::string& tail : {std::string(), std::string("\n \t\n")}) {
            write_bytes("Kestrelfold.in", whole.substr(0, end_of_line) + tail);
            kestrelfold::Run run;
            const std::string where = tail.empty() ? "the file ends after line " + std::to_string(lines)
                                                   : "lines " + std::to_string(lines + 1) + " to " +
                                                         std::to_string(lines + 2) + " are blank and end the file";
            EXPECT_EQ(failure_of(run), "end-of-file during read, unit 7, file Kestrelfold.in: " + names[lines] +
                                           " (the " + places[lines] + " value) is missing: " + where);
            EXPECT_EQ(run.T.size(), 0u);
        }
    }
}

// A listing name over 50 characters or a title over 90 keeps its first
// characters and goes on; one line on stderr for each says what is kept.
// Texts saved as UTF-8 get one line more, and the run goes on with them too.
TEST_F(EntradaTest, TextsCutToTheirLengthAreToldAndTheRunGoesOn) {
    const std::string name50 = "resultados_da_malha_com_dez_mil_elementos_fonte_ze";
    const std::string title90 =
        "Poisson 1D: estudo de malhas com fonte exponencial, dez mil elementos e todas as tabelas k";
    ASSERT_EQ(name50.size(), 50u);
    ASSERT_EQ(title90.size(), 90u);
    const std::string kUtf8Rest =
        ", but the files of a run are ISO 8859-1, where its accented letters show as two characters each; convert "
        "the input with: iconv -f UTF-8 -t ISO-8859-1 Kestrelfold.in > Kestrelfold.in.latin1 && mv "
        "Kestrelfold.in.latin1 Kestrelfold.in\n";
    struct Case {
        const char* name;
        std::string caso;
        std::string titulo;
        std::string warnings;
    };
    const std::vector<Case> cases = {
        {"both within their length", name50, "'" + title90 + "'", ""},
        {"name of 57", name50 + "ro1.txt", "'t'",
         "kestrelfold: caso on line 1 has 57 characters, more than 50: the listing is named '" + name50 + "'\n"},
        {"delimited name with blanks kept", "'  " + name50 + "'", "'t'",
         "kestrelfold: caso on line 1 has 52 characters, more than 50: the listing is named '" +
             name50.substr(0, 48) + "'\n"},
        {"title of 100 over two lines", "a.txt", "'" + title90 + "\nfim de ''x'''",
         "kestrelfold: titulo on line 8 has 100 characters, more than 90: the title is '" + title90 + "'\n"},
        {"both", name50 + "x", "'" + title90 + "!'",
         "kestrelfold: caso on line 1 has 51 characters, more than 50: the listing is named '" + name50 + "'\n"
         "kestrelfold: titulo on line 8 has 91 characters, more than 90: the title is '" + title90 + "'\n"},
        // Texts saved as UTF-8: one line names them and the command that converts the file.
        {"a title in UTF-8", "a.txt", "'Solução à mão'", "kestrelfold: Kestrelfold.in holds UTF-8 text (titulo on line 8)" + kUtf8Rest},
        {"name and title in UTF-8", "saída.txt", "'Preço: 5 €'",
         "kestrelfold: Kestrelfold.in holds UTF-8 text (caso on line 1 and titulo on line 8)" + kUtf8Rest},
        {"a title in ISO 8859-1", "a.txt", "'Solu\xE7\xE3o \xE0 m\xE3o'", ""},
        {"bytes that are neither", "a.txt", "'\xC3\xA7\xE7'", ""},
        {"a UTF-8 title cut inside its last letter", "a.txt", "'ç" + title90.substr(0, 87) + "ção'",
         "kestrelfold: titulo on line 8 has 94 characters, more than 90: the title is 'ç" + title90.substr(0, 87) +
             "\xC3'\nkestrelfold: Kestrelfold.in holds UTF-8 text (titulo on line 8)" + kUtf8Rest},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write_bytes("Kestrelfold.in", c.caso + "\n0\n10\n1\n0\n1\n1\n" + c.titulo + "\n");
        kestrelfold::Run run;
        ::testing::internal::CaptureStderr();
        const std::string failure = failure_of(run);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.warnings);
        EXPECT_EQ(failure, "");
        EXPECT_EQ(run.N, 10);
        EXPECT_EQ(run.T.size(), 11u);
    }
}

// A cut name in a run refused for another value: the refusal alone.
TEST_F(EntradaTest, NoWarningWhenTheRunStops) {
    write_bytes("Kestrelfold.in", input(std::string(60, 'n'), 0, 1));
    kestrelfold::Run run;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(failure_of(run), "N = 1: the mesh needs at least 2 elements");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

// A mesh of 2^31 nodes needs 17 GB: where the machine has less, the run
// ends with the allocation message before any field is allocated or touched.
TEST_F(EntradaTest, MeshTooLargeForTheMachine) {
    const std::uint64_t needed = run_memory_bytes(2147483647);
    const auto available = available_memory();
    if (!available || *available >= needed) GTEST_SKIP() << "memory of this machine unknown or large enough";
    write_bytes("Kestrelfold.in", input("a.txt", 0, 2147483647));
    kestrelfold::Run run;
    EXPECT_EQ(failure_of(run), kInsufficientMemory);
    EXPECT_EQ(run.T.size(), 0u);
}

}  // namespace
}  // namespace kestrelfold
