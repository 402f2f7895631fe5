// The benchmark's output: Markdown tables, so that one run's output can go
// into the documentation as it is.
#pragma once

#include <string>
#include <vector>

#include "Measure.h"

namespace udbench {

// A ratio target: the measured ratio must be at most (or at least) `limit`.
struct Target {
    enum Kind { None, AtMost, AtLeast } kind = None;
    double limit = 0;

    [[nodiscard]] std::string text() const;
    [[nodiscard]] bool met(double ratio) const;
};

// One operation against its floor: ratio = operation / floor.
struct FloorRow {
    std::string operation;
    Stats op;
    Stats floor;
    Stats ratio;
    Target target;
};

// One operation against a peer: ratio = peer / operation, the times the
// operation is faster.
struct PeerRow {
    std::string operation;
    Stats op;
    std::string peer;
    Stats peerStats;
    Stats ratio;
    Target target;
};

// One size of the installation pass, times in ns per pass.
struct InstallRow {
    unsigned int products = 0;
    Stats op;
    Stats floor;
    Stats ratio;
};

std::string Nanoseconds(double ns);
std::string Spread(const Stats& stats, double scale = 1.0);

void PrintFloorTable(const std::vector<FloorRow>& rows);
void PrintPeerTable(const std::vector<PeerRow>& rows);
// Also states whether the pass grows linearly; returns that verdict.
bool PrintInstallTable(const std::vector<InstallRow>& rows, const Target& target);

// Counts targets met and missed across the tables.
struct Tally {
    int met = 0;
    int missed = 0;
    void add(bool ok) { ok ? ++met : ++missed; }
};

}  // namespace udbench
