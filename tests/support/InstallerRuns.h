// Which Windows Installer reconfigurations the library asked for. The test
// programs that link the library's internals wrap its ReconfigureProduct at
// link time (see tests/CMakeLists.txt): every call is passed on to the real
// Installer unchanged and then reported here, while the shipped DLL carries
// no trace of the seam.
#pragma once

#include <windows.h>

#include <functional>

namespace testing_support {

using InstallerRunObserver = std::function<void(const wchar_t* productCode, const wchar_t* properties, UINT status)>;

// Installs `observer` and returns the one it replaces; an empty one reports
// nothing.
InstallerRunObserver SetInstallerRunObserver(InstallerRunObserver observer);

}  // namespace testing_support
