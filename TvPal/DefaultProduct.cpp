// The embedded product: Trelvix 2027, English (United States), installed
// under Program Files, with its user folders under the current user's real
// profile. Written in the configuration file format, so that it doubles as
// the reference example of that format.
#include <cstdio>
#include <cstdlib>

#include "ProductJson.h"

namespace Veltrane::Trelvix::PAL {

namespace {
constexpr char kDefaultProduct[] = R"json({
  "roamingRootName": "Software\\Veltrane\\Trelvix\\R27.0\\TRLV-7001:409",
  "productCultureSpecificRootName": "Software\\Veltrane\\Trelvix\\R27.0\\TRLV-7001:409",
  "productGlobalRootName": "Software\\Veltrane\\Trelvix\\R27.0",
  "currentLanguageName": "en-US",
  "currentProduct": "TRLV",
  "currentProductIdentityIniPath": "%ProgramFiles%\\Veltrane\\Trelvix 2027\\Setup\\en-US\\ProductIdentity.ini",
  "verticalPath": "%ProgramFiles%\\Veltrane\\Trelvix 2027\\Verticals\\Trelvix",
  "resDir": "%ProgramFiles%\\Veltrane\\Trelvix 2027",
  "myDocumentsPath": "%USERPROFILE%\\Documents",
  "pathSeparator": "\\",
  "productSettings": {
    "": [
      { "values": {
          "RoamableRootFolder": "%APPDATA%\\Veltrane\\Trelvix 2027\\R27.0\\",
          "RoamableRootFolderLang": "%APPDATA%\\Veltrane\\Trelvix 2027\\R27.0\\en-US\\",
          "LocalRootFolder": "%LOCALAPPDATA%\\Veltrane\\Trelvix 2027\\R27.0\\",
          "LocalRootFolderLang": "%LOCALAPPDATA%\\Veltrane\\Trelvix 2027\\R27.0\\en-US\\",
          "VeltraneSharedFolder": "%CommonProgramFiles%\\Veltrane Shared\\",
          "VeltraneSharedFolderLang": "%CommonProgramFiles%\\Veltrane Shared\\en-US\\",
          "AllUsersFolder": "%ProgramData%\\Veltrane\\Trelvix 2027\\R27.0\\",
          "GraphicsCacheFolder": "%LOCALAPPDATA%\\Veltrane\\Trelvix 2027\\R27.0\\en-US\\GraphicsCache\\",
          "SandboxCrashSaveFolder": "%LOCALAPPDATA%\\Veltrane\\Trelvix 2027\\R27.0\\en-US\\CrashSave\\",
          "SupportFolder": "%APPDATA%\\Veltrane\\Trelvix 2027\\R27.0\\Support\\",
          "SupportFolderLang": "%APPDATA%\\Veltrane\\Trelvix 2027\\R27.0\\Support\\en-US\\",
          "DefaultHelpFileName": "trelvix.chm"
      } }
    ],
    "ProductSpecific": [
      { "values": {
          "LicenseFile": "%ProgramData%\\Veltrane\\Trelvix 2027\\R27.0\\License\\trelvix.lic",
          "StartupScript": "%APPDATA%\\Veltrane\\Trelvix 2027\\R27.0\\en-US\\Support\\startup.tvs"
      } }
    ]
  },
  "profiles": {
    "General": { "TRLVHELP": "", "HELP": "" }
  }
})json";
}  // namespace

ProductState defaultProductState() {
    std::string problem;
    auto state = parseProductState(kDefaultProduct, true, problem);
    if (!state) {
        // Only a broken build gets here; there is no sensible product to fall back to.
        std::fprintf(stderr, "TvPal: embedded default product: %s\n", problem.c_str());
        std::abort();
    }
    return std::move(*state);
}

}  // namespace Veltrane::Trelvix::PAL
