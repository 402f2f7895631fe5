// The stack protector's guard value and failure handlers, for the DLLs.
//
// libssp seeds the guard in a constructor through the CryptoAPI, which loads
// a cryptographic service provider at every load of the DLL and unloads it
// at every free: under Wine that alone made loading and freeing a DLL about
// four times dearer (a random number generator from bcrypt costs the same:
// bcrypt.dll is loaded and freed with the DLL). Defined here, these keep
// libssp's own set-up out of the DLLs; its other checks, those of
// _FORTIFY_SOURCE, are still libssp's.
//
// The guard is seeded the way the Microsoft C runtime seeds the security
// cookie of every DLL it builds: from the high-resolution counter, the time,
// the process and thread and the tick count, and an address that ASLR
// places anew at each load. It runs before any other constructor of the
// DLL, in a function without a guard of its own: the guard changes while it
// runs.
//
// A failed check ends the process at once with __fastfail, as the checks of
// Microsoft's compiler do: a host whose stack was smashed must not go on to
// run handlers of its own.
#include <windows.h>

// Any value until seeded.
void* __stack_chk_guard = (void*)(UINT_PTR)0x2f8d3c6e5a7b1904ull;

__attribute__((constructor(101), no_stack_protector)) static void SeedStackGuard(void) {
    LARGE_INTEGER counter;
    FILETIME now;
    QueryPerformanceCounter(&counter);
    GetSystemTimeAsFileTime(&now);
    UINT_PTR guard = (UINT_PTR)counter.QuadPart ^ ((UINT_PTR)now.dwHighDateTime << 32 | now.dwLowDateTime);
    guard ^= (UINT_PTR)GetCurrentProcessId() << 32 ^ GetCurrentThreadId() ^ (UINT_PTR)GetTickCount64() << 16;
    guard ^= (UINT_PTR)&__stack_chk_guard * 0x9E3779B97F4A7C15ull;
    __stack_chk_guard = (void*)(guard != 0 ? guard : (UINT_PTR)__stack_chk_guard);
}

static __attribute__((noreturn)) void FailFast(unsigned int code) {
    __asm__ volatile("int $0x29" : : "c"(code));
    __builtin_unreachable();
}

__attribute__((noreturn)) void __stack_chk_fail(void) { FailFast(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE); }
__attribute__((noreturn)) void __stack_chk_fail_local(void) { FailFast(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE); }
// A fortified call (memcpy and the like) found its destination too small.
__attribute__((noreturn)) void __chk_fail(void) { FailFast(FAST_FAIL_RANGE_CHECK_FAILURE); }
