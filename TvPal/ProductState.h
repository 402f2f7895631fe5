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

// Makes `next` the current state, replacing the previous one whole. Strings
// handed out from a state last until the next initialisation, except the
// current language name (below).
void installState(ProductState next);

// The current language name. Unlike the other strings, it stays valid after
// later initialisations: hosts keep the pointer.
const wchar_t* currentLanguageName();

}  // namespace Veltrane::Trelvix::PAL
