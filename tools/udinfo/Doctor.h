// udinfo --doctor: what is wrong with the product's set-up, and the fixes.
#pragma once

#include <string>

namespace udinfo {

// Runs every check and prints them, as a table or as JSON. Returns udinfo's
// exit status: 1 when a check found a problem, else 0.
int RunDoctor(const std::wstring& configuration, bool json);

}  // namespace udinfo
