#include "study/split_report.h"

#include <cmath>

#include "study/number_text.h"
#include "study/text_table.h"

namespace kestrelfold::study {
namespace {

constexpr std::size_t kSplitIndent = 2;

std::string split_number(std::optional<double> value, int digits) {
    return value ? scientific(*value, digits).value_or("") : "";
}

std::string split_mesh(const QuantityStudy& study, std::size_t row) { return "N = " + std::to_string(study.rows[row].N); }

std::string components_table(const QuantityStudy& study) {
    TextTable table({"N", "erro", "discretização", "arredondamento", "referência (quad)"});
    for (const MeshRow& row : study.rows) {
        table.add_row({std::to_string(row.N) + (row.roundoff ? "*" : " "), split_number(row.error, 5),
                       row.split ? split_number(row.split->discretisation, 5) : "",
                       row.split ? split_number(row.split->roundoff, 5) : "",
                       row.reference ? scientific(*row.reference, 20).value_or("") : "sem execução quad"});
    }
    return table.text(kSplitIndent);
}

// "|E| = 1.23e-02 h^2.00, 12 malhas, dispersão 0.01 década"
std::string law_text(const std::optional<PowerLaw>& law, std::string_view variable, std::string_view over) {
    if (!law) return "malhas de menos para uma lei";
    return split_number(law->coefficient, 3) + " " + std::string(variable) + "^" + fixed(law->exponent, 2).value_or("?") +
           " (" + std::to_string(law->points) + (law->points == 1 ? " malha" : " malhas") + std::string(over) +
           ", dispersão " + fixed(law->scatter, 2).value_or("?") + " década)";
}

std::string optimal_text(const QuantityStudy& study, const SplitAnalysis& split) {
    const MeshRow& best = study.rows[study.optimal];
    std::string text = "  malha de menor |erro| medida: " + split_mesh(study, study.optimal) + ", |erro| = " +
                       split_number(std::fabs(best.error), 3);
    if (split.optimal_is_cancellation) {
        text += ": um cancelamento (discretização " + split_number(best.split->discretisation, 3) + " e arredondamento " +
                split_number(best.split->roundoff, 3) + " de sinais opostos), não um ótimo";
    }
    return text + "\n";
}

std::string marks_text(const QuantityStudy& study, const SplitAnalysis& split) {
    std::string text = "  arredondamento marcado pelos resultados em double (*): ";
    text += study.verdict.first_roundoff ? "a partir de " + split_mesh(study, *study.verdict.first_roundoff)
                                         : std::string("nenhuma malha");
    text += "; medido (|arredondamento| > " + fixed(kRoundoffShare * 100, 0).value_or("10") +
            " % da discretização): ";
    text += split.first_significant ? "a partir de " + split_mesh(study, *split.first_significant)
                                    : std::string("em nenhuma malha");
    return text + "\n";
}

}  // namespace

std::string split_text(const QuantityStudy& study) {
    if (!study.split) return {};
    const SplitAnalysis& split = *study.split;
    std::string text = "  Erro separado pela execução em precisão quádrupla (kestrelfold-quad): discretização =\n"
                       "  analítico - referência, arredondamento = referência - numérico.\n" +
                       components_table(study);
    text += "  |discretização| = " + law_text(split.discretisation, "h", "") + "\n";
    text += "  |arredondamento| = " +
            law_text(split.roundoff, "N", " com |arredondamento| > " + split_number(kRoundoffFloor, 1)) + "\n";
    if (split.crossing) {
        text += "  as leis se cruzam em N* = " + fixed(*split.crossing, 0).value_or("?") + ", onde cada uma vale " +
                split_number(split.crossing_error, 2) + "\n";
    } else {
        text += "  as leis não se cruzam nas malhas do estudo\n";
    }
    return text + optimal_text(study, split) + marks_text(study, split);
}

}  // namespace kestrelfold::study
