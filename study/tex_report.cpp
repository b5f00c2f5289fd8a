#include "study/tex_report.h"

#include <cmath>

#include "study/number_text.h"
#include "study/run_input.h"

namespace kestrelfold::study {
namespace {

// The quantity as the caption names it.
std::string_view tex_label(Quantity q) {
    switch (q) {
    case Quantity::T_meio: return "$T(1/2)$";
    case Quantity::T_media: return "m\\'edia de $T$";
    case Quantity::inclinacao: return "inclina\\c{c}\\~ao em $x = 1$";
    }
    return "";
}

// The source term's formula in math mode: exp as an operator, ² as ^2.
std::string tex_formula(std::string_view formula) {
    std::string text;
    for (std::size_t i = 0; i < formula.size(); ++i) {
        if (formula.substr(i).starts_with("exp")) {
            text += "\\exp";
            i += 2;
        } else if (formula.substr(i).starts_with("²")) {
            text += "^2";
            i += std::string_view("²").size() - 1;
        } else {
            text += formula[i];
        }
    }
    return text;
}

// "$-1.02\times10^{-4}$"; empty for no value.
std::string tex_number(std::optional<double> value, int digits) {
    if (!value) return "";
    const std::optional<std::string> text = scientific(*value, digits);
    if (!text) return "";
    const std::size_t e = text->find('e');
    const int exponent = std::stoi(text->substr(e + 1));
    return "$" + text->substr(0, e) + "\\times10^{" + std::to_string(exponent) + "}$";
}

std::string tex_order(std::optional<double> value, bool sign_change) {
    if (!value) return "";
    const std::string order = fixed(*value, 2).value_or("");
    return "$" + std::string(sign_change ? "\\pm" : "") + order + "$";
}

std::string row_text(const MeshRow& row) {
    const std::string cells[] = {std::to_string(row.N) + (row.roundoff ? "$^{*}$" : ""),
                                 tex_number(row.h, 3),
                                 tex_number(row.value, 11),
                                 tex_number(row.error, 3),
                                 tex_order(row.p_E, row.sign_change),
                                 tex_order(row.p_U, false),
                                 row.gci ? tex_number(row.gci->value, 3) : ""};
    std::string text = "    ";
    for (const std::string& cell : cells) text += (&cell == cells ? "" : " & ") + cell;
    return text + " \\\\\n";
}

std::string table_text(const QuantityStudy& study, std::int32_t fonte) {
    std::string text = "\\begin{table}[htbp]\n"
                       "  \\centering\n"
                       "  \\footnotesize\\setlength{\\tabcolsep}{3pt}\n"
                       "  \\caption{Estudo de malhas: " + std::string(tex_label(study.quantity)) + ", fonte " +
                       std::to_string(fonte) + ", $S(x) = " + tex_formula(source_term(fonte)) + "$.}\n"
                       "  \\label{tab:estudo-" + std::string(csv_name(study.quantity)) + "}\n"
                       "  \\begin{tabular}{rrrrrrr}\n"
                       "    \\toprule\n"
                       "    $N$ & $h$ & num\\'erico & erro & $p_E$ & $p_U$ & GCI \\\\\n"
                       "    \\midrule\n";
    for (const MeshRow& row : study.rows) text += row_text(row);
    return text + "    \\bottomrule\n"
                  "  \\end{tabular}\n"
                  "  \\par\\smallskip\\footnotesize erro = anal\\'itico $-$ num\\'erico; $^{*}$ malha marcada por "
                  "arredondamento; $\\pm$ o erro trocou de sinal.\n"
                  "\\end{table}\n";
}

}  // namespace

std::string study_tex(const StudyTable& table) {
    std::string text = "% Tabelas de um estudo de malhas de Kestrelfold, fonte " + std::to_string(table.fonte) +
                       ": \\input{estudo.tex} num documento\n% com \\usepackage{booktabs}.\n";
    for (const QuantityStudy& study : table.quantities) text += "\n" + table_text(study, table.fonte);
    return text;
}

}  // namespace kestrelfold::study
