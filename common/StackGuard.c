// The stack protector's guard and failure handlers, for the DLLs.
//
// libssp would seed the guard through the CryptoAPI, loading a cryptographic
// service provider at every load of the DLL; defined here, these keep its
// set-up out. Its checks of _FORTIFY_SOURCE stay libssp's, failing through
// __chk_fail below.
//
// The guard is the DLL's security cookie: _load_config_used names it, and
// the build points the image's load configuration directory at that
// structure (cmake/point-load-config.py). While the guard holds the default
// cookie, the loader replaces it at every load, before any code of the DLL
// runs. A loader's value is not trusted alone: Wine's comes from RtlRandom,
// seeded with the tick count and the process id, and repeats across
// processes. So the DLL's first constructor folds in 48 bits from the
// system's generator (RtlGenRandom, in advapi32: no provider to load), which
// also seeds the guard where no loader replaced the default. The top 16 bits
// stay clear, as in the loader's and Microsoft's C runtime's cookies: an
// overflow by a string copy cannot write their two zero bytes and go on.
//
// A failed check ends the process at once with __fastfail: a host whose
// stack was smashed must not go on to run handlers of its own.
#include <windows.h>
#include <ntsecapi.h>

#define DEFAULT_SECURITY_COOKIE 0x00002B992DDFA232ull
#define COOKIE_BITS 0x0000FFFFFFFFFFFFull

UINT_PTR __stack_chk_guard = DEFAULT_SECURITY_COOKIE;

const IMAGE_LOAD_CONFIG_DIRECTORY64 _load_config_used = {
    .Size = sizeof(IMAGE_LOAD_CONFIG_DIRECTORY64),
    .SecurityCookie = (ULONGLONG)&__stack_chk_guard,
};

// Without a guard of its own: the guard changes while it runs.
__attribute__((constructor(101), no_stack_protector)) static void FoldInTheSystemsRandomBits(void) {
    UINT_PTR bits;
    if (!RtlGenRandom(&bits, sizeof bits)) {
        // Not the loader's value or the well-known default, at least.
        LARGE_INTEGER counter;
        QueryPerformanceCounter(&counter);
        bits = (UINT_PTR)counter.QuadPart * 0x9E3779B97F4A7C15ull;
    }
    __stack_chk_guard = (__stack_chk_guard ^ bits) & COOKIE_BITS;
}

static __attribute__((noreturn)) void FailFast(unsigned int code) {
    __asm__ volatile("int $0x29" : : "c"(code));
    __builtin_unreachable();
}

__attribute__((noreturn)) void __stack_chk_fail(void) { FailFast(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE); }
// A fortified call (memcpy and the like) found its destination too small.
__attribute__((noreturn)) void __chk_fail(void) { FailFast(FAST_FAIL_RANGE_CHECK_FAILURE); }
