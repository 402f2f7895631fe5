#include "Output.h"

#include <algorithm>
#include <cstdio>

#include <nlohmann/json.hpp>

#include "common/Utf.h"

namespace udinfo {

using userdata::WideToUtf8;

namespace {
constexpr const char* kNone = "(none)";
constexpr int kJsonSchemaVersion = 2;

size_t LabelWidth(const std::vector<Section>& report) {
    size_t width = 0;
    for (const auto& section : report)
        for (const auto& row : section.rows) width = std::max(width, row.label.size());
    return width;
}
}  // namespace

void PrintTable(const std::wstring& configuration, const std::vector<Section>& report) {
    const int width = static_cast<int>(LabelWidth(report));
    std::printf("UserData: %s\n",
                configuration.empty() ? "embedded default product" : WideToUtf8(configuration).c_str());
    for (const auto& section : report) {
        std::printf("\n%s\n", section.title.c_str());
        for (const auto& row : section.rows) {
            const std::string value = row.value.empty() ? kNone : WideToUtf8(row.value);
            const char* mark = !row.folderValue || row.value.empty() ? "" : row.exists ? "  [exists]" : "  [missing]";
            const std::string source = row.folderValue ? "  <- " + WideToUtf8(row.source) : "";
            std::printf("  %-*s  %s%s%s\n", width, row.label.c_str(), value.c_str(), mark, source.c_str());
        }
    }
}

void PrintJson(const std::wstring& configuration, const std::vector<Section>& report) {
    nlohmann::ordered_json out;
    // Raised whenever a name, a type or the nesting changes, so scripts can tell;
    // the JSON Schema of each version is tools/udinfo/schemas/udinfo-report.schema.json.
    out["schemaVersion"] = kJsonSchemaVersion;
    out["configuration"] = configuration.empty() ? nlohmann::ordered_json(nullptr)
                                                 : nlohmann::ordered_json(WideToUtf8(configuration));
    for (const auto& section : report) {
        auto& group = out[section.key];
        for (const auto& row : section.rows) {
            if (row.folderValue) {
                group[row.key] = {{"value", *row.folderValue},
                                  {"path", WideToUtf8(row.value)},
                                  {"exists", row.exists},
                                  {"source", WideToUtf8(row.source)}};
            } else if (row.flag) {
                group[row.key] = *row.flag;
            } else {
                group[row.key] = WideToUtf8(row.value);
            }
        }
    }
    std::printf("%s\n", out.dump(2).c_str());
}

}  // namespace udinfo
