// Prints the collected report for people (a table) or for programs (JSON).
#pragma once

#include <string>
#include <vector>

#include "Report.h"

namespace udinfo {

void PrintTable(const std::wstring& configuration, const std::vector<Section>& report);
void PrintJson(const std::wstring& configuration, const std::vector<Section>& report);

}  // namespace udinfo
