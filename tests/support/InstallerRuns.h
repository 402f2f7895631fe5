// Which Windows Installer reconfigurations the library asked for. The test
// programs that link the library's internals wrap its ReconfigureProduct at
// link time (see tests/CMakeLists.txt): every call is passed on to the real
// Installer unchanged and then logged here, while the shipped DLL carries no
// trace of the seam.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace testing_support {

struct InstallerRunLog {
    std::vector<std::wstring> products, properties;  // of each run, in order
    std::function<void()> afterEachRun;              // e.g. to change what the pass sees next
};

// The log since the last `InstallerRuns() = {}`.
InstallerRunLog& InstallerRuns();

}  // namespace testing_support
