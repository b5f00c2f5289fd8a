#include "study/text_report.h"

#include <cmath>

#include "study/number_text.h"
#include "study/run_input.h"
#include "study/split_report.h"
#include "study/text_table.h"

namespace kestrelfold::study {
namespace {

constexpr std::size_t kIndent = 2;

std::string sci(std::optional<double> value, int digits) {
    return value ? scientific(*value, digits).value_or("") : "";
}

std::string order(std::optional<double> value) { return value ? fixed(*value, 2).value_or("") : ""; }

std::string_view type_label(Convergence type) {
    switch (type) {
    case Convergence::monotone: return "monótona";
    case Convergence::oscillatory: return "oscilatória";
    case Convergence::divergent: return "divergente";
    case Convergence::no_change: return "sem mudança";
    }
    return "";
}

std::string legend() {
    return "erro = analítico - numérico.  p_E: ordem observada dos erros verdadeiros, contra a malha anterior\n"
           "(± o erro trocou de sinal).  p_U: ordem aparente das três últimas malhas, sem a solução exata.\n"
           "R = (φ1 - φ2)/(φ2 - φ3) e o tipo de convergência que ele dá.  extrapolado e U: Richardson com a\n"
           "ordem formal 2, U = (φ1 - φ2)/(r² - 1); U/E: efetividade (1: U conhece o erro).  GCI: absoluto,\n"
           "Fs = 1.25 com p_U entre 0.5 e 2.5, senão Fs = 3 com p = 2 (origem de p: p_U ou formal).  *: malha\n"
           "marcada por arredondamento (o erro parou de cair), fora das estimativas da faixa assintótica.\n";
}

std::string values_table(const QuantityStudy& study) {
    TextTable table({"N", "h", "numérico", "analítico", "erro", "p_E", "p_U", "R", "convergência"});
    for (const MeshRow& row : study.rows) {
        const std::string p_E = order(row.p_E);
        table.add_row({std::to_string(row.N) + (row.roundoff ? "*" : " "), sci(row.h, 5), sci(row.value, 13),
                       sci(row.exact, 13), sci(row.error, 5), p_E.empty() || !row.sign_change ? p_E : "± " + p_E,
                       order(row.p_U), row.R ? fixed(*row.R, 4).value_or("") : "",
                       row.convergence ? std::string(type_label(*row.convergence)) : ""});
    }
    table.align_left(8);
    return table.text(kIndent);
}

std::string estimates_table(const QuantityStudy& study) {
    TextTable table({"N", "extrapolado", "U", "U/E", "GCI", "Fs", "p do GCI", "origem de p"});
    for (const MeshRow& row : study.rows) {
        table.add_row({std::to_string(row.N) + (row.roundoff ? "*" : " "), sci(row.extrapolated, 13), sci(row.U, 5),
                       row.effectivity ? fixed(*row.effectivity, 3).value_or("") : "",
                       row.gci ? sci(row.gci->value, 5) : "", row.gci ? fixed(row.gci->Fs, 2).value_or("") : "",
                       row.gci ? order(row.gci->p) : "",
                       row.gci ? (row.gci->observed_order ? "p_U" : "formal") : ""});
    }
    table.align_left(7);
    return table.text(kIndent);
}

std::string tableau_text(const QuantityStudy& study) {
    std::vector<std::string> heads = {"N"};
    for (std::size_t m = 0; m < study.tableau.size(); ++m) {
        heads.push_back("erro nível " + std::to_string(m));
        heads.push_back("p_E");
    }
    TextTable table(heads);
    for (std::size_t k = 0; k < study.rows.size(); ++k) {
        std::vector<std::string> cells = {std::to_string(study.rows[k].N) + (study.rows[k].roundoff ? "*" : " ")};
        for (const TableauLevel& level : study.tableau) {
            cells.push_back(sci(level.error[k], 4));
            cells.push_back(order(level.p_E[k]));
        }
        table.add_row(cells);
    }
    std::string observed;
    for (std::size_t m = 0; m < study.tableau.size(); ++m) {
        const TableauLevel& level = study.tableau[m];
        observed += (m ? "; " : "") + std::string("nível ") + std::to_string(m) + ": " +
                    (level.observed_order ? order(level.observed_order) : std::string("-")) + " (esperada " +
                    std::to_string(level.order) + ")";
    }
    std::string expected;
    for (int m = 1; m <= 3; ++m) expected += std::to_string(expansion_order(study.quantity, m)) + ", ";
    return "  Extrapolação repetida de Richardson (ordens " + expected +
           "...): erro verdadeiro de cada nível; cada nível termina onde o arredondamento o piora.\n" +
           table.text(kIndent) + "  ordem observada (mediana de p_E) de cada nível: " + observed + "\n";
}

std::string mesh_text(const MeshRow& row) { return "N = " + std::to_string(row.N); }

// The mesh of the smallest error, and whether it is the optimal one: an
// error that passed zero on its mesh is small by cancellation.
std::string optimal_text(const QuantityStudy& study) {
    const MeshRow& smallest = study.rows[study.optimal];
    if (!study.smallest_is_cancellation) {
        return "  malha ótima (menor erro verdadeiro): " + mesh_text(smallest) + ", |erro| = " +
               sci(std::fabs(smallest.error), 3) + "\n";
    }
    const MeshRow& best = study.rows[study.optimal_without_cancellation];
    return "  menor erro verdadeiro: " + mesh_text(smallest) + ", |erro| = " + sci(std::fabs(smallest.error), 3) +
           ", por cancelamento: o erro trocou de sinal nesta malha, não é a malha ótima\n"
           "  malha ótima (menor erro verdadeiro sem troca de sinal): " +
           mesh_text(best) + ", |erro| = " + sci(std::fabs(best.error), 3) + "\n";
}

// Whether the order found puts the meshes judged in the asymptotic range.
// Where the error passed zero (on a mesh after them, or on the mesh of the
// smallest error) the range is said to end with the meshes judged.
std::string range_text(const QuantityStudy& study) {
    const Verdict& verdict = study.verdict;
    if (!verdict.asymptotic) return "fora da faixa assintótica";
    const bool bounded = verdict.first_sign_change || study.smallest_is_cancellation;
    if (!bounded || !verdict.last_judged) return "na faixa assintótica";
    return "faixa assintótica até " + mesh_text(study.rows[*verdict.last_judged]);
}

std::string verdict_text(const QuantityStudy& study) {
    std::string text = optimal_text(study);
    if (study.exact) {
        return text + "  veredito: exata para esta fonte: o erro está no nível de arredondamento (eps·N²) em todas as\n"
                      "  malhas; nenhuma ordem ou estimativa se aplica.\n";
    }
    const Verdict& verdict = study.verdict;
    text += "  veredito: ";
    if (verdict.convergence) text += "convergência " + std::string(type_label(*verdict.convergence)) + "; ";
    if (!verdict.order) {
        text += "malhas de menos antes do arredondamento para uma ordem observada";
    } else {
        text += "ordem observada " + order(verdict.order) + " (mediana de p_E em " + std::to_string(verdict.orders) +
                (verdict.orders == 1 ? " malha" : " malhas") + "; ordem formal " + std::to_string(kFormalOrder) +
                "): " + range_text(study);
    }
    if (verdict.first_sign_change) {
        text += "; o erro troca de sinal em " + mesh_text(study.rows[*verdict.first_sign_change]) +
                " (cancelamento: nenhuma ordem dali em diante)";
    }
    if (verdict.first_roundoff) {
        text += "; arredondamento a partir de " + mesh_text(study.rows[*verdict.first_roundoff]);
    }
    return text + ".\n";
}

std::string quantity_text(const QuantityStudy& study) {
    return "\n=== " + std::string(label(study.quantity)) + " ===\n\n" + values_table(study) + "\n" +
           estimates_table(study) + "\n" + (study.exact ? std::string() : tableau_text(study) + "\n") +
           verdict_text(study) + (study.split ? "\n" + split_text(study) : std::string());
}

std::string meshes_text(const StudyTable& table) {
    const std::size_t count = table.quantities.empty() ? 0 : table.quantities.front().rows.size();
    std::string text = std::to_string(count) + (count == 1 ? " malha" : " malhas");
    if (count > 0) {
        const auto& rows = table.quantities.front().rows;
        text += ", N = " + std::to_string(rows.front().N) + (count > 1 ? " a " + std::to_string(rows.back().N) : "");
    }
    return text;
}

// The meshes of a list, each with its reason, under a heading; nothing for none.
std::string missing_text(const std::vector<MissingMesh>& meshes, std::string_view heading) {
    if (meshes.empty()) return {};
    std::string text = "\n" + std::string(heading) + "\n";
    for (const MissingMesh& mesh : meshes) {
        text += "  N = " + std::to_string(mesh.N) + ": " + mesh.problem_portuguese + "\n";
    }
    return text;
}

}  // namespace

std::string study_text(const StudyTable& table) {
    std::string text = "Estudo de malhas de Kestrelfold: fonte " + std::to_string(table.fonte) + ", S(x) = " +
                       std::string(source_term(table.fonte)) + "; " + meshes_text(table) + "\n\n" + legend();
    const bool any_mesh = !table.quantities.empty() && !table.quantities.front().rows.empty();
    if (any_mesh) {
        for (const QuantityStudy& study : table.quantities) text += quantity_text(study);
    } else {
        text += "\nNenhuma malha tem um resultado completo.\n";
    }
    return text + missing_text(table.missing, "Malhas sem resultado completo, fora do estudo:") +
           missing_text(table.missing_references,
                        "Malhas sem execução completa de kestrelfold-quad (erros sem separação):");
}

}  // namespace kestrelfold::study
