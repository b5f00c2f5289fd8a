#include "study/csv_report.h"

#include "study/number_text.h"

namespace kestrelfold::study {
namespace {

constexpr int kRoundTripDigits = 17;
constexpr int kQuadRoundTripDigits = 36;

std::string cell(std::optional<double> value) {
    if (!value) return "";
    return scientific(*value, kRoundTripDigits).value_or("");
}

std::string row_text(Quantity q, const MeshRow& row) {
    const std::string cells[] = {
        std::string(csv_name(q)), std::to_string(row.N), cell(row.h), cell(row.value), cell(row.exact),
        cell(row.error), cell(row.p_E), cell(row.p_U), cell(row.R), cell(row.extrapolated), cell(row.U),
        cell(row.effectivity), cell(row.gci ? std::optional(row.gci->value) : std::nullopt),
        row.roundoff ? "1" : "0",
        row.convergence ? std::string(csv_name(*row.convergence)) : "",
        cell(row.gci ? std::optional(row.gci->Fs) : std::nullopt),
        cell(row.gci ? std::optional(row.gci->p) : std::nullopt),
        row.sign_change ? "1" : "0",
        row.reference ? scientific(*row.reference, kQuadRoundTripDigits).value_or("") : "",
        cell(row.split ? std::optional(row.split->discretisation) : std::nullopt),
        cell(row.split ? std::optional(row.split->roundoff) : std::nullopt)};
    std::string text;
    for (const std::string& c : cells) {
        if (&c != cells) text += ',';
        text += c;
    }
    return text + "\n";
}

}  // namespace

std::string_view csv_name(Convergence type) {
    switch (type) {
    case Convergence::monotone: return "monotone";
    case Convergence::oscillatory: return "oscillatory";
    case Convergence::divergent: return "divergent";
    case Convergence::no_change: return "no change";
    }
    return "";
}

std::string study_csv(const StudyTable& table) {
    std::string text =
        "qoi,N,h,value,exact,error,p_E,p_U,R,extrapolated,U,effectivity,GCI,roundoff,convergence,GCI_Fs,GCI_p,"
        "sign_change,reference,discretisation_error,roundoff_error\n";
    for (const QuantityStudy& study : table.quantities) {
        for (const MeshRow& row : study.rows) text += row_text(study.quantity, row);
    }
    return text;
}

}  // namespace kestrelfold::study
