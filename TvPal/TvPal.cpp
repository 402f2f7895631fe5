// The exported operations of the stand-in platform layer (platform/TvPal.h),
// answered from the current product state.
#include <cstdio>
#include <string_view>

#include "common/Utf.h"

#include "ProductJson.h"
#include "ProductState.h"

namespace Veltrane::Trelvix::PAL {

namespace Settings {

Container::Container(std::shared_ptr<const ContainerData> data) : data_(std::move(data)) {}
Container::~Container() = default;
Container::Container(const Container&) = default;
Container& Container::operator=(const Container&) = default;

bool Container::good() const { return data_ && data_->good; }

bool Container::exists(const std::wstring& name) const {
    return data_ && data_->values.find(name) != data_->values.end();
}

std::wstring Container::getString(const std::wstring& name, const std::wstring& defaultValue) const {
    if (!data_) return defaultValue;
    auto it = data_->values.find(name);
    return it == data_->values.end() ? defaultValue : it->second;
}

bool Roots::initializeByConvention(const wchar_t* first, const wchar_t*, const wchar_t*, bool) {
    if (first == nullptr || *first == L'\0') {
        installState(defaultProductState());
        return currentState().initialize;
    }
    std::string problem;
    auto loaded = loadProductState(first, problem);
    if (!loaded) {
        std::fprintf(stderr, "TvPal: %s: %s\n", userdata::WideToUtf8(first).c_str(), problem.c_str());
        return false;
    }
    installState(std::move(*loaded));
    return currentState().initialize;
}

const wchar_t* Roots::roamingRootName() { return currentState().roamingRootName.c_str(); }
const wchar_t* Roots::productCultureSpecificRootName() {
    return currentState().productCultureSpecificRootName.c_str();
}
const wchar_t* Roots::productGlobalRootName() { return currentState().productGlobalRootName.c_str(); }
const wchar_t* Roots::currentLanguageName() { return PAL::currentLanguageName(); }

void Roots::getProductSettings(const wchar_t* containerName,
                               std::function<bool(const Container&)> visitor, bool) const {
    const auto& settings = currentState().productSettings;
    auto it = settings.find(std::wstring_view(containerName ? containerName : L""));
    if (it == settings.end()) return;
    for (const Container& container : it->second) {
        if (!visitor(container)) return;
    }
}

ReadOnlyContainer Roots::currentProfile(const wchar_t* name) const {
    // Every absent profile shares one empty container: asking costs no
    // allocation.
    static const std::shared_ptr<const ContainerData> absent = std::make_shared<const ContainerData>();
    const auto& profiles = currentState().profiles;
    auto it = profiles.find(std::wstring_view(name ? name : L""));
    if (it != profiles.end()) return it->second;
    return ReadOnlyContainer(absent);
}

const wchar_t* getCurrentProduct() { return currentState().currentProduct.c_str(); }
const wchar_t* getCurrentProductIdentityIniPath() {
    return currentState().currentProductIdentityIniPath.c_str();
}
const wchar_t* getVerticalPath() { return currentState().verticalPath.c_str(); }

const Roots& read() {
    static const Roots roots;
    return roots;
}

}  // namespace Settings

namespace FileSystem {
wchar_t path_separator() { return currentState().pathSeparator; }
std::wstring getMyDocumentsPath(bool) { return currentState().myDocumentsPath; }
}  // namespace FileSystem

namespace PackageUtils {
const boost::filesystem::path& resDir() { return currentState().resDir; }
}  // namespace PackageUtils

}  // namespace Veltrane::Trelvix::PAL
