#include <windows.h>

#include "ModuleState.h"

// The statically linked C++ runtime's own clean-up (its emergency exception
// pool); libstdc++ defines it but declares it in no header.
namespace __gnu_cxx {
void __freeres() noexcept;
}

namespace userdata {
namespace {
bool attached = false;
}
void MarkAttached() { attached = true; }
bool IsAttached() { return attached; }
}  // namespace userdata

// Reports success for every notification; the library starts no threads and
// needs no per-thread set-up. A host that unloads the library (a null
// `reserved` on detach) gets the runtime's memory back; at process exit the
// process's end releases it anyway.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) userdata::MarkAttached();
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) __gnu_cxx::__freeres();
    return TRUE;
}
