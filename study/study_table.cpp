#include "study/study_table.h"

#include <cmath>
#include <limits>
#include <utility>

#include "numerics/mesh.h"
#include "numerics/solucao_analitica.h"
#include "study/roundoff.h"

namespace kestrelfold::study {
namespace {

double ratio(const MeshRow& coarse, const MeshRow& fine) { return static_cast<double>(fine.N) / coarse.N; }

// Value, exact value, error and p_E of every mesh.
std::vector<MeshRow> base_rows(Quantity q, std::size_t index, std::int32_t fonte,
                               std::span<const MeshValues> meshes) {
    std::vector<MeshRow> rows;
    for (const MeshValues& mesh : meshes) {
        MeshRow row{};
        row.N = mesh.N;
        row.h = mesh.h;
        row.value = mesh.values[index];
        row.exact = exact_value(q, fonte, mesh.N);
        row.error = row.exact - row.value;
        if (mesh.quad_values) {
            const Quad exact = exact_quad_value(q, fonte, mesh.N);
            row.exact = static_cast<double>(exact);
            row.error = static_cast<double>(exact - (*mesh.quad_values)[index]);
        }
        if (mesh.reference) {
            row.reference = (*mesh.reference)[index];
            row.split = split_error(row.value, *row.reference, exact_quad_value(q, fonte, mesh.N));
        }
        row.tcpu = mesh.tcpu;
        if (!rows.empty()) {
            row.p_E = observed_order(rows.back().error, row.error, ratio(rows.back(), row));
            row.sign_change = (rows.back().error < 0 && row.error > 0) || (rows.back().error > 0 && row.error < 0);
        }
        rows.push_back(row);
    }
    return rows;
}

// The estimates that assume the asymptotic range, on meshes whose own and
// earlier meshes are unmarked.
void add_estimates(std::vector<MeshRow>& rows) {
    for (std::size_t k = 1; k < rows.size(); ++k) {
        MeshRow& fine = rows[k];
        const MeshRow& coarse = rows[k - 1];
        if (fine.roundoff || coarse.roundoff) continue;
        const double r21 = ratio(coarse, fine);
        if (k >= 2 && !rows[k - 2].roundoff) {
            const MeshRow& coarsest = rows[k - 2];
            fine.p_U = apparent_order(coarsest.value, coarse.value, fine.value, ratio(coarsest, coarse), r21);
            fine.R = convergence_ratio(coarsest.value, coarse.value, fine.value);
            fine.convergence = convergence_type(coarsest.value, coarse.value, fine.value);
        }
        const Richardson extrapolation = richardson(coarse.value, fine.value, r21, kFormalOrder);
        fine.extrapolated = finite(extrapolation.extrapolated);
        fine.U = finite(extrapolation.U);
        if (fine.U) fine.effectivity = effectivity(*fine.U, fine.error);
        const Gci index = gci(coarse.value, fine.value, r21, fine.p_U);
        if (!std::isfinite(index.value)) continue;
        fine.gci = index;
        if (std::fabs(fine.value) >= kSmallestRelativeBase) {
            fine.gci_percent = finite(100 * index.value / std::fabs(fine.value));
        }
    }
}

Verdict verdict_of(const std::vector<MeshRow>& rows) {
    Verdict verdict;
    std::vector<double> orders;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        if (rows[k].roundoff) {
            if (!verdict.first_roundoff) verdict.first_roundoff = k;
            continue;
        }
        if (rows[k].sign_change && !verdict.first_sign_change) verdict.first_sign_change = k;
        if (verdict.first_sign_change) continue;
        verdict.last_judged = k;
        if (rows[k].p_E) orders.push_back(*rows[k].p_E);
        if (rows[k].convergence) verdict.convergence = rows[k].convergence;
    }
    verdict.order = median(orders);
    verdict.orders = orders.size();
    verdict.asymptotic = verdict.order && std::fabs(*verdict.order - kFormalOrder) <= kAsymptoticTolerance;
    return verdict;
}

// The law of each component over the rows with a reference, where they
// cross, and what the split says of the smallest error.
std::optional<SplitAnalysis> split_analysis(const std::vector<MeshRow>& rows, std::size_t optimal) {
    std::vector<double> h, N_disc, disc, N_round, round;
    std::vector<ErrorSplit> splits;
    for (const MeshRow& row : rows) {
        if (!row.split) continue;
        splits.push_back(*row.split);
        h.push_back(row.h);
        disc.push_back(row.split->discretisation);
        if (std::fabs(row.split->roundoff) > kRoundoffFloor) {
            N_round.push_back(row.N);
            round.push_back(row.split->roundoff);
        }
    }
    if (splits.size() < 2) return std::nullopt;
    SplitAnalysis analysis;
    analysis.discretisation = fit_power_law(h, disc);
    analysis.roundoff = fit_power_law(N_round, round);
    if (analysis.discretisation && analysis.roundoff) {
        analysis.crossing = crossing_mesh(*analysis.discretisation, *analysis.roundoff);
        if (analysis.crossing) analysis.crossing_error = analysis.roundoff->at(*analysis.crossing);
    }
    analysis.optimal_is_cancellation = rows[optimal].split && is_cancellation(*rows[optimal].split);
    // The rows with a reference, counted among all rows.
    if (const std::optional<std::size_t> first = first_significant_roundoff(splits)) {
        std::size_t seen = 0;
        for (std::size_t k = 0; k < rows.size(); ++k) {
            if (rows[k].split && seen++ == *first) analysis.first_significant = k;
        }
    }
    return analysis;
}

template <typename T, typename F>
std::vector<T> column(const std::vector<MeshRow>& rows, F field) {
    std::vector<T> values;
    for (const MeshRow& row : rows) values.push_back(field(row));
    return values;
}

QuantityStudy study_of(Quantity q, std::size_t index, std::int32_t fonte, std::span<const MeshValues> meshes) {
    QuantityStudy study{q, base_rows(q, index, fonte, meshes), false, 0, false, 0, {}, {}, {}};
    std::vector<MeshRow>& rows = study.rows;
    const auto N = column<std::int32_t>(rows, [](const MeshRow& r) { return r.N; });
    const auto errors = column<double>(rows, [](const MeshRow& r) { return r.error; });
    const auto exact = column<double>(rows, [](const MeshRow& r) { return r.exact; });
    // The tableau in binary128: a quad run's values as written, a double
    // run's as they are.
    std::vector<Quad> values;
    std::vector<Quad> precise_exact;
    for (std::size_t k = 0; k < meshes.size(); ++k) {
        const MeshValues& mesh = meshes[k];
        values.push_back(mesh.quad_values ? (*mesh.quad_values)[index] : static_cast<Quad>(mesh.values[index]));
        precise_exact.push_back(mesh.quad_values ? exact_quad_value(q, fonte, mesh.N) : static_cast<Quad>(exact[k]));
    }
    const auto p_E = column<std::optional<double>>(rows, [](const MeshRow& r) { return r.p_E; });

    study.exact = exact_quantity(N, errors, exact);
    study.optimal = optimal_mesh(errors);
    study.smallest_is_cancellation = !rows.empty() && rows[study.optimal].sign_change;
    study.optimal_without_cancellation = study.optimal;
    if (study.smallest_is_cancellation) {
        // The first mesh has no sign change: some mesh always qualifies.
        std::vector<double> kept_sign = errors;
        for (std::size_t k = 0; k < rows.size(); ++k) {
            if (rows[k].sign_change) kept_sign[k] = std::numeric_limits<double>::infinity();
        }
        study.optimal_without_cancellation = optimal_mesh(kept_sign);
    }
    // An exact quantity's errors are round-off on every mesh: no order of
    // them means anything.
    std::vector<bool> marks = study.exact ? std::vector<bool>(rows.size(), true) : roundoff_marks(errors, p_E);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        rows[k].roundoff = marks[k];
        if (study.exact) rows[k].p_E.reset();
    }
    add_estimates(rows);
    study.verdict = verdict_of(rows);

    study.tableau =
        repeated_richardson(N, values, precise_exact, marks, [q](int m) { return expansion_order(q, m); });
    study.split = split_analysis(rows, study.optimal);
    return study;
}

}  // namespace

double exact_value(Quantity q, std::int32_t fonte, std::int32_t N) {
    switch (q) {
    case Quantity::T_meio: return Te_no(fonte, N, no_meio(N));
    case Quantity::T_media: return valores_exatos(fonte).T_media_a;
    case Quantity::inclinacao: return valores_exatos(fonte).inclinacao_a;
    }
    return 0;
}

Quad exact_quad_value(Quantity q, std::int32_t fonte, std::int32_t N) {
    switch (q) {
    case Quantity::T_meio: return Te_no<Quad>(fonte, N, no_meio(N));
    case Quantity::T_media: return valores_exatos<Quad>(fonte).T_media_a;
    case Quantity::inclinacao: return valores_exatos<Quad>(fonte).inclinacao_a;
    }
    return 0;
}

StudyTable compute_study(std::int32_t fonte, std::span<const MeshValues> meshes, std::vector<MissingMesh> missing) {
    StudyTable table{fonte, {}, std::move(missing), {}};
    for (std::size_t i = 0; i < kQuantities.size(); ++i) {
        table.quantities.push_back(study_of(kQuantities[i], i, fonte, meshes));
    }
    return table;
}

}  // namespace kestrelfold::study
