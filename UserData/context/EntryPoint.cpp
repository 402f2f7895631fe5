#include <windows.h>

#include "ModuleState.h"

namespace userdata {
namespace {
bool attached = false;
}
void MarkAttached() { attached = true; }
bool IsAttached() { return attached; }
}  // namespace userdata

// Reports success for every notification; the library starts no threads and
// needs no per-thread set-up. What the static runtimes keep is given back at
// unload by the DLL's entry point around this one (common/StaticRuntimeRelease.cpp).
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) userdata::MarkAttached();
    return TRUE;
}
