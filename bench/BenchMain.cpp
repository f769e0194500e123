// Shared main of the benchmark executables: runs the registered benchmarks with
// the console reporter, then prints one RATIO line per registered comparison so
// that scripts/bench.sh can gather every reference ratio into its summary.
#include "BenchMain.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <unistd.h>
#include <vector>

namespace bench {
namespace {

struct Pair {
    std::string label, ours, reference;
    double budgetNs;
};

std::vector<Pair>& comparisons()
{
    static std::vector<Pair> list;
    return list;
}

struct GoalEntry {
    std::string label, ours, reference;
    double items, goalNs;
};

std::vector<GoalEntry>& goals()
{
    static std::vector<GoalEntry> list;
    return list;
}

struct RatioGoalEntry {
    std::string label, ours, reference;
    double goalRatio;
};

std::vector<RatioGoalEntry>& ratioGoals()
{
    static std::vector<RatioGoalEntry> list;
    return list;
}

class CollectingReporter : public benchmark::ConsoleReporter {
public:
    // Colour only on a terminal: in a pipe or a file the escape codes would
    // stick to the start of the next line, the first RATIO line among them.
    CollectingReporter() : ConsoleReporter(::isatty(::fileno(stdout)) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                const double toNs = benchmark::GetTimeUnitMultiplier(benchmark::kNanosecond) /
                                    benchmark::GetTimeUnitMultiplier(run.time_unit);
                nsPerIteration[run.benchmark_name()] = run.GetAdjustedRealTime() * toNs;
                cpuNsPerIteration[run.benchmark_name()] = run.GetAdjustedCPUTime() * toNs;
            } else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                const double toNs = benchmark::GetTimeUnitMultiplier(benchmark::kNanosecond) /
                                    benchmark::GetTimeUnitMultiplier(run.time_unit);
                cpuNsMedian[run.run_name.str()] = run.GetAdjustedCPUTime() * toNs;
            }
        }
    }
    // The median of the repetitions where the run repeats, else the one run's time.
    const double* cpuNs(const std::string& name) const
    {
        if (auto median = cpuNsMedian.find(name); median != cpuNsMedian.end())
            return &median->second;
        auto one = cpuNsPerIteration.find(name);
        return one == cpuNsPerIteration.end() ? nullptr : &one->second;
    }
    std::map<std::string, double> nsPerIteration;
    std::map<std::string, double> cpuNsPerIteration;
    std::map<std::string, double> cpuNsMedian;
};

} // namespace

Comparison::Comparison(std::string label, std::string ours, std::string reference, double budgetNs)
{
    comparisons().push_back({std::move(label), std::move(ours), std::move(reference), budgetNs});
}

Goal::Goal(std::string label, std::string ours, std::string reference, double items, double goalNs)
{
    goals().push_back({std::move(label), std::move(ours), std::move(reference), items, goalNs});
}

RatioGoal::RatioGoal(std::string label, std::string ours, std::string reference, double goalRatio)
{
    ratioGoals().push_back({std::move(label), std::move(ours), std::move(reference), goalRatio});
}

} // namespace bench

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    bench::CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    for (const auto& pair : bench::comparisons()) {
        auto ours = reporter.nsPerIteration.find(pair.ours);
        auto reference = reporter.nsPerIteration.find(pair.reference);
        if (ours == reporter.nsPerIteration.end() || reference == reporter.nsPerIteration.end())
            continue; // filtered out of this run
        std::printf("RATIO %s: ours %.2f ns, reference %.2f ns, ours/reference %.3f",
                    pair.label.c_str(), ours->second, reference->second,
                    ours->second / reference->second);
        if (pair.budgetNs > 0.0)
            std::printf(", overhead %.4f %% of the %.0f ns budget",
                        100.0 * (ours->second - reference->second) / pair.budgetNs, pair.budgetNs);
        std::printf("\n");
    }
    for (const auto& goal : bench::goals()) {
        auto ours = reporter.cpuNsPerIteration.find(goal.ours);
        if (ours == reporter.cpuNsPerIteration.end())
            continue;
        double ns = ours->second;
        if (!goal.reference.empty()) {
            auto reference = reporter.cpuNsPerIteration.find(goal.reference);
            if (reference == reporter.cpuNsPerIteration.end())
                continue;
            ns -= reference->second;
        }
        ns /= goal.items;
        std::printf("GOAL %s: %.1f ns per item (thread CPU), goal %.0f ns, ratio %.3f %s\n",
                    goal.label.c_str(), ns, goal.goalNs, ns / goal.goalNs,
                    ns <= goal.goalNs ? "(met)" : "(MISSED)");
    }
    for (const auto& goal : bench::ratioGoals()) {
        const double* ours = reporter.cpuNs(goal.ours);
        const double* reference = reporter.cpuNs(goal.reference);
        if (!ours || !reference)
            continue;
        const double ratio = *ours / *reference;
        std::printf("GOAL %s: ours %.1f ns, reference %.1f ns, ratio %.3f, goal at most %.2f %s\n",
                    goal.label.c_str(), *ours, *reference, ratio, goal.goalRatio,
                    ratio <= goal.goalRatio ? "(met)" : "(MISSED)");
    }
    return 0;
}
