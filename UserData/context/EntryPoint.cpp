#include <windows.h>

#include "ModuleState.h"
#include "common/RuntimeRelease.h"

namespace userdata {
namespace {
bool attached = false;
}
void MarkAttached() { attached = true; }
bool IsAttached() { return attached; }
}  // namespace userdata

// Reports success for every notification; the library starts no threads and
// needs no per-thread set-up.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) userdata::MarkAttached();
    userdata::ReleaseRuntimeOnFreeLibrary(reason, reserved);
    return TRUE;
}
