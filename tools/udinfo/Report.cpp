#include "Report.h"

#include <UserData.h>

#include "Fetch.h"

namespace udinfo {

namespace {

Section ProductContext() {
    const wchar_t* uiLanguage = tvudGetProductUILanguage();
    return {"product", "Product",
            {
                {"currentProduct", "Current product", Fetch(tvudGetCurrentProduct)},
                {"currentLanguage", "Current language", Fetch(tvudGetCurrentLanguage)},
                {"productUILanguage", "UI language", uiLanguage ? uiLanguage : L""},
                {"identityIniPath", "Identity ini file", Fetch(GetCurrentProductIdentityIniPath)},
                {"verticalEnvPath", "Vertical path", Fetch(tvudGetVerticalEnvPath)},
            }};
}

Section RegistryRoots() {
    return {"registry", "Registry roots",
            {
                {"userProductRoot", "User product root (HKCU)", Fetch(tvudGetUserProductRegistryRootKey)},
                {"machineProductRoot", "Machine product root (HKLM)",
                 Fetch(tvudGetMachineProductRegistryRootKey)},
                {"globalRoot", "Global root", Fetch(tvudGetGlobalRegistryRootKey)},
            }};
}

}  // namespace

std::vector<Section> CollectReport() { return {ProductContext(), RegistryRoots()}; }

}  // namespace udinfo
