#pragma once

#include <string>

namespace bench {

// Pairs two benchmarks of the same executable for the summary printed after the
// run: "RATIO <label>: ours <t> ns, reference <t> ns, ours/reference <r>".
// Names are the full Google Benchmark run names (with arguments, e.g. "BM_X/64").
struct Comparison {
    Comparison(std::string label, std::string ours, std::string reference);
};

} // namespace bench

// Registers a comparison at static initialisation; use once per pair.
#define BENCH_COMPARE(id, label, ours, reference) \
    static const ::bench::Comparison id{label, ours, reference}
