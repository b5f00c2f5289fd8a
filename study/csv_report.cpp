#include "study/csv_report.h"

#include <functional>

#include "study/number_text.h"

namespace kestrelfold::study {
namespace {

constexpr int kRoundTripDigits = 17;
constexpr int kQuadRoundTripDigits = 36;

std::string cell(std::optional<double> value) {
    if (!value) return "";
    return scientific(*value, kRoundTripDigits).value_or("");
}

std::string flag(bool value) { return value ? "1" : "0"; }

std::optional<double> gci_part(const MeshRow& row, double Gci::*part) {
    return row.gci ? std::optional(row.gci.value().*part) : std::nullopt;
}

// A column of the CSV: its name in the header and its cell on a row. A new
// column is one more line of the table below.
struct Column {
    std::string_view name;
    std::function<std::string(Quantity, const MeshRow&)> cell;
};

const std::vector<Column>& columns() {
    static const std::vector<Column> table = {
        {"qoi", [](Quantity q, const MeshRow&) { return std::string(csv_name(q)); }},
        {"N", [](Quantity, const MeshRow& r) { return std::to_string(r.N); }},
        {"h", [](Quantity, const MeshRow& r) { return cell(r.h); }},
        {"value", [](Quantity, const MeshRow& r) { return cell(r.value); }},
        {"exact", [](Quantity, const MeshRow& r) { return cell(r.exact); }},
        {"error", [](Quantity, const MeshRow& r) { return cell(r.error); }},
        {"p_E", [](Quantity, const MeshRow& r) { return cell(r.p_E); }},
        {"p_U", [](Quantity, const MeshRow& r) { return cell(r.p_U); }},
        {"R", [](Quantity, const MeshRow& r) { return cell(r.R); }},
        {"extrapolated", [](Quantity, const MeshRow& r) { return cell(r.extrapolated); }},
        {"U", [](Quantity, const MeshRow& r) { return cell(r.U); }},
        {"effectivity", [](Quantity, const MeshRow& r) { return cell(r.effectivity); }},
        {"GCI", [](Quantity, const MeshRow& r) { return cell(gci_part(r, &Gci::value)); }},
        {"roundoff", [](Quantity, const MeshRow& r) { return flag(r.roundoff); }},
        {"convergence",
         [](Quantity, const MeshRow& r) { return r.convergence ? std::string(csv_name(*r.convergence)) : ""; }},
        {"GCI_Fs", [](Quantity, const MeshRow& r) { return cell(gci_part(r, &Gci::Fs)); }},
        {"GCI_p", [](Quantity, const MeshRow& r) { return cell(gci_part(r, &Gci::p)); }},
        {"sign_change", [](Quantity, const MeshRow& r) { return flag(r.sign_change); }},
        {"tcpu", [](Quantity, const MeshRow& r) { return cell(r.tcpu); }},
        {"GCI_percent", [](Quantity, const MeshRow& r) { return cell(r.gci_percent); }},
        {"reference",
         [](Quantity, const MeshRow& r) {
             return r.reference ? scientific(*r.reference, kQuadRoundTripDigits).value_or("") : "";
         }},
        {"discretisation_error",
         [](Quantity, const MeshRow& r) { return cell(r.split ? std::optional(r.split->discretisation) : std::nullopt); }},
        {"roundoff_error",
         [](Quantity, const MeshRow& r) { return cell(r.split ? std::optional(r.split->roundoff) : std::nullopt); }},
    };
    return table;
}

// One line of the CSV: what `part` gives for each column, comma-separated.
std::string line(const std::function<std::string(const Column&)>& part) {
    std::string text;
    for (const Column& column : columns()) {
        if (&column != &columns().front()) text += ',';
        text += part(column);
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
    std::string text = line([](const Column& column) { return std::string(column.name); });
    for (const QuantityStudy& study : table.quantities) {
        for (const MeshRow& row : study.rows) {
            text += line([&](const Column& column) { return column.cell(study.quantity, row); });
        }
    }
    return text;
}

}  // namespace kestrelfold::study
