// Everything the stand-in platform layer answers, for one product. A state is
// built whole (from a configuration file or the embedded default) and then
// swapped in, so the getters only read prepared values: no parsing and no
// allocation per call.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <platform/TvPal.h>

namespace Veltrane::Trelvix::PAL {

namespace Settings {
struct ContainerData {
    bool good = true;
    std::map<std::wstring, std::wstring, std::less<>> values;
};
}  // namespace Settings

struct ProductState {
    bool initialize = true;
    std::wstring roamingRootName;
    std::wstring productCultureSpecificRootName;
    std::wstring productGlobalRootName;
    std::wstring currentLanguageName;
    std::wstring currentProduct;
    std::wstring currentProductIdentityIniPath;
    std::wstring verticalPath;
    boost::filesystem::path resDir;
    std::wstring myDocumentsPath;
    wchar_t pathSeparator = L'\\';
    std::map<std::wstring, std::vector<Settings::Container>, std::less<>> productSettings;
    std::map<std::wstring, Settings::ReadOnlyContainer, std::less<>> profiles;
};

// The state the getters answer from. Empty until the first initialisation.
const ProductState& currentState();

// Makes `next` the current state. Earlier states stay alive, so pointers the
// platform layer handed out before stay valid for the life of the process.
void installState(ProductState next);

}  // namespace Veltrane::Trelvix::PAL
