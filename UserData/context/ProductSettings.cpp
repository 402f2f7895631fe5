#include "ProductSettings.h"

#include "../platform/TvPal.h"

namespace userdata {

namespace Settings = Veltrane::Trelvix::PAL::Settings;

std::wstring GetProductSetting(const wchar_t* containerName, const wchar_t* valueName,
                               const std::wstring& defaultValue) {
    std::wstring result = defaultValue;
    const std::wstring name = valueName;
    // Returning true asks the platform layer for the next container.
    auto takeFirstHolder = [&](const Settings::Container& container) {
        if (!container.good() || !container.exists(name)) return true;
        result = container.getString(name, defaultValue);
        return false;
    };
    Settings::read().getProductSettings(containerName, takeFirstHolder, true);
    return result;
}

}  // namespace userdata
