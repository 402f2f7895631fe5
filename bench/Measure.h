// Side-by-side timing. An operation, its floor and its peer run in rotating
// batches within one round, so that whatever the machine does meanwhile
// (the other core's load, the Wine server, frequency changes) falls on all
// of them alike; every ratio is then taken batch by batch.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace udbench {

struct Options {
    int batches = 15;
    double batchMs = 10.0;  // the length one batch is calibrated to
    std::string filter;     // time only operations whose name contains this
};

// Median and extremes of a set of samples.
struct Stats {
    double median = 0;
    double min = 0;
    double max = 0;
};

[[nodiscard]] Stats Summarise(std::vector<double> samples);

// One thing timed: `run(n)` performs the operation n times, after
// `prepare()` (when set), which is not timed, has set the stage for it.
struct Timed {
    std::function<void(std::uint64_t)> run;
    std::function<void()> prepare;
    std::uint64_t iterations = 0;   // per batch; 0 asks for calibration
    std::vector<double> nsPerCall;  // one sample per batch

    [[nodiscard]] Stats stats() const { return Summarise(nsPerCall); }
};

// Calibrates each member whose iteration count is 0 (the calibration doubles
// as its warm-up), then runs `options.batches` rounds. In each round every
// member runs one batch; the order rotates from round to round.
void RunSideBySide(const std::vector<Timed*>& group, const Options& options);

// The batch-by-batch ratio numerator/denominator of two members of one group.
[[nodiscard]] Stats RatioOf(const Timed& numerator, const Timed& denominator);

// Keeps results alive so that the compiler cannot drop the work producing them.
void Consume(std::uint64_t value);

}  // namespace udbench
