// The library's duties and one-off questions, run on request; each prints
// what it did and returns udinfo's exit status.
#pragma once

#include <string>

namespace udinfo {

int RunInstall();
int RunComCheck();
int RunMigrate();
int ResolveDisplayText(const std::wstring& text);
int PrintVersion();

}  // namespace udinfo
