#pragma once
// The input file of one run of a study: its listing name, the fonte, the
// mesh, no plots and no tables (graf = coef = sol = 0), and the title.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrelfold::study {

// The source term as a formula, for titles and reports: "exp(x)/(e-1)",
// "0", "2", "6x", "12x²" (UTF-8).
std::string_view source_term(std::int32_t fonte);

// The title a run gets when the study is given none (UTF-8):
// "S(x) = exp(x)/(e-1), N = 160".
std::string default_title(std::int32_t fonte, std::int32_t N);

// The eight values, one a line, each with a comment; the title (UTF-8, of
// Latin-1 characters only) goes in apostrophes as ISO 8859-1 bytes.
std::string run_input_text(std::int32_t fonte, std::int32_t N, std::string_view title);

// The input file a study writes for the mesh N: with the study's title, or
// the default one.
std::string study_input_text(std::int32_t fonte, std::int32_t N, const std::optional<std::string>& title);

}  // namespace kestrelfold::study
