// What every test program here uses: googletest and googlemock, the public
// header, the one UTF conversion and handle owner, guarded caller buffers
// (GuardedBuffer.h), registry keys of a test's own (TestKey.h), and product
// files: the library, and through it the stand-in platform layer, switched
// to a product that a test describes inline, handed over as a file the way a
// host hands over its own.
#pragma once

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <UserData.h>
#include <gmock/gmock.h>
#include <nlohmann/json.hpp>

#include "common/UniqueAny.h"
#include "common/Utf.h"
#include "support/GuardedBuffer.h"
#include "support/TestKey.h"

namespace testing_support {

// Writes `text` to a new file of this process's own; returns its path.
inline std::wstring WriteProductFile(const std::string& text) {
    static unsigned counter = 0;
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
        (L"userdata-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter) + L".json");
    if (!(std::ofstream(path, std::ios::binary) << text)) throw std::runtime_error("cannot write a product file");
    return path.wstring();
}

// Calls tvudInitProductParams with `product` written to a file, removed
// again afterwards; returns what tvudInitProductParams returned.
inline unsigned int InitProduct(const nlohmann::json& product) {
    const std::wstring path = WriteProductFile(product.dump());
    const unsigned int result = tvudInitProductParams(path.c_str(), L"");
    DeleteFileW(path.c_str());
    return result;
}

}  // namespace testing_support

using namespace std::string_literals;
using namespace testing_support;
using nlohmann::json;
using userdata::WideToUtf8;
