#pragma once

#include <string>

namespace bench {

// Pairs two benchmarks of the same executable for the summary printed after the
// run: "RATIO <label>: ours <t> ns, reference <t> ns, ours/reference <r>".
// Names are the full Google Benchmark run names (with arguments, e.g. "BM_X/64").
// With a budget (ns per iteration, e.g. a host block's real-time length) the
// line also gives ours - reference as a share of that budget.
struct Comparison {
    Comparison(std::string label, std::string ours, std::string reference, double budgetNs = 0.0);
};

// Prints, after the RATIO lines, "GOAL <label>: <x> ns per item, goal <g> ns, ratio <x/g>"
// with x = CPU time per iteration of ours / items, less that of the reference when one is
// named (a model's own cost over an empty chain). Thread CPU time, not wall clock: the
// machine may be shared.
struct Goal {
    Goal(std::string label, std::string ours, std::string reference, double items, double goalNs);
};

// Prints, after the GOAL lines above, "GOAL <label>: ours <t> ns, reference <t> ns, ratio <r>,
// goal at most <g>" for two benchmarks of one run (CPU time per iteration; the median over the
// repetitions when the run repeats, e.g. --benchmark_repetitions=9).
struct RatioGoal {
    RatioGoal(std::string label, std::string ours, std::string reference, double goalRatio);
};

} // namespace bench

// Registers a comparison at static initialisation; use once per pair.
#define BENCH_COMPARE(id, label, ...)                                                              \
    static const ::bench::Comparison id                                                            \
    {                                                                                              \
        label, __VA_ARGS__                                                                         \
    }

// Registers a per-item goal at static initialisation; use once per goal.
#define BENCH_GOAL(id, label, ...)                                                                 \
    static const ::bench::Goal id                                                                  \
    {                                                                                              \
        label, __VA_ARGS__                                                                         \
    }

// Registers a goal on the ratio of two benchmarks at static initialisation; use once per goal.
#define BENCH_RATIO_GOAL(id, label, ...)                                                           \
    static const ::bench::RatioGoal id                                                             \
    {                                                                                              \
        label, __VA_ARGS__                                                                         \
    }
