// Reading back what a run left: the data file through a round trip with the
// program's own writer, the listing's last record, and a mesh folder in
// every state a run can leave it.
#include "study/run_files.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "driver/input_file.h"
#include "driver/run.h"
#include "numerics/binary128.h"
#include "output/extrapolation_file.h"
#include "output/field_editors.h"
#include "study/run_input.h"
#include "study/study_layout.h"
#include "tests/test_files.h"

namespace kestrelfold::study {
namespace {

using namespace kestrelfold::test_support;
namespace fs = std::filesystem;

struct FieldCase {
    const char* field;
    std::optional<double> value;
};

TEST(ParseEField, WhatTheEEditWrites) {
    const FieldCase cases[] = {
        {"  1.00000000000000005551115123125783E-01", 0.1},
        {" -1.50000000000000000000000000000000E+00", -1.5},
        {"  0.00000000000000000000000000000000E+00", 0.0},
        {"  1.00000000000000000000000000000000-100", 1e-100},
        {" -2.50000000000000000000000000000000+200", -2.5e200},
        {"****************************************", std::nullopt},
        {"                                        ", std::nullopt},
        {"  1.0E-01x", std::nullopt},
        {"  1.0 E-01", std::nullopt},
        {"  1.0-", std::nullopt},
    };
    for (const FieldCase& c : cases) {
        SCOPED_TRACE(c.field);
        const std::optional<double> value = parse_e_field(c.field);
        ASSERT_EQ(value.has_value(), c.value.has_value());
        if (value) {
            EXPECT_EQ(*value, *c.value);
        }
    }
}

// kestrelfold-quad's fields as binary128 values: the value nearest to the
// field's 33 digits, within half a unit of the 33rd digit of what the
// program wrote.
TEST(ParseEField, BinaryOneTwentyEightFields) {
    struct QuadCase {
        const char* field;
        const char* decimal;  // nothing: not a value
    };
    const QuadCase cases[] = {
        {"  1.00000000000000000000000000000000E-01", "0.1"},
        {" -1.42857142857142857142857142857143E-01", "-0.142857142857142857142857142857143"},
        {"  0.00000000000000000000000000000000E+00", "0"},
        {"  1.00000000000000000000000000000000-100", "1e-100"},
        {" -2.50000000000000000000000000000000+200", "-2.5e200"},
        {"****************************************", nullptr},
        {" NaN                                    ", nullptr},
        {" -Infinity                              ", nullptr},
        {"                                        ", nullptr},
        {"  1.0E-01x", nullptr},
        {"  1.0 E-01", nullptr},
        {"  0x1p-3", nullptr},
    };
    for (const QuadCase& c : cases) {
        SCOPED_TRACE(c.field);
        const std::optional<kestrelfold::Quad> value = parse_e_field<kestrelfold::Quad>(c.field);
        ASSERT_EQ(value.has_value(), c.decimal != nullptr);
        if (value) {
            EXPECT_TRUE(std::bit_cast<kestrelfold::QuadBits>(*value) ==
                        std::bit_cast<kestrelfold::QuadBits>(kestrelfold::quad_from_decimal(c.decimal)));
        }
    }
    // What the E40.32 editor writes reads back within 5e-33 of the value.
    for (const char* decimal : {"0.1", "0.37754066879814543536109943425449152", "1.5819767068693264243850020051090116"}) {
        const kestrelfold::Quad value = kestrelfold::quad_from_decimal(decimal);
        std::string field(40, '?');
        ASSERT_TRUE(kestrelfold::edit_scientific(value, 40, 32, 1, field.data()));
        const std::optional<kestrelfold::Quad> read = parse_e_field<kestrelfold::Quad>(field);
        ASSERT_TRUE(read.has_value()) << field;
        const kestrelfold::Quad difference = *read > value ? *read - value : value - *read;
        EXPECT_LE(static_cast<double>(difference / value), 5e-33) << field;
    }
}

// The four records as the program writes them, for the given values; the
// program's editor call goes to a stand-in that opens nothing.
std::string written_by_the_program(const TempDir& dir, const std::array<double, 4>& v) {
    CurrentDirectory here(dir.path());
    write_script(dir.path() / "notepad", "#!/bin/sh\nexit 0\n");
    PathFirst path(dir.path());
    Run run;
    run.caso = "saida.txt" + std::string(kCasoLength - 9, ' ');
    run.h = v[0];
    run.T_media = v[2];
    run.inclinacao = v[3];
    write_extrapolation_file(run, v[1]);
    run.units.close_all();
    return read_bytes(dir.path() / "saida.txt.Vantreuse");
}

// Every double, written with 33 significant digits, reads back as itself.
TEST(ExtrapolationRecords, RoundTripThroughTheProgramsWriter) {
    TempDir dir;
    std::vector<std::array<double, 4>> cases = {
        {0.1, 0.3776426672363330, 0.41892407340545335, 1.5766004685553536},
        {1.0 / 655360, 0.0, 1e-300, -4.9e-300},
        {0.5, 1.0 / 3, -2.0 / 3, 1e200},
        {std::nextafter(1.0, 0.0), std::nextafter(0.5, 1.0), 2.2250738585072014e-308, 1.7976931348623157e308},
    };
    std::mt19937_64 random(20261208);
    for (int i = 0; i < 20; ++i) {
        std::array<double, 4> v;
        for (double& x : v) {
            do x = std::bit_cast<double>(random()); while (!std::isfinite(x));
        }
        cases.push_back(v);
    }
    for (const auto& v : cases) {
        const std::string bytes = written_by_the_program(dir, v);
        SCOPED_TRACE(bytes);
        const std::optional<std::array<double, 4>> read = parse_extrapolation_records(bytes);
        ASSERT_TRUE(read);
        // The study reads every run's file through binary128: 33 digits
        // give each double back from there too.
        const std::optional<std::array<Quad, 4>> wide = parse_extrapolation_records<Quad>(bytes);
        ASSERT_TRUE(wide);
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(std::bit_cast<std::uint64_t>((*read)[k]), std::bit_cast<std::uint64_t>(v[k])) << k;
            EXPECT_EQ(std::bit_cast<std::uint64_t>(static_cast<double>((*wide)[k])), std::bit_cast<std::uint64_t>(v[k]))
                << k;
        }
    }
}

const std::string kRecords =
    "    1.00000000000000005551115123125783E-01  h                 (m)\r\n"
    " 1  3.77642667236333051672403371412656E-01  T(1/2)            (adim.)\r\n"
    " 2  4.18924073405453345486648686346598E-01  m\xe9" "dia de T        (adim.)\r\n"
    " 3  1.57660046855535362908540264470503E+00  inclina\xe7\xe3o em x=1 (adim.)\r\n";

TEST(ExtrapolationRecords, AnythingButFourWholeRecordsIsRefused) {
    ASSERT_TRUE(parse_extrapolation_records(kRecords));
    const std::pair<const char*, std::string> cases[] = {
        {"empty", ""},
        {"three records", kRecords.substr(0, kRecords.rfind(" 3"))},
        {"last record without its line end", kRecords.substr(0, kRecords.size() - 2)},
        {"a fifth record", kRecords + " 4  1.0E+00  x\r\n"},
        {"LF only", [] {
             std::string s = kRecords;
             for (std::size_t at; (at = s.find('\r')) != std::string::npos;) s.erase(at, 1);
             return s;
         }()},
        {"wrong number", [] {
             std::string s = kRecords;
             s[s.find("\r\n 2") + 3] = '5';
             return s;
         }()},
        {"asterisks for a value", [] {
             std::string s = kRecords;
             s.replace(s.find("\r\n 2") + 4, 40, std::string(40, '*'));
             return s;
         }()},
        {"no blanks before the label", [] {
             std::string s = kRecords;
             s.replace(s.find("\r\n 1") + 44, 2, "xx");
             return s;
         }()},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(parse_extrapolation_records(bytes));
    }
}

TEST(Listing, CompleteOnlyWithTheProcessingTimeLast) {
    const std::string time = "         0.004 = tempo de processamento (segundos)\r\n";
    EXPECT_TRUE(listing_complete(time));
    EXPECT_TRUE(listing_complete("...\r\n" + time));
    EXPECT_TRUE(listing_complete("**************" + time.substr(14)));
    EXPECT_FALSE(listing_complete(""));
    EXPECT_FALSE(listing_complete(time.substr(0, time.size() - 2)));
    EXPECT_FALSE(listing_complete(time + "\r\n"));
    EXPECT_FALSE(listing_complete("        0.004 = tempo de processamento (segundos)\r\n"));
}

// The processing time, read back from the last record (the CSV's tcpu).
TEST(Listing, ProcessingTimeReadBack) {
    const std::string time = "         0.004 = tempo de processamento (segundos)\r\n";
    const std::pair<std::string, std::optional<double>> cases[] = {
        {time, 0.004},
        {"...\r\n" + time, 0.004},
        {"   1234567.125" + time.substr(14), 1234567.125},
        {"**************" + time.substr(14), std::nullopt},
        {time.substr(0, time.size() - 2), std::nullopt},
        {"        0.004 = tempo de processamento (segundos)\r\n", std::nullopt},
    };
    for (const auto& [tail, seconds] : cases) {
        SCOPED_TRACE(tail);
        EXPECT_EQ(listing_time(tail), seconds);
    }
}

// A mesh folder as a run leaves it, the files given.
struct Folder {
    TempDir dir;
    fs::path path = dir.folder(mesh_folder_name(10));

    void input(std::int32_t fonte, std::int32_t N) {
        write_bytes(path / kInputFile, run_input_text(fonte, N, default_title(fonte, N)));
    }
    void listing(const std::string& bytes) { write_bytes(path / "saida.txt", bytes); }
    void data(const std::string& bytes) { write_bytes(path / "saida.txt.Vantreuse", bytes); }
    void log(const std::string& bytes) { write_bytes(path / kRunLog, bytes); }
    void complete() {
        input(0, 10);
        listing("header\r\n         0.001 = tempo de processamento (segundos)\r\n");
        data(kRecords);
    }
};

TEST(ReadRun, CompleteRun) {
    Folder folder;
    folder.complete();
    const RunReading reading = read_run(folder.path, 0, 10, study_input_text(0, 10, std::nullopt));
    ASSERT_TRUE(reading.values) << reading.problem;
    EXPECT_EQ(reading.values->N, 10);
    EXPECT_EQ(reading.values->h, 0.1);
    EXPECT_EQ(reading.values->values[0], 3.77642667236333051672403371412656E-01);
    EXPECT_EQ(reading.values->values[1], 4.18924073405453345486648686346598E-01);
    EXPECT_EQ(reading.values->values[2], 1.57660046855535362908540264470503E+00);
    EXPECT_EQ(reading.values->tcpu, 0.001);
}

TEST(ReadRun, EveryIncompleteStateNamed) {
    struct Case {
        const char* name;
        std::function<void(Folder&)> spoil;
        const char* problem;
        const char* problem_portuguese;  // for estudo.txt
    };
    const Case cases[] = {
        {"no input", [](Folder& f) { fs::remove(f.path / kInputFile); }, "no Kestrelfold.in", "sem Kestrelfold.in"},
        {"input for another fonte", [](Folder& f) { f.input(2, 10); }, "Kestrelfold.in is for fonte 2, N = 10",
         "Kestrelfold.in é da fonte 2, N = 10"},
        {"input for another N", [](Folder& f) { f.input(0, 20); }, "Kestrelfold.in is for fonte 0, N = 20",
         "Kestrelfold.in é da fonte 0, N = 20"},
        {"input cut short", [](Folder& f) { write_bytes(f.path / kInputFile, "saida.txt\n0\n"); },
         "Kestrelfold.in unreadable: end-of-file during read",
         "Kestrelfold.in ilegível (a leitura diz: end-of-file during read"},
        {"no listing", [](Folder& f) { fs::remove(f.path / "saida.txt"); }, "no listing saida.txt",
         "sem a listagem saida.txt"},
        {"listing cut short", [](Folder& f) { f.listing("header\r\n"); }, "the listing saida.txt is incomplete",
         "a listagem saida.txt está incompleta"},
        {"no data file", [](Folder& f) { fs::remove(f.path / "saida.txt.Vantreuse"); }, "no saida.txt.Vantreuse",
         "sem saida.txt.Vantreuse"},
        {"data file cut short", [](Folder& f) { f.data(kRecords.substr(0, 70)); },
         "saida.txt.Vantreuse is incomplete or unreadable", "saida.txt.Vantreuse está incompleto ou ilegível"},
        {"four whole records after other bytes", [](Folder& f) { f.data(std::string(5000, 'x') + kRecords); },
         "saida.txt.Vantreuse is incomplete or unreadable", "saida.txt.Vantreuse está incompleto ou ilegível"},
        {"a folder where the data file should be",
         [](Folder& f) {
             fs::remove(f.path / "saida.txt.Vantreuse");
             fs::create_directory(f.path / "saida.txt.Vantreuse");
         },
         "saida.txt.Vantreuse is incomplete or unreadable", "saida.txt.Vantreuse está incompleto ou ilegível"},
        {"the run's message joins the problem",
         [](Folder& f) {
             fs::remove(f.path / "saida.txt");
             f.log("kestrelfold: insufficient virtual memory\n");
         },
         "no listing saida.txt (the run said: kestrelfold: insufficient virtual memory)",
         "sem a listagem saida.txt (a execução disse: kestrelfold: insufficient virtual memory)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Folder folder;
        folder.complete();
        c.spoil(folder);
        const RunReading reading = read_run(folder.path, 0, 10, study_input_text(0, 10, std::nullopt));
        EXPECT_FALSE(reading.values);
        EXPECT_NE(reading.problem.find(c.problem), std::string::npos) << reading.problem;
        EXPECT_NE(reading.problem_portuguese.find(c.problem_portuguese), std::string::npos)
            << reading.problem_portuguese;
    }
}

// The input file a study writes reads, as the program reads it, as the
// listing name, fonte and N the study takes it for without reading it.
TEST(ReadRun, PlannedInputReadsAsThePlanSays) {
    const std::optional<std::string> titles[] = {std::nullopt, "Malha média", "it's \"quoted\", / and ,",
                                                 std::string(90, 'x')};
    for (std::int32_t fonte = 0; fonte <= 4; ++fonte) {
        for (std::int32_t N : {2, 10, 2147483647}) {
            for (const auto& title : titles) {
                SCOPED_TRACE(std::to_string(fonte) + ", " + std::to_string(N) + ", " + title.value_or("default"));
                Folder folder;
                folder.complete();
                write_bytes(folder.path / kInputFile, study_input_text(fonte, N, title));
                // An empty plan: the program's own read decides.
                const RunReading reading = read_run(folder.path, fonte, N, "");
                EXPECT_EQ(reading.problem.find("Kestrelfold.in"), std::string::npos) << reading.problem;
            }
        }
    }
}

// A study run again with another title: its runs still count.
TEST(ReadRun, AnotherTitleIsTheSameRun) {
    Folder folder;
    folder.complete();
    const RunReading reading = read_run(folder.path, 0, 10, study_input_text(0, 10, "outro título"));
    EXPECT_TRUE(reading.values) << reading.problem;
}

// The data file must belong to the mesh of the input file.
TEST(ReadRun, AnHOtherThanOneOverN) {
    Folder folder;
    folder.complete();
    std::string records = kRecords;
    records.replace(2, 40, "  2.00000000000000011102230246251565E-01");
    ASSERT_TRUE(parse_extrapolation_records(records));
    folder.data(records);
    const RunReading reading = read_run(folder.path, 0, 10, study_input_text(0, 10, std::nullopt));
    EXPECT_FALSE(reading.values);
    EXPECT_NE(reading.problem.find("holds an h other than 1/10"), std::string::npos) << reading.problem;
}

// kestrelfold-quad's data file: h is binary128's 1/N to within its 33
// digits, and the values are read to all of them.
TEST(ReadRun, QuadRunToAllItsDigits) {
    Folder folder;
    folder.complete();
    std::string records = kRecords;
    records.replace(2, 40, "  1.00000000000000000000000000000000E-01");
    records.replace(records.find(" 1  ") + 2, 40, "  3.77642667236333134216876624637837E-01");
    folder.data(records);
    const std::string input = study_input_text(0, 10, std::nullopt);
    const RunReading quad = read_run(folder.path, 0, 10, input, Precision::quad);
    ASSERT_TRUE(quad.values) << quad.problem;
    ASSERT_TRUE(quad.quad_values);
    EXPECT_TRUE((*quad.quad_values)[0] == quad_from_decimal("3.77642667236333134216876624637837E-01"));
    EXPECT_EQ(quad.values->values[0], 0.37764266723633313) << "the double nearest";
    EXPECT_FALSE(read_run(folder.path, 0, 10, input).quad_values) << "a double run's values are doubles";

    // One unit of the 33rd digit off 1/10 is another h.
    records.replace(2, 40, "  1.00000000000000000000000000000001E-01");
    folder.data(records);
    const RunReading other = read_run(folder.path, 0, 10, input, Precision::quad);
    EXPECT_FALSE(other.values);
    EXPECT_NE(other.problem.find("holds an h other than 1/10"), std::string::npos) << other.problem;
}

// The listing is named by the input file, as the program names it.
TEST(ReadRun, FilesNamedByTheInput) {
    Folder folder;
    folder.complete();
    std::string input = read_bytes(folder.path / kInputFile);
    input.replace(0, 9, "'outra listagem.txt'");
    write_bytes(folder.path / kInputFile, input);
    fs::rename(folder.path / "saida.txt", folder.path / "outra listagem.txt");
    fs::rename(folder.path / "saida.txt.Vantreuse", folder.path / "outra listagem.txt.Vantreuse");
    const RunReading reading = read_run(folder.path, 0, 10, study_input_text(0, 10, std::nullopt));
    EXPECT_TRUE(reading.values) << reading.problem;
}

}  // namespace
}  // namespace kestrelfold::study
