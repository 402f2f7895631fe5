// What a DLL of this project gives back when a host frees it.
#pragma once

#include <windows.h>

// The C++ runtime's own clean-up; libstdc++ defines it but declares it in no
// header.
namespace __gnu_cxx {
void __freeres() noexcept;
}

namespace userdata {

// For the DLL's entry point. The C++ runtime linked into each DLL allocates
// its emergency exception pool when the DLL is loaded and never frees it, so
// every load and free would leave the pool behind in a host that goes on.
// A detach with a null `reserved` is FreeLibrary: the pool is handed back.
// At process exit (non-null `reserved`) nothing is freed: the process's end
// releases it, and other modules' destructors may still be running.
inline void ReleaseRuntimeOnFreeLibrary(DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) __gnu_cxx::__freeres();
}

}  // namespace userdata
