#include "InstallState.h"

namespace userdata {

bool s_secondaryInstall = false;
bool s_environmentRecorded = false;

}  // namespace userdata
