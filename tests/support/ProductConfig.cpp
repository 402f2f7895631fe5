#include "ProductConfig.h"

#include <cstdio>
#include <stdexcept>

#include <UserData.h>
#include <windows.h>

namespace testing_support {

std::wstring WriteConfigFile(const std::string& text) {
    static unsigned counter = 0;
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    std::wstring path = std::wstring(dir) + L"userdata-test-" + std::to_wstring(GetCurrentProcessId()) +
                        L"-" + std::to_wstring(++counter) + L".json";
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) throw std::runtime_error("cannot write a configuration file");
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    return path;
}

unsigned int InitProduct(const nlohmann::json& config) {
    const std::wstring path = WriteConfigFile(config.dump());
    const unsigned int result = tvudInitProductParams(path.c_str(), L"");
    DeleteFileW(path.c_str());
    return result;
}

unsigned int InitDefaultProduct() { return tvudInitProductParams(L"", L""); }

unsigned int InitEmptyProduct() { return InitProduct(nlohmann::json::object()); }

}  // namespace testing_support
