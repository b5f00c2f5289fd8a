// The memory a run holds and the arithmetic of the solver's blocks, up to
// the largest mesh of the data model, N = 2^31 - 1, where the node count
// no longer fits 32 bits; nothing here allocates the fields.
#include "numerics/solver_memory_plan.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "numerics/mesh.h"
#include "numerics/nodes.h"
#include "numerics/run_memory.h"
#include "numerics/solucao_analitica.h"
#include "tests/numerics_fixture.h"

namespace kestrelfold {
namespace {

constexpr std::uint64_t k2To31 = std::uint64_t{1} << 31;

// T, one checkpoint per 1024 nodes (the last block may be short), and two
// buffers of 4 blocks of 1024 values, in bytes.
TEST(SolverMemoryPlan, RunMemoryIsTheFieldTheCheckpointsAndTheBuffers) {
    struct Case {
        std::int32_t N;
        std::uint64_t bytes;
    };
    const Case cases[] = {
        {2, 8 * (3 + 1 + 8192)},
        {1023, 8 * (1024 + 1 + 8192)},
        {1024, 8 * (1025 + 2 + 8192)},
        {100'000'000, 8 * (100'000'001ull + 97'657 + 8192)},
        {INT_MAX - 1024, 8 * (k2To31 - 1024 + (k2To31 >> 10) - 1 + 8192)},
        {INT_MAX - 1023, 8 * (k2To31 - 1023 + (k2To31 >> 10) + 8192)},
        {INT_MAX, 8 * (k2To31 + (k2To31 >> 10) + 8192)},
    };
    for (const Case& c : cases) EXPECT_EQ(run_memory_bytes(c.N), c.bytes) << "N = " << c.N;
    // The figure the README and the man page give: 8 bytes a node and a little.
    EXPECT_EQ(run_memory_bytes(INT_MAX), 17'196'711'936u);
    EXPECT_LT(static_cast<double>(run_memory_bytes(100'000'000)) / 100'000'001, 8.01);
}

// Block b holds the nodes b*K up to block_end(b); groups of G blocks start
// at g*G*K. At and near 2^31 nodes every count and end is exact.
TEST(SolverMemoryPlan, BlocksAndGroupsOfTheLargestMeshes) {
    struct Case {
        std::uint64_t nodes, K, G;
        std::uint64_t blocks, last_block_first, groups, last_group_first;
    };
    const Case cases[] = {
        {k2To31, 1024, 4, k2To31 >> 10, k2To31 - 1024, k2To31 >> 12, k2To31 - 4096},
        {k2To31 - 1, 1024, 4, k2To31 >> 10, k2To31 - 1024, k2To31 >> 12, k2To31 - 4096},
        {k2To31 - 1023, 1024, 4, k2To31 >> 10, k2To31 - 1024, k2To31 >> 12, k2To31 - 4096},
        {k2To31 - 1024, 1024, 4, (k2To31 >> 10) - 1, k2To31 - 2048, k2To31 >> 12, k2To31 - 4096},
        {k2To31 - 4096, 1024, 4, (k2To31 >> 10) - 4, k2To31 - 5120, (k2To31 >> 12) - 1, k2To31 - 8192},
        // 2^31 = 2147483 * 1000 + 648, and 2147484 blocks = 306783 groups of 7 + 3.
        {k2To31, 1000, 7, 2'147'484, 2'147'483'000, 306'784, 2'147'481'000},
        {k2To31, 1, 1, k2To31, k2To31 - 1, k2To31, k2To31 - 1},
    };
    for (const Case& c : cases) {
        const SolverPlan plan{.spacing = c.K, .blocks_at_once = c.G};
        SCOPED_TRACE("nodes " + std::to_string(c.nodes) + ", K " + std::to_string(c.K));
        EXPECT_EQ(checkpoint_count(c.nodes, plan), c.blocks);
        EXPECT_EQ(block_first(c.blocks - 1, plan), c.last_block_first);
        EXPECT_EQ(block_end(c.blocks - 1, c.nodes, plan), c.nodes);
        EXPECT_EQ(block_end(c.blocks - 2, c.nodes, plan), c.last_block_first);
        EXPECT_EQ(group_count(c.nodes, plan), c.groups);
        EXPECT_EQ((c.groups - 1) * group_nodes(plan), c.last_group_first);
        EXPECT_LT(c.last_group_first, c.nodes);
        EXPECT_EQ(solver_work_values(c.nodes, plan), c.blocks + 2 * c.K * c.G);
    }
}

TEST(SolverMemoryPlan, ThePlanInUseIsValid) {
    EXPECT_TRUE(plan_valid(kSolverPlan));
    EXPECT_FALSE(plan_valid({.spacing = 0, .blocks_at_once = 1}));
    EXPECT_FALSE(plan_valid({.spacing = 1024, .blocks_at_once = kMostBlocksAtOnce + 1}));
}

// The node count, the mesh and the exact solution at the last nodes of the
// largest mesh, formed in 64 bits.
TEST(SolverMemoryPlan, LastNodesOfTheLargestMesh) {
    EXPECT_EQ(node_count(INT_MAX), k2To31);
    const double h = element_length(INT_MAX);
    const std::int64_t last = INT_MAX;
    EXPECT_EQ(x_no(last, h, last), 1.0);
    const double before = x_no(last, h, last - 1);
    EXPECT_EQ(bits_of(before), bits_of(2147483646.0 * h));
    EXPECT_LT(before, 1.0);
    EXPECT_EQ(bits_of(Te_no(1, INT_MAX, last - 1)), bits_of(before));
    EXPECT_EQ(bits_of(Te_no(2, INT_MAX, last - 1)), bits_of(before * before));
    EXPECT_EQ(Te_no(0, INT_MAX, last), 1.0);
    EXPECT_EQ(Te_no(3, INT_MAX, last), 1.0);
    EXPECT_EQ(bits_of(Te_no(1, INT_MAX, last / 2)), bits_of(1073741823.0 * h));
}

}  // namespace
}  // namespace kestrelfold
