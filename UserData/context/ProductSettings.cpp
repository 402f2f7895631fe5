#include "ProductSettings.h"

#include <utility>

#include "../platform/TvPal.h"

namespace userdata {

namespace Settings = Veltrane::Trelvix::PAL::Settings;

std::wstring GetProductSetting(const wchar_t* containerName, const std::wstring& valueName,
                               const std::wstring& defaultValue, bool* found) {
    struct Search {
        const std::wstring& name;
        const std::wstring& defaultValue;
        std::wstring result;
        bool found;
    } search{valueName, defaultValue, defaultValue, false};
    // Returning true asks the platform layer for the next container. The
    // visitor captures one reference, small enough for std::function to keep
    // without allocating.
    auto takeFirstHolder = [&search](const Settings::Container& container) {
        if (!container.good() || !container.exists(search.name)) return true;
        search.result = container.getString(search.name, search.defaultValue);
        search.found = true;
        return false;
    };
    Settings::read().getProductSettings(containerName, takeFirstHolder, true);
    if (found != nullptr) *found = search.found;
    return std::move(search.result);
}

}  // namespace userdata
