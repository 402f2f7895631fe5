#include "Report.h"

#include <cstdio>

namespace udbench {

namespace {

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Ratio(double ratio) { return Format(ratio < 10 ? "%.2f" : "%.1f", ratio); }

std::string Verdict(const Target& target, double ratio) {
    if (target.kind == Target::None) return "";
    return target.met(ratio) ? "met" : "MISSED";
}

}  // namespace

std::string Target::text() const {
    switch (kind) {
    case AtMost:
        return "<= " + Ratio(limit);
    case AtLeast:
        return ">= " + Ratio(limit);
    case None:
        break;
    }
    return "-";
}

bool Target::met(double ratio) const {
    switch (kind) {
    case AtMost:
        return ratio <= limit;
    case AtLeast:
        return ratio >= limit;
    case None:
        break;
    }
    return true;
}

std::string Nanoseconds(double ns) {
    if (ns < 100) return Format("%.1f", ns);
    return Format("%.0f", ns);
}

std::string Spread(const Stats& stats, double scale) {
    return Nanoseconds(stats.min * scale) + ".." + Nanoseconds(stats.max * scale);
}

void PrintFloorTable(const std::vector<FloorRow>& rows) {
    std::printf("| Operation | ns/call | spread | floor ns/call | floor spread | ratio | ratio spread | target | |\n");
    std::printf("|---|--:|--:|--:|--:|--:|--:|--:|---|\n");
    for (const FloorRow& row : rows) {
        std::printf("| %s | %s | %s | %s | %s | %s | %s..%s | %s | %s |\n", row.operation.c_str(),
                    Nanoseconds(row.op.median).c_str(), Spread(row.op).c_str(), Nanoseconds(row.floor.median).c_str(),
                    Spread(row.floor).c_str(), Ratio(row.ratio.median).c_str(), Ratio(row.ratio.min).c_str(),
                    Ratio(row.ratio.max).c_str(), row.target.text().c_str(),
                    Verdict(row.target, row.ratio.median).c_str());
    }
    std::printf("\n");
}

void PrintPeerTable(const std::vector<PeerRow>& rows) {
    std::printf("| Operation | ns/call | spread | peer | peer ns/call | peer spread | peer/operation | ratio spread "
                "| target | |\n");
    std::printf("|---|--:|--:|---|--:|--:|--:|--:|--:|---|\n");
    for (const PeerRow& row : rows) {
        std::printf("| %s | %s | %s | %s | %s | %s | %s | %s..%s | %s | %s |\n", row.operation.c_str(),
                    Nanoseconds(row.op.median).c_str(), Spread(row.op).c_str(), row.peer.c_str(),
                    Nanoseconds(row.peerStats.median).c_str(), Spread(row.peerStats).c_str(),
                    Ratio(row.ratio.median).c_str(), Ratio(row.ratio.min).c_str(), Ratio(row.ratio.max).c_str(),
                    row.target.text().c_str(), Verdict(row.target, row.ratio.median).c_str());
    }
    std::printf("\n");
}

bool PrintInstallTable(const std::vector<InstallRow>& rows, const Target& target) {
    std::printf("| Products | us/pass | spread | us/product | floor us/pass | floor us/product | ratio "
                "| ratio spread | added us/product | target | |\n");
    std::printf("|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|---|\n");
    // The cost each product adds, between one size and the next: constant
    // when the pass is linear in the number of products.
    std::vector<double> added(rows.size(), 0);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const InstallRow& row = rows[i];
        const double products = row.products;
        if (i > 0) {
            added[i] = (row.op.median - rows[i - 1].op.median) / 1000 / (products - rows[i - 1].products);
        }
        std::printf("| %u | %s | %s | %s | %s | %s | %s | %s..%s | %s | %s | %s |\n", row.products,
                    Nanoseconds(row.op.median / 1000).c_str(), Spread(row.op, 1e-3).c_str(),
                    Nanoseconds(row.op.median / 1000 / products).c_str(), Nanoseconds(row.floor.median / 1000).c_str(),
                    Nanoseconds(row.floor.median / 1000 / products).c_str(), Ratio(row.ratio.median).c_str(),
                    Ratio(row.ratio.min).c_str(), Ratio(row.ratio.max).c_str(),
                    i > 0 ? Nanoseconds(added[i]).c_str() : "-", target.text().c_str(),
                    Verdict(target, row.ratio.median).c_str());
    }
    // Linear: the last step adds per product what the step before added,
    // within a quarter either way.
    bool linear = true;
    if (rows.size() >= 3) {
        const double last = added[rows.size() - 1];
        const double before = added[rows.size() - 2];
        linear = before > 0 && last / before <= 1.25 && last / before >= 0.8;
        std::printf("\nGrowth: each product adds %s us from %u to %u products and %s us from %u to %u: %s "
                    "(linear when these agree within 25%%).\n",
                    Nanoseconds(before).c_str(), rows[rows.size() - 3].products, rows[rows.size() - 2].products,
                    Nanoseconds(last).c_str(), rows[rows.size() - 2].products, rows[rows.size() - 1].products,
                    linear ? "linear" : "NOT linear");
    }
    std::printf("\n");
    return linear;
}

}  // namespace udbench
