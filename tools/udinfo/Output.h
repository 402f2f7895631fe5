#pragma once

#include <string>
#include <vector>

#include "Report.h"

namespace udinfo {

void PrintTable(const std::wstring& configuration, const std::vector<Section>& report);
void PrintJson(const std::wstring& configuration, const std::vector<Section>& report);

}  // namespace udinfo
