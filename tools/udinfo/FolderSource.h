// Where a special folder's path came from, in words, for the report.
#pragma once

#include <string>

#include "folders/FolderResolution.h"

namespace udinfo {

// For example "setting LocalRootFolder", "product folder + Sample\en-US" or
// "setting LocalRootFolder absent: product folder".
std::wstring DescribeFolderSource(const userdata::FolderOrigin& origin);

}  // namespace udinfo
