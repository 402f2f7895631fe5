#include <windows.h>

#include "common/RuntimeRelease.h"

// The stand-in keeps its product in static objects, whose destructors the C
// runtime runs after this; only the C++ runtime's own leftovers need a hand.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    userdata::ReleaseRuntimeOnFreeLibrary(reason, reserved);
    return TRUE;
}
