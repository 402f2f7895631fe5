// Side-by-side timing and what is made of it. An export and what it is held
// against run in batches interleaved in pairs (ABAB...), so that whatever the
// machine does meanwhile (the other core's load, the Wine server, frequency
// changes) falls on both alike; every ratio is taken pair by pair, and a row
// gives the median of those ratios with a 95% interval for that median. The
// results go out as Markdown tables on stdout, so that one run's output can
// go into the documentation as it is, failed checks on stderr, and one
// summary line whose counts decide the exit status.
#pragma once

#include <algorithm>
#include <chrono>
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

    bool selects(const std::string& operation) const {
        return filter.empty() || operation.find(filter) != std::string::npos;
    }
};

// The median of a set of samples and a 95% interval for it, from the order
// statistics alone: the ranks k and n + 1 - k outside which the median lies
// with probability at most 2.5% on each side, whatever the samples'
// distribution (the count of samples below the median is binomial, n and
// one half).
struct Estimate {
    double median = 0, low = 0, high = 0;
};

inline Estimate Estimated(std::vector<double> samples) {
    if (samples.empty()) return {};
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    double below = 0, term = 1;
    for (std::size_t i = 0; i < n; ++i) term /= 2;  // P(none of n below)
    std::size_t k = 0;
    while (k < n / 2 && below + term <= 0.025) {
        below += term;
        term *= static_cast<double>(n - k) / static_cast<double>(k + 1);
        ++k;
    }
    return {(samples[(n - 1) / 2] + samples[n / 2]) / 2, samples[k ? k - 1 : 0], samples[k ? n - k : n - 1]};
}

// One thing timed: `run(n)` performs the operation n times, after
// `prepare()` (when set, and not timed) has set the stage for it.
struct Timed {
    std::function<void(std::uint64_t)> run;
    std::function<void()> prepare;
    std::uint64_t iterations = 0;   // per batch; 0 until calibrated
    std::vector<double> nsPerCall;  // one sample per batch

    Estimate estimate() const { return Estimated(nsPerCall); }
    double batchNs(std::uint64_t n) {
        if (prepare) prepare();
        const auto start = std::chrono::steady_clock::now();
        run(n);
        return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
    }
};

// Calibrates each member not yet calibrated: the count grows tenfold until
// a batch takes a quarter of `options.batchMs`, then is scaled to all of it
// (this doubles as the warm-up). Then runs `options.pairs` rounds, every
// member one batch a round, always in the group's order: A B A B ...
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

// Keeps results alive so that the compiler cannot drop the work producing them.
inline void Consume(std::uint64_t value) {
    static volatile std::uint64_t sink = 0;
    sink = sink + value;
}

// Every answer the bench compares fits this many characters.
constexpr std::size_t kBuffer = 2048;

// Calls `call(buffer)` n times a batch, into a buffer of kBuffer characters.
template <typename Call>
Timed Repeat(Call call) {
    Timed timed;
    timed.run = [call](std::uint64_t n) {
        wchar_t buffer[kBuffer];
        std::uint64_t sum = 0;
        for (std::uint64_t i = 0; i < n; ++i) sum += static_cast<std::uint64_t>(call(buffer));
        Consume(sum);
    };
    return timed;
}

// A ratio target: the median ratio must be at most (or at least) `limit`.
struct Target {
    enum Kind { None, AtMost, AtLeast } kind = None;
    double limit = 0;
};

class Report {
public:
    // A condition the figures depend on.
    void check(bool holds, const std::string& what) {
        if (!holds) std::fprintf(stderr, "CHECK FAILED: %s\n", what.c_str());
        failed_ += holds ? 0 : 1;
    }

    // A target that is not the ratio of a row, printed with its verdict.
    void verdict(const std::string& target, bool met) {
        ++(met ? met_ : missed_);
        std::printf("\n%s: %s\n", target.c_str(), met ? "met" : "MISSED");
    }

    // Starts a table, printed with its first row; `title` says what its
    // ratios divide.
    void table(const std::string& title) { title_ = title; }

    // The row of two members of one group. The ratio is op / other, or for
    // a peer other / op: how many times faster the operation is. Times are
    // medians; the ratio is the median of the pairs' ratios with its 95%
    // interval, and the target is judged on that median.
    void row(const std::string& operation, const Timed& op, const std::string& against, const Timed& other,
             Target target, bool peer = false) {
        if (!title_.empty())
            std::printf("\n## %s\n\n| Operation | median | against | its median | ratio [95%% interval] | target "
                        "|\n|---|--:|---|--:|--:|---|\n",
                        std::exchange(title_, {}).c_str());
        const Estimate ratio = peer ? RatioOf(other, op) : RatioOf(op, other);
        const bool met = target.kind == Target::AtMost ? ratio.median <= target.limit : ratio.median >= target.limit;
        if (target.kind != Target::None) ++(met ? met_ : missed_);
        const std::string sign = target.kind == Target::AtMost ? "<= " : ">= ";
        const std::string verdict =
            target.kind == Target::None ? "-" : sign + Number(target.limit) + (met ? " met" : " MISSED");
        const std::string interval =
            Number(ratio.median) + " [" + Number(ratio.low) + ".." + Number(ratio.high) + "]";
        std::printf("| %s | %s | %s | %s | %s | %s |\n", operation.c_str(), Time(op.estimate().median).c_str(),
                    against.c_str(), Time(other.estimate().median).c_str(), interval.c_str(), verdict.c_str());
    }

    // Prints the summary line; the exit status is 0 only when every target
    // was met and every check held.
    [[nodiscard]] int finish() const {
        std::printf("\nTargets: %d met, %d missed. Checks failed: %d.\n", met_, missed_, failed_);
        return missed_ == 0 && failed_ == 0 ? 0 : 1;
    }

private:
    // Three significant figures or more: enough to tell ratios apart.
    static std::string Number(double value) {
        char text[32];
        std::snprintf(text, sizeof text, value < 10 ? "%.2f" : value < 100 ? "%.1f" : "%.0f", value);
        return text;
    }
    // A time in the unit that suits it.
    static std::string Time(double ns) {
        if (ns < 1e3) return Number(ns) + " ns";
        return ns < 1e6 ? Number(ns / 1e3) + " us" : Number(ns / 1e6) + " ms";
    }

    std::string title_;  // of a table whose first row is yet to come
    int met_ = 0, missed_ = 0, failed_ = 0;
};

}  // namespace udbench
