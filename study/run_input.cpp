#include "study/run_input.h"

#include "output/latin1.h"
#include "study/study_layout.h"

namespace kestrelfold::study {
namespace {

// A text the free-form read takes whole: in apostrophes, each one inside doubled.
std::string delimited(std::string_view text) {
    std::string out = "'";
    for (char c : text) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out + "'";
}

}  // namespace

std::string_view source_term(std::int32_t fonte) {
    switch (fonte) {
    case 0: return "exp(x)/(e-1)";
    case 1: return "0";
    case 2: return "2";
    case 3: return "6x";
    case 4: return "12x²";
    }
    return "?";
}

std::string default_title(std::int32_t fonte, std::int32_t N) {
    return "S(x) = " + std::string(source_term(fonte)) + ", N = " + std::to_string(N);
}

std::string run_input_text(std::int32_t fonte, std::int32_t N, std::string_view title) {
    return std::string(kRunListing) + "   caso: nome da listagem\n" +
           std::to_string(fonte) + "   fonte: termo fonte\n" +
           std::to_string(N) + "   N: elementos da malha\n"
           "0   graf: sem graficos\n"
           "0   coef: sem coeficientes\n"
           "0   sol: sem solucoes\n"
           "1   freq\n" +
           delimited(utf8_to_latin1(title)) + "   titulo\n";
}

std::string study_input_text(std::int32_t fonte, std::int32_t N, const std::optional<std::string>& title) {
    return run_input_text(fonte, N, title ? *title : default_title(fonte, N));
}

}  // namespace kestrelfold::study
