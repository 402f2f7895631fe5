// Side-by-side timing. An export and what it is held against run in batches
// interleaved in pairs (ABAB...), so that whatever the machine does meanwhile
// falls on both alike; a row gives the median of the pairs' ratios with a 95%
// interval for it. Tables go to stdout as Markdown, failed checks to stderr,
// and one summary line decides the exit status.
#pragma once

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace udbench {

struct Options {
    int pairs = 31;        // batches of each member: at least 31, for the interval
    double batchMs = 5.0;  // the length one batch is calibrated to
    std::string filter;    // time only what has this in its name or its floor's or peer's

    bool selects(const std::string& what) const { return filter.empty() || what.find(filter) != std::string::npos; }
};

// The median and a 95% interval for it from the order statistics alone: the
// count of samples below the true median is binomial (n, 1/2) whatever the
// samples' distribution, so ranks k and n + 1 - k hold it but for 2.5% a side.
struct Estimate { double median = 0, low = 0, high = 0; };

inline Estimate Estimated(std::vector<double> samples) {
    if (samples.empty()) return {};
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    double below = 0, term = std::ldexp(1.0, -static_cast<int>(n));  // P(none of n below)
    std::size_t k = 0;
    for (; k < n / 2 && below + term <= 0.025; ++k) {
        below += term;
        term *= static_cast<double>(n - k) / static_cast<double>(k + 1);
    }
    return {(samples[(n - 1) / 2] + samples[n / 2]) / 2, samples[k ? k - 1 : 0], samples[k ? n - k : n - 1]};
}

// One thing timed: `run(n)` performs it n times, after `prepare()` (untimed).
struct Timed {
    std::function<void(std::uint64_t)> run;
    std::function<void()> prepare;
    std::uint64_t iterations = 0;   // per batch; 0 until calibrated
    std::vector<double> nsPerCall;  // one sample per batch

    double batchNs(std::uint64_t n) {
        if (prepare) prepare();
        const auto start = std::chrono::steady_clock::now();
        run(n);
        return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
    }
};

// Calibrates each member (tenfold until a batch takes a quarter of `batchMs`, then
// scaled to all of it: the warm-up), then runs `pairs` rounds of a batch each, in order.
inline void RunSideBySide(const std::vector<Timed*>& group, const Options& options) {
    const double targetNs = options.batchMs * 1e6;
    for (Timed* timed : group) {
        timed->nsPerCall.clear();
        for (std::uint64_t n = 1; timed->iterations == 0; n *= 10) {
            const double elapsed = timed->batchNs(n);
            if (elapsed >= targetNs / 4 || n > (std::uint64_t{1} << 40))
                timed->iterations = std::max<std::uint64_t>(1, static_cast<std::uint64_t>(targetNs * n / elapsed));
        }
    }
    for (int round = 0; round < options.pairs; ++round)
        for (Timed* timed : group)
            timed->nsPerCall.push_back(timed->batchNs(timed->iterations) / static_cast<double>(timed->iterations));
}

// The round-by-round ratio numerator/denominator of two members of one group.
inline Estimate RatioOf(const Timed& numerator, const Timed& denominator) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < std::min(numerator.nsPerCall.size(), denominator.nsPerCall.size()); ++i)
        ratios.push_back(numerator.nsPerCall[i] / denominator.nsPerCall[i]);
    return Estimated(std::move(ratios));
}

// Every answer the bench compares fits this many characters.
constexpr std::size_t kBuffer = 2048;

// Calls `call(buffer)` n times a batch; the sum of the results is kept, so
// that the compiler cannot drop the work.
template <typename Call>
Timed Repeat(Call call) {
    Timed timed;
    timed.run = [call](std::uint64_t n) {
        static volatile std::uint64_t sink = 0;
        wchar_t buffer[kBuffer];
        std::uint64_t sum = 0;
        for (std::uint64_t i = 0; i < n; ++i) sum += static_cast<std::uint64_t>(call(buffer));
        sink = sink + sum;
    };
    return timed;
}

// The median ratio must be at most (or at least) `limit`.
struct Target { enum Kind { AtMost, AtLeast } kind; double limit; };

class Report {
public:
    // A condition the figures depend on; returns whether it holds.
    bool check(bool holds, const std::string& what) {
        if (!holds) std::fprintf(stderr, "CHECK FAILED: %s\n", what.c_str());
        failed_ += holds ? 0 : 1;
        return holds;
    }
    // A target that is not the ratio of a row.
    void verdict(const std::string& target, bool met) {
        ++(met ? met_ : missed_);
        std::printf("\n%s: %s\n", target.c_str(), met ? "met" : "MISSED");
    }
    // Starts a table, printed with its first row.
    void table(const std::string& title) { title_ = title; }

    // The row of two members of one group: the ratio op / other, or for a
    // peer other / op (how many times faster the operation is).
    void row(const std::string& operation, const Timed& op, const std::string& against, const Timed& other,
             Target target, bool peer = false) {
        if (!title_.empty())
            std::printf("\n## %s\n\n| Operation | median | against | its median | ratio [95%% interval] | target "
                        "|\n|---|--:|---|--:|--:|---|\n",
                        std::exchange(title_, {}).c_str());
        const Estimate ratio = peer ? RatioOf(other, op) : RatioOf(op, other);
        const bool met = target.kind == Target::AtMost ? ratio.median <= target.limit : ratio.median >= target.limit;
        ++(met ? met_ : missed_);
        const std::string verdict =
            (target.kind == Target::AtMost ? "<= " : ">= ") + Number(target.limit) + (met ? " met" : " MISSED");
        std::printf("| %s | %s | %s | %s | %s [%s..%s] | %s |\n", operation.c_str(), Time(op).c_str(),
                    against.c_str(), Time(other).c_str(), Number(ratio.median).c_str(), Number(ratio.low).c_str(),
                    Number(ratio.high).c_str(), verdict.c_str());
    }

    // The summary line; 0 only when every target was met and every check held.
    [[nodiscard]] int finish() const {
        std::printf("\nTargets: %d met, %d missed. Checks failed: %d.\n", met_, missed_, failed_);
        return missed_ == 0 && failed_ == 0 ? 0 : 1;
    }

    // Three significant figures or more: enough to tell ratios apart.
    static std::string Number(double value) {
        char text[32];
        std::snprintf(text, sizeof text, value < 10 ? "%.2f" : value < 100 ? "%.1f" : "%.0f", value);
        return text;
    }
private:
    // The median time, in the unit that suits it.
    static std::string Time(const Timed& timed) {
        const double ns = Estimated(timed.nsPerCall).median;
        return ns < 1e3 ? Number(ns) + " ns" : ns < 1e6 ? Number(ns / 1e3) + " us" : Number(ns / 1e6) + " ms";
    }

    std::string title_;  // of a table whose first row is yet to come
    int met_ = 0, missed_ = 0, failed_ = 0;
};

}  // namespace udbench
