#include "BuildIdentity.h"

#include "UserDataBuildIdentity.h"

namespace userdata {

const wchar_t* BuildVersion() { return L"" USERDATA_FILE_VERSION; }

const wchar_t* BuildIdentity() { return L"" USERDATA_BUILD_IDENTITY; }

}  // namespace userdata
