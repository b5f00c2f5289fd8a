#pragma once
// What the tridiagonal solver keeps in memory: eight bytes a node, and a
// little besides.
//
// - T, N + 1 doubles, is the one field a run stores. The forward
//   elimination leaves Q_i in it; the back substitution
//   T_i = T_(i+1) * P_i + Q_i then overwrites each Q_i with T_i in place.
// - P takes nothing from the source term (P_0 = 0; at interior nodes
//   d = 2 - P_(i-1), P_i = 1/d), so it is kept only at checkpoints: the P of
//   every K-th node, the first node of each block of K nodes.
// - The back pass forms each block's P again, forward from its checkpoint,
//   into a buffer that stays in the cache. That chain of divisions is
//   slower than the back substitution it feeds; G blocks are therefore
//   formed at once, as independent chains, in the loop that back-substitutes
//   the G blocks above them. Two buffers of G * K values take turns.
//
// The binary128 solver keeps P at every node instead: 16 bytes of T (Q
// until the back substitution) and 16 of P, 32 bytes a node. Its divisions
// are software, and forming P again would cost one more a node.
//
// Every figure of a run's memory (the check before anything is written,
// the mesh-study tool's scheduler) comes from here, through run_memory.h.
#include <cstdint>

namespace kestrelfold {

struct SolverPlan {
    std::uint64_t spacing;         // K: nodes per block, one checkpoint each
    std::uint64_t blocks_at_once;  // G: blocks whose P are formed side by side
};

// K = 1024 keeps the checkpoints at 8/1024 byte a node and the two buffers
// at 64 KiB; four chains of divisions side by side keep pace with the back
// substitution on the machines measured (README, Performance).
inline constexpr SolverPlan kSolverPlan{.spacing = 1024, .blocks_at_once = 4};

// The solver is compiled for 1 to this many blocks at once.
inline constexpr std::uint64_t kMostBlocksAtOnce = 8;

constexpr bool plan_valid(const SolverPlan& plan) {
    return plan.spacing >= 1 && plan.spacing <= (std::uint64_t{1} << 24) && plan.blocks_at_once >= 1 &&
           plan.blocks_at_once <= kMostBlocksAtOnce;
}

// Blocks, and with them checkpoints, of a mesh of `nodes` nodes: block b
// holds the nodes b*K up to, not including, block_end(b).
constexpr std::uint64_t checkpoint_count(std::uint64_t nodes, const SolverPlan& plan = kSolverPlan) {
    return (nodes + plan.spacing - 1) / plan.spacing;
}

constexpr std::uint64_t block_first(std::uint64_t block, const SolverPlan& plan = kSolverPlan) {
    return block * plan.spacing;
}

constexpr std::uint64_t block_end(std::uint64_t block, std::uint64_t nodes, const SolverPlan& plan = kSolverPlan) {
    const std::uint64_t end = block_first(block, plan) + plan.spacing;
    return end < nodes ? end : nodes;
}

// Groups of G blocks, the unit of the back pass: group g starts at node
// g*G*K; the last one may hold fewer blocks.
constexpr std::uint64_t group_nodes(const SolverPlan& plan = kSolverPlan) {
    return plan.blocks_at_once * plan.spacing;
}

constexpr std::uint64_t group_count(std::uint64_t nodes, const SolverPlan& plan = kSolverPlan) {
    return (nodes + group_nodes(plan) - 1) / group_nodes(plan);
}

// The two buffers of the back pass.
constexpr std::uint64_t buffer_values(const SolverPlan& plan = kSolverPlan) { return 2 * group_nodes(plan); }

// What the solver obtains for itself, in doubles: the checkpoints, then the
// two buffers.
constexpr std::uint64_t solver_work_values(std::uint64_t nodes, const SolverPlan& plan = kSolverPlan) {
    return checkpoint_count(nodes, plan) + buffer_values(plan);
}

// The whole run's memory in bytes: T and the solver's work.
constexpr std::uint64_t solver_memory_bytes(std::uint64_t nodes, const SolverPlan& plan = kSolverPlan) {
    return sizeof(double) * (nodes + solver_work_values(nodes, plan));
}

// What the binary128 solver obtains for itself, in binary128 values: P.
constexpr std::uint64_t quad_solver_work_values(std::uint64_t nodes) { return nodes; }

// The same figures by the number type of the run: in doubles of field
// memory for the work, in bytes for the whole run.
template <typename Real>
constexpr std::uint64_t solver_work_doubles(std::uint64_t nodes) {
    if constexpr (sizeof(Real) == sizeof(double)) {
        return solver_work_values(nodes);
    } else {
        return quad_solver_work_values(nodes) * (sizeof(Real) / sizeof(double));
    }
}

template <typename Real>
constexpr std::uint64_t run_memory_bytes_of(std::uint64_t nodes) {
    return sizeof(Real) * nodes + sizeof(double) * solver_work_doubles<Real>(nodes);
}

}  // namespace kestrelfold
