#include "Measure.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>

namespace udbench {

namespace {

volatile std::uint64_t sink = 0;

double TicksToNs() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1e9 / static_cast<double>(frequency.QuadPart);
}

double NowNs() {
    static const double scale = TicksToNs();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * scale;
}

double TimeBatch(Timed& timed, std::uint64_t iterations) {
    if (timed.prepare) timed.prepare();
    const double start = NowNs();
    timed.run(iterations);
    return NowNs() - start;
}

// Grows the count until one batch takes a quarter of the target, then
// scales it to the whole target. Slow operations settle at one iteration.
void Calibrate(Timed& timed, const Options& options) {
    const double targetNs = options.batchMs * 1e6;
    std::uint64_t iterations = 1;
    for (;;) {
        const double elapsed = TimeBatch(timed, iterations);
        if (elapsed >= targetNs / 4 || iterations >= (std::uint64_t{1} << 40)) {
            const double perCall = elapsed / static_cast<double>(iterations);
            timed.iterations = std::max<std::uint64_t>(1, static_cast<std::uint64_t>(targetNs / perCall));
            return;
        }
        iterations *= elapsed < targetNs / 100 ? 10 : 2;
    }
}

}  // namespace

Stats Summarise(std::vector<double> samples) {
    Stats stats;
    if (samples.empty()) return stats;
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    stats.median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    stats.min = samples.front();
    stats.max = samples.back();
    return stats;
}

void RunSideBySide(const std::vector<Timed*>& group, const Options& options) {
    for (Timed* timed : group) {
        timed->nsPerCall.clear();
        if (timed->iterations == 0) Calibrate(*timed, options);
    }
    const std::size_t members = group.size();
    for (int round = 0; round < options.batches; ++round) {
        for (std::size_t k = 0; k < members; ++k) {
            Timed& timed = *group[(k + static_cast<std::size_t>(round)) % members];
            const double elapsed = TimeBatch(timed, timed.iterations);
            timed.nsPerCall.push_back(elapsed / static_cast<double>(timed.iterations));
        }
    }
}

Stats RatioOf(const Timed& numerator, const Timed& denominator) {
    std::vector<double> ratios;
    const std::size_t n = std::min(numerator.nsPerCall.size(), denominator.nsPerCall.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (denominator.nsPerCall[i] > 0) ratios.push_back(numerator.nsPerCall[i] / denominator.nsPerCall[i]);
    }
    return Summarise(std::move(ratios));
}

void Consume(std::uint64_t value) { sink = sink + value; }

}  // namespace udbench
