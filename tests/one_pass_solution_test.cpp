#include "numerics/one_pass_solution.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "numerics/solucao.h"
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

TEST(OnePassSolution, SolutionRunMatchesPlainLoopsBitForBit) {
    for (std::int32_t fonte = 0; fonte <= 4; ++fonte) {
        for (const std::int32_t N : kMeshes) {
            const auto run = numerics_run(fonte, N);
            solucao(*run);
            const PlainRun plain = plain_solution_run(fonte, N, run->h, numerics_mesh(N));
            const std::string where = "fonte " + std::to_string(fonte) + ", N " + std::to_string(N);
            const struct {
                const char* name;
                const std::vector<double>& expected;
                const Field& actual;
            } fields[] = {{"Te", plain.Te, run->Te}, {"aw", plain.aw, run->aw}, {"aP", plain.aP, run->aP},
                          {"ae", plain.ae, run->ae}, {"bP", plain.bP, run->bP}, {"T", plain.T, run->T}};
            for (const auto& f : fields) {
                EXPECT_EQ(first_difference(f.expected, field_values(f.actual)), -1) << f.name << ", " << where;
            }
            EXPECT_EQ(bits_of(run->inclinacao), bits_of(plain.inclinacao)) << where;
            EXPECT_EQ(bits_of(run->T_media), bits_of(plain.T_media)) << where;
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
    } cases[] = {{1, 0, 1}, {1, -1, 0}, {5, 10, 11}, {-1, 10, 11}, {1, 10, 10}};
    for (const auto& c : cases) {
        std::vector<double> x(c.field_nodes, 0.5), Te(c.field_nodes, 7.0), aw(c.field_nodes, 7.0),
            aP(c.field_nodes, 7.0), ae(c.field_nodes, 7.0), bP(c.field_nodes, 7.0), T(c.field_nodes, 7.0);
        EXPECT_THROW(solve_in_one_pass(c.fonte, c.N, 0.1, x, Te, {aw, aP, ae, bP}, T), std::invalid_argument)
            << "fonte " << c.fonte << ", N " << c.N;
        for (const auto* field : {&Te, &aw, &aP, &ae, &bP, &T}) {
            EXPECT_EQ(*field, std::vector<double>(c.field_nodes, 7.0));
        }
    }
}

}  // namespace
}  // namespace kestrelfold
