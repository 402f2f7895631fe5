#include "support/InstallerRuns.h"

#include <windows.h>

// The linker's names for userdata::ReconfigureProduct(const wchar_t*,
// const wchar_t*): the real function and the wrapper that --wrap routes every
// call to. A change of its signature makes these undefined at link time.
extern "C" UINT __real__ZN8userdata18ReconfigureProductEPKwS1_(const wchar_t*, const wchar_t*);

testing_support::InstallerRunLog& testing_support::InstallerRuns() {
    static InstallerRunLog log;
    return log;
}

extern "C" UINT __wrap__ZN8userdata18ReconfigureProductEPKwS1_(const wchar_t* productCode, const wchar_t* properties) {
    const UINT status = __real__ZN8userdata18ReconfigureProductEPKwS1_(productCode, properties);
    auto& log = testing_support::InstallerRuns();
    log.products.push_back(productCode), log.properties.push_back(properties);
    if (log.afterEachRun) log.afterEachRun();
    return status;
}
