#pragma once
// What one run of a study left in its mesh folder, read back: the input file
// (through the program's own free-form read), the listing and the data file
// for the extrapolation program. A run counts only when it is complete for
// the study's fonte and N; otherwise the reading says why not, with the
// last line the run printed to its log when there is one.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "numerics/binary128.h"
#include "study/options.h"
#include "study/study_table.h"

namespace kestrelfold::study {

struct RunReading {
    std::optional<MeshValues> values;  // when the run is complete (rounded to double for a quad run)
    std::optional<std::array<Quad, 3>> quad_values;  // a complete kestrelfold-quad run's, as written
    std::string problem;               // otherwise, why not: for standard error
    std::string problem_portuguese;    // and for the text report
};

// `planned_input` is the input file the study wrote for the mesh: a file
// that holds exactly it is known without a read; any other is read as the
// program reads it (edited by hand, or written with another title).
// `precision` is the program's that ran there: its data file holds h and
// the values to 33 digits, which give a double back exactly and a binary128
// to within a unit of its 33rd digit.
RunReading read_run(const std::filesystem::path& folder, std::int32_t fonte, std::int32_t N,
                    std::string_view planned_input, Precision precision = Precision::double_precision);

// The four values of a data file (h, T(1/2), the mean, the slope) from its
// bytes: exactly four records, each ending in CR LF, numbered blank, 1, 2, 3
// in columns 1-2, the value in columns 3-42 (E40.32), two blanks and a
// label. Nothing when the bytes are anything else.
template <typename Real = double>
std::optional<std::array<Real, 4>> parse_extrapolation_records(std::string_view bytes);

// The number an E edit wrote into a field ("  1.25...E-01", or "-1.2-100"
// for a three-digit exponent), correctly rounded to the type (an E40.32
// field of kestrelfold-quad carries 33 significant digits of its binary128
// value); nothing for blanks, asterisks or other text.
template <typename Real = double>
std::optional<Real> parse_e_field(std::string_view field);

// Whether a listing's last record is the processing time, which the
// program writes last: a listing cut short by a failure or a kill is not.
bool listing_complete(std::string_view tail);

// The processing time a complete listing ends with, in seconds; nothing
// for a field of asterisks (or a listing that is not complete).
std::optional<double> listing_time(std::string_view tail);

}  // namespace kestrelfold::study
