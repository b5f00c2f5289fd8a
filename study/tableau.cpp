#include "study/tableau.h"

#include <cmath>
#include <utility>

#include "study/estimators.h"

namespace kestrelfold::study {
namespace {

using Matrix = std::vector<std::vector<Quad>>;

Quad magnitude(Quad value) { return value < 0 ? -value : value; }

std::vector<Quad> widened(std::span<const double> values) { return {values.begin(), values.end()}; }

// Solves A x = b by Gaussian elimination with partial pivoting and returns
// x[0]; nothing for a singular system.
std::optional<Quad> first_unknown(Matrix A, std::vector<Quad> b) {
    const std::size_t n = b.size();
    for (std::size_t col = 0; col < n; ++col) {
        std::size_t pivot = col;
        for (std::size_t row = col + 1; row < n; ++row) {
            if (magnitude(A[row][col]) > magnitude(A[pivot][col])) pivot = row;
        }
        if (A[pivot][col] == 0) return std::nullopt;
        std::swap(A[col], A[pivot]);
        std::swap(b[col], b[pivot]);
        for (std::size_t row = col + 1; row < n; ++row) {
            const Quad factor = A[row][col] / A[col][col];
            for (std::size_t j = col; j < n; ++j) A[row][j] -= factor * A[col][j];
            b[row] -= factor * b[col];
        }
    }
    std::vector<Quad> x(n);
    for (std::size_t row = n; row-- > 0;) {
        Quad sum = b[row];
        for (std::size_t j = row + 1; j < n; ++j) sum -= A[row][j] * x[j];
        x[row] = sum / A[row][row];
    }
    if (!quad_is_finite(x[0])) return std::nullopt;
    return x[0];
}

bool marked_between(const std::vector<bool>& marked, std::size_t first, std::size_t last) {
    for (std::size_t j = first; j <= last; ++j) {
        if (marked[j]) return true;
    }
    return false;
}

TableauLevel base_level(std::span<const std::int32_t> N, std::span<const Quad> values,
                        std::span<const Quad> exact, const std::vector<bool>& marked, int order) {
    const std::size_t K = values.size();
    TableauLevel level{order, std::vector<std::optional<double>>(K), std::vector<std::optional<double>>(K),
                       std::vector<std::optional<double>>(K), std::nullopt};
    for (std::size_t k = 0; k < K; ++k) {
        if (marked[k]) continue;
        level.value[k] = static_cast<double>(values[k]);
        level.error[k] = static_cast<double>(exact[k] - values[k]);
        if (k > 0 && level.error[k - 1]) {
            level.p_E[k] = observed_order(*level.error[k - 1], *level.error[k],
                                          static_cast<double>(N[k]) / N[k - 1]);
        }
    }
    return level;
}

TableauLevel next_level(std::span<const std::int32_t> N, std::span<const Quad> values,
                        std::span<const Quad> exact, const std::vector<bool>& marked, const TableauLevel& below,
                        std::span<const int> orders, int order) {
    const std::size_t K = values.size();
    const std::size_t m = orders.size();
    TableauLevel level{order, std::vector<std::optional<double>>(K), std::vector<std::optional<double>>(K),
                       std::vector<std::optional<double>>(K), std::nullopt};
    for (std::size_t k = m; k < K; ++k) {
        if (marked_between(marked, k - m, k) || !below.value[k] || !below.value[k - 1]) break;
        const std::size_t first = k - m;
        const std::optional<Quad> limit =
            extrapolated_limit(N.subspan(first, m + 1), values.subspan(first, m + 1), orders);
        if (!limit) break;
        const double error = static_cast<double>(exact[k] - *limit);
        const bool worse_than_below = std::fabs(error) > std::fabs(*below.error[k]);
        std::optional<double> p_E;
        if (level.error[k - 1]) p_E = observed_order(*level.error[k - 1], error, static_cast<double>(N[k]) / N[k - 1]);
        const bool grew = level.error[k - 1] && std::fabs(error) > std::fabs(*level.error[k - 1]);
        const bool stalled = p_E && *p_E < level.order / 2.0;
        if (worse_than_below || grew || stalled) break;
        level.value[k] = static_cast<double>(*limit);
        level.error[k] = error;
        level.p_E[k] = p_E;
    }
    return level;
}

bool has_cell(const TableauLevel& level) {
    for (const auto& v : level.value) {
        if (v) return true;
    }
    return false;
}

}  // namespace

std::optional<Quad> extrapolated_limit(std::span<const std::int32_t> N, std::span<const Quad> values,
                                       std::span<const int> orders) {
    const std::size_t n = values.size();
    if (n == 0 || N.size() != n || orders.size() + 1 != n) return std::nullopt;
    // In units of the finest h, so that high powers neither underflow nor
    // lose the scale of the finest mesh.
    const Quad finest = N[n - 1];
    Matrix A(n, std::vector<Quad>(n));
    std::vector<Quad> b(values.begin(), values.end());
    for (std::size_t j = 0; j < n; ++j) {
        A[j][0] = 1;
        const Quad h_rel = finest / N[j];
        for (std::size_t i = 0; i < orders.size(); ++i) {
            Quad power = 1;
            for (int e = 0; e < orders[i]; ++e) power *= h_rel;
            A[j][i + 1] = power;
        }
    }
    return first_unknown(std::move(A), std::move(b));
}

std::optional<double> extrapolated_limit(std::span<const std::int32_t> N, std::span<const double> values,
                                         std::span<const int> orders) {
    const std::optional<Quad> limit = extrapolated_limit(N, widened(values), orders);
    if (!limit) return std::nullopt;
    return static_cast<double>(*limit);
}

std::vector<TableauLevel> repeated_richardson(std::span<const std::int32_t> N, std::span<const double> values,
                                              std::span<const double> exact, const std::vector<bool>& marked,
                                              const std::function<int(int)>& order) {
    return repeated_richardson(N, widened(values), widened(exact), marked, order);
}

std::vector<TableauLevel> repeated_richardson(std::span<const std::int32_t> N, std::span<const Quad> values,
                                              std::span<const Quad> exact, const std::vector<bool>& marked,
                                              const std::function<int(int)>& order) {
    std::vector<TableauLevel> levels;
    levels.push_back(base_level(N, values, exact, marked, order(1)));
    std::vector<int> orders;
    while (levels.back().value.size() > orders.size() + 1) {
        orders.push_back(order(static_cast<int>(orders.size()) + 1));
        TableauLevel level =
            next_level(N, values, exact, marked, levels.back(), orders, order(static_cast<int>(orders.size()) + 1));
        if (!has_cell(level)) break;
        levels.push_back(std::move(level));
    }
    for (TableauLevel& level : levels) {
        std::vector<double> orders_seen;
        for (const auto& p : level.p_E) {
            if (p) orders_seen.push_back(*p);
        }
        level.observed_order = median(orders_seen);
    }
    return levels;
}

}  // namespace kestrelfold::study
