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

} // namespace bench

// Registers a comparison at static initialisation; use once per pair.
#define BENCH_COMPARE(id, label, ...)                                                              \
    static const ::bench::Comparison id                                                            \
    {                                                                                              \
        label, __VA_ARGS__                                                                         \
    }
