// Everything the library answers, gathered into labelled rows.
#pragma once

#include <string>
#include <vector>

namespace udinfo {

struct Row {
    std::string key;    // JSON name
    std::string label;  // table label
    std::wstring value;
};

struct Section {
    std::string key;
    std::string title;
    std::vector<Row> rows;
};

std::vector<Section> CollectReport();

}  // namespace udinfo
