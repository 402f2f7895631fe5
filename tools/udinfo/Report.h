// Everything the library answers, gathered into labelled rows.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace udinfo {

struct Row {
    Row(std::string key, std::string label, std::wstring value)
        : key(std::move(key)), label(std::move(label)), value(std::move(value)) {}

    std::string key;    // JSON name
    std::string label;  // table label
    std::wstring value;
    // Folder rows only: the folder's enumeration value, whether it exists and
    // where its path came from.
    std::optional<int> folderValue;
    bool exists = false;
    std::wstring source;
    // Yes-or-no rows only: the answer, a JSON boolean ("yes" or "no" in the table).
    std::optional<bool> flag;
};

inline Row FlagRow(std::string key, std::string label, bool answer) {
    Row row(std::move(key), std::move(label), answer ? L"yes" : L"no");
    row.flag = answer;
    return row;
}

struct Section {
    std::string key;
    std::string title;
    std::vector<Row> rows;
};

std::vector<Section> CollectReport();

}  // namespace udinfo
