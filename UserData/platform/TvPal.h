// The platform layer's operations that UserData calls. The real TvPal.dll is
// linked by these declarations' decorated names, so their namespaces,
// classes, parameter types and constness must stay exactly as they are.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include <boost/filesystem/path.hpp>

#ifdef TVPAL_BUILDING
#define TVPAL_API __declspec(dllexport)
#else
#define TVPAL_API __declspec(dllimport)
#endif

namespace Veltrane::Trelvix::PAL {

namespace Settings {

struct ContainerData;  // owned by the platform layer

// A named set of string values. The platform layer decides which containers
// exist and in what order they are offered.
class TVPAL_API Container {
public:
    explicit Container(std::shared_ptr<const ContainerData> data);
    virtual ~Container();
    Container(const Container&);
    Container& operator=(const Container&);

    bool good() const;
    bool exists(const std::wstring& name) const;
    std::wstring getString(const std::wstring& name, const std::wstring& defaultValue) const;

private:
    std::shared_ptr<const ContainerData> data_;
};

class TVPAL_API ReadOnlyContainer : public Container {
public:
    using Container::Container;
};

class TVPAL_API Roots {
public:
    static bool initializeByConvention(const wchar_t* first, const wchar_t* second,
                                       const wchar_t* third, bool attached);
    static const wchar_t* roamingRootName();
    static const wchar_t* productCultureSpecificRootName();
    static const wchar_t* productGlobalRootName();
    static const wchar_t* currentLanguageName();

    // Calls the visitor with each container the name selects, in order, and
    // stops at the first call that returns false. The visitor runs on the
    // calling thread only, before this returns.
    void getProductSettings(const wchar_t* containerName,
                            std::function<bool(const Container&)> visitor, bool) const;
    ReadOnlyContainer currentProfile(const wchar_t* name) const;
};

TVPAL_API const wchar_t* getCurrentProduct();
TVPAL_API const wchar_t* getCurrentProductIdentityIniPath();
TVPAL_API const wchar_t* getVerticalPath();
TVPAL_API const Roots& read();

}  // namespace Settings

namespace FileSystem {
TVPAL_API wchar_t path_separator();
TVPAL_API std::wstring getMyDocumentsPath(bool);
}  // namespace FileSystem

namespace PackageUtils {
TVPAL_API const boost::filesystem::path& resDir();
}  // namespace PackageUtils

}  // namespace Veltrane::Trelvix::PAL
