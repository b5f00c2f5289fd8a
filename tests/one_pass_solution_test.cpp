// The solution run against the same run written the plain way, one loop per
// step over whole fields (tests/plain_solution_run.h): every value the
// program computes or shows must be the same bit for bit, whatever the
// solver's memory plan.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "numerics/coeficientes.h"
#include "numerics/mesh.h"
#include "numerics/solucao.h"
#include "numerics/solucao_analitica.h"
#include "numerics/solver_memory_plan.h"
#include "numerics/tdma.h"
#include "tests/numerics_fixture.h"
#include "tests/plain_solution_run.h"

namespace kestrelfold {
namespace {

using test_support::PlainRun;
using test_support::plain_solution_run;

// Small meshes, odd and even ones, and meshes on either side of the size
// from which fields are mapped memory rather than heap (2 MiB of values).
const std::int32_t kMeshes[] = {2, 3, 4, 5, 7, 8, 9, 10, 17, 100, 1001, 262142, 262143, 262144};

std::vector<double> field_values(const Field& field) {
    return {field.span().begin(), field.span().end()};
}

// The first node where two fields differ in any bit, or -1.
std::int64_t first_difference(const std::vector<double>& expected, const std::vector<double>& actual) {
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (bits_of(expected[i]) != bits_of(actual[i])) return static_cast<std::int64_t>(i);
    }
    return expected.size() == actual.size() ? -1 : static_cast<std::int64_t>(expected.size());
}

// What the writers show at every node, formed node by node as they form it.
struct ShownValues {
    std::vector<double> x, Te, aw, aP, ae, bP;
};

ShownValues shown_values(std::int32_t fonte, std::int32_t N, double h) {
    ShownValues shown;
    for (std::int64_t i = 0; i <= N; ++i) {
        const Linha linha = linha_no(fonte, N, h, i);
        shown.x.push_back(x_no(N, h, i));
        shown.Te.push_back(Te_no(fonte, N, i));
        shown.aw.push_back(linha.aw);
        shown.aP.push_back(linha.aP);
        shown.ae.push_back(linha.ae);
        shown.bP.push_back(linha.bP);
    }
    return shown;
}

TEST(OnePassSolution, SolutionRunMatchesPlainLoopsBitForBit) {
    for (std::int32_t fonte = 0; fonte <= 4; ++fonte) {
        for (const std::int32_t N : kMeshes) {
            const auto run = numerics_run(fonte, N);
            solucao(*run);
            const std::vector<double> x = numerics_mesh(N);
            const PlainRun plain = plain_solution_run(fonte, N, run->h, x);
            const ShownValues shown = shown_values(fonte, N, run->h);
            const std::string where = "fonte " + std::to_string(fonte) + ", N " + std::to_string(N);
            const struct {
                const char* name;
                const std::vector<double>& expected;
                const std::vector<double> actual;
            } fields[] = {{"x", x, shown.x},          {"Te", plain.Te, shown.Te}, {"aw", plain.aw, shown.aw},
                          {"aP", plain.aP, shown.aP}, {"ae", plain.ae, shown.ae}, {"bP", plain.bP, shown.bP},
                          {"T", plain.T, field_values(run->T)}};
            for (const auto& f : fields) {
                EXPECT_EQ(first_difference(f.expected, f.actual), -1) << f.name << ", " << where;
            }
            EXPECT_EQ(bits_of(run->inclinacao), bits_of(plain.inclinacao)) << where;
            EXPECT_EQ(bits_of(run->T_media), bits_of(plain.T_media)) << where;
        }
    }
}

// Meshes that end on either side of a group of G blocks of K nodes, one,
// two and three groups up, and small ones where every node is near an end.
std::vector<std::int32_t> meshes_around_groups(const SolverPlan& plan) {
    std::vector<std::int32_t> meshes = {2, 3, 4, 5, 9, 17};
    for (std::uint64_t groups = 1; groups <= 3; ++groups) {
        const auto nodes = static_cast<std::int32_t>(groups * group_nodes(plan));
        for (const std::int32_t N : {nodes - 2, nodes - 1, nodes}) {
            if (N >= 2) meshes.push_back(N);
        }
    }
    std::sort(meshes.begin(), meshes.end());
    meshes.erase(std::unique(meshes.begin(), meshes.end()), meshes.end());
    return meshes;
}

// Every memory plan gives the plain loops' T at every node: blocks of one
// node up to 4096, spacings that are not multiples of a cache line, and 1
// to 8 blocks at once, for every source term.
TEST(OnePassSolution, EveryPlanGivesThePlainSolutionBitForBit) {
    std::map<std::pair<std::int32_t, std::int32_t>, std::vector<double>> plain_T;
    auto expected = [&](std::int32_t fonte, std::int32_t N) -> const std::vector<double>& {
        auto [at, fresh] = plain_T.try_emplace({fonte, N});
        if (fresh) at->second = plain_solution_run(fonte, N, 1.0 / N, numerics_mesh(N)).T;
        return at->second;
    };
    for (const std::uint64_t K : {1, 2, 3, 5, 8, 13, 64, 1000, 1024, 4096}) {
        for (std::uint64_t G = 1; G <= kMostBlocksAtOnce; ++G) {
            const SolverPlan plan{.spacing = K, .blocks_at_once = G};
            for (const std::int32_t N : meshes_around_groups(plan)) {
                for (std::int32_t fonte = 0; fonte <= 4; ++fonte) {
                    std::vector<double> T(static_cast<std::size_t>(N) + 1, -7.0);
                    tdma(fonte, N, 1.0 / N, T, plan);
                    EXPECT_EQ(first_difference(expected(fonte, N), T), -1)
                        << "K " << K << ", G " << G << ", N " << N << ", fonte " << fonte;
                }
            }
        }
    }
}

// A second solution in the same process reuses the solver's work memory; it
// must not see anything of the first.
TEST(OnePassSolution, RepeatedRunsGiveTheSameBits) {
    const auto first = numerics_run(0, 262143);
    solucao(*first);
    const auto other = numerics_run(4, 262143);
    solucao(*other);
    const auto again = numerics_run(0, 262143);
    solucao(*again);
    EXPECT_EQ(first_difference(field_values(first->T), field_values(again->T)), -1);
    EXPECT_EQ(bits_of(first->T_media), bits_of(again->T_media));
}

TEST(OnePassSolution, RefusesWhatItCannotSolveBeforeWriting) {
    const struct {
        std::int32_t fonte, N, field_nodes;
        SolverPlan plan;
    } cases[] = {{1, 0, 1, kSolverPlan},
                 {1, -1, 0, kSolverPlan},
                 {1, -2147483647 - 1, 4, kSolverPlan},
                 {5, 10, 11, kSolverPlan},
                 {-1, 10, 11, kSolverPlan},
                 {1, 10, 10, kSolverPlan},
                 {1, 10, 11, {.spacing = 0, .blocks_at_once = 4}},
                 {1, 10, 11, {.spacing = 1024, .blocks_at_once = 0}},
                 {1, 10, 11, {.spacing = 1024, .blocks_at_once = kMostBlocksAtOnce + 1}}};
    for (const auto& c : cases) {
        std::vector<double> T(c.field_nodes, 7.0);
        EXPECT_THROW(tdma(c.fonte, c.N, 0.1, T, c.plan), std::invalid_argument)
            << "fonte " << c.fonte << ", N " << c.N << ", K " << c.plan.spacing << ", G " << c.plan.blocks_at_once;
        EXPECT_EQ(T, std::vector<double>(c.field_nodes, 7.0));
    }
}

}  // namespace
}  // namespace kestrelfold
