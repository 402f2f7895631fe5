#include "support/InstallerRuns.h"

#include <utility>

// The linker's names for userdata::ReconfigureProduct(const wchar_t*,
// const wchar_t*): the real function and the wrapper that --wrap routes every
// call to. A change of its signature makes these undefined at link time.
extern "C" UINT __real__ZN8userdata18ReconfigureProductEPKwS1_(const wchar_t*, const wchar_t*);

namespace testing_support {
namespace {
InstallerRunObserver installerRunObserver;
}

InstallerRunObserver SetInstallerRunObserver(InstallerRunObserver observer) {
    return std::exchange(installerRunObserver, std::move(observer));
}

}  // namespace testing_support

extern "C" UINT __wrap__ZN8userdata18ReconfigureProductEPKwS1_(const wchar_t* productCode,
                                                               const wchar_t* properties) {
    const UINT status = __real__ZN8userdata18ReconfigureProductEPKwS1_(productCode, properties);
    if (testing_support::installerRunObserver) testing_support::installerRunObserver(productCode, properties, status);
    return status;
}
