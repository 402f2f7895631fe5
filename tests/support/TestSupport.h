// What every test program here uses: doctest, with readable wide text
// (Printing.h), the public header, the one UTF conversion and handle owner,
// files beside the program, guarded caller buffers (GuardedBuffer.h),
// registry keys of a test's own (TestKey.h), and product
// files: the library, and through it the stand-in platform layer, switched
// to a product that a test describes inline, handed over as a file the way a
// host hands over its own. Also the table of the seven context getters.
#pragma once

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include <UserData.h>
#include <doctest/doctest.h>
#include <nlohmann/json.hpp>

#include "common/BesideThisProgram.h"
#include "common/UniqueAny.h"
#include "common/Utf.h"
#include "support/GuardedBuffer.h"
#include "support/TestKey.h"

namespace testing_support {

// How many checks have failed in this process so far (TestMain.cpp), so that
// a long campaign stops at its first broken answer.
unsigned ChecksFailed();

// Calls tvudInitProductParams with `product` written to a file of this
// process's own, removed again afterwards; returns what it returned.
inline unsigned int InitProduct(const nlohmann::json& product) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
        ("userdata-test-" + std::to_string(GetCurrentProcessId()) + ".json");
    if (!(std::ofstream(path, std::ios::binary) << product.dump())) throw std::runtime_error("cannot write a product");
    const unsigned int result = tvudInitProductParams(path.c_str(), L"");
    std::filesystem::remove(path);
    return result;
}

// `folder` held open the way another program may hold it: others may read
// but not write, so a read-write open fails with a sharing violation.
inline userdata::UniqueFile HoldForReadingOnly(const std::wstring& folder) {
    return userdata::UniqueFile(CreateFileW(folder.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                            FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// The seven context getters, each with the product file key it answers from.
struct ContextGetter { const char* name; unsigned int (*get)(wchar_t*, unsigned long); const char* source; };
inline const ContextGetter kContextGetters[] = {
    {"tvudGetUserProductRegistryRootKey", tvudGetUserProductRegistryRootKey, "roamingRootName"},
    {"tvudGetMachineProductRegistryRootKey", tvudGetMachineProductRegistryRootKey, "productCultureSpecificRootName"},
    {"tvudGetGlobalRegistryRootKey", tvudGetGlobalRegistryRootKey, "productGlobalRootName"},
    {"tvudGetCurrentLanguage", tvudGetCurrentLanguage, "currentLanguageName"},
    {"tvudGetCurrentProduct", tvudGetCurrentProduct, "currentProduct"},
    {"GetCurrentProductIdentityIniPath", GetCurrentProductIdentityIniPath, "currentProductIdentityIniPath"},
    {"tvudGetVerticalEnvPath", tvudGetVerticalEnvPath, "verticalPath"},
};

}  // namespace testing_support

using namespace std::string_literals;
using namespace testing_support;
using nlohmann::json;
using userdata::WideToUtf8;
