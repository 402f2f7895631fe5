// A host that does what long-lived hosts do to UserData.dll over and over,
// with nothing of the library linked in, so that every load is a real one.
//   - Load cycles: load UserData.dll (and with it TvPal.dll), initialise it,
//     resolve every folder and the help files, free it.
//   - Re-initialisation cycles: one load, the same product initialised again
//     and again; the UI language pointer taken first must stay readable.
// Exits 0 when the free TLS indexes, the next handle value and the heap bytes
// in use are where they were after the warm-up; 1, with the figures, when any
// moved. The count of each is the first argument, or USERDATA_SOAK_CYCLES.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

#include "common/UniqueAny.h"

namespace {

struct Resources {
    unsigned long freeTlsIndexes = 0;
    unsigned long long nextHandle = 0;  // handed out lowest free first: a leak moves it up
    unsigned long long heapInUse = 0;
};

Resources Measure() {
    Resources now;
    DWORD taken[2048];
    while (now.freeTlsIndexes < 2048 && (taken[now.freeTlsIndexes] = TlsAlloc()) != TLS_OUT_OF_INDEXES)
        ++now.freeTlsIndexes;
    for (DWORD i = 0; i < now.freeTlsIndexes; ++i) TlsFree(taken[i]);
    now.nextHandle = reinterpret_cast<std::uintptr_t>(
        userdata::UniqueHandle(CreateEventW(nullptr, FALSE, FALSE, nullptr)).get());
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    for (DWORD i = 0; i < count && i < 64; ++i) {
        PROCESS_HEAP_ENTRY entry{};
        HeapLock(heaps[i]);
        while (HeapWalk(heaps[i], &entry)) now.heapInUse += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) ? entry.cbData : 0;
        HeapUnlock(heaps[i]);
    }
    return now;
}

template <typename Function>
Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
unsigned Init(HMODULE library) {
    return Export<unsigned (*)(const wchar_t*, const wchar_t*)>(library, "tvudInitProductParams")(L"", L"");
}

bool LoadCycle() {
    const userdata::UniqueModule library(LoadLibraryW(L"UserData.dll"));
    if (!library || Init(library.get()) != 0) return false;
    wchar_t buffer[2048];
    const auto folder = Export<unsigned (*)(int, wchar_t*, size_t)>(
        library.get(), "_Z20tvudGetSpecialFolderN17TvUdSpecialFolder7FoldersEPwy");
    for (int value = 0; value < 19; ++value) folder(value, buffer, 2048);
    using Getter = unsigned (*)(wchar_t*, unsigned long);
    Export<Getter>(library.get(), "_Z15GetHelpFileNamePwm")(buffer, 2048);
    return Export<Getter>(library.get(), "_Z18GetContextFileNamePwm")(buffer, 2048) != 0;
}

// Runs `cycle` for the warm-up and then `cycles` times; true when nothing moved.
template <typename Cycle>
bool Soak(const char* name, long cycles, Cycle cycle) {
    constexpr long kWarmUp = 20;
    Resources before;
    for (long i = 0; i < kWarmUp + cycles; ++i) {
        if (i == kWarmUp) before = Measure();
        if (!cycle()) return std::printf("%s: cycle %ld failed\n", name, i), false;
    }
    const Resources after = Measure();
    std::printf("%s: %ld cycles after %ld warm-up: free TLS indexes %lu -> %lu, next handle %#llx -> %#llx, "
                "heap in use %llu -> %llu bytes\n", name, cycles, kWarmUp, before.freeTlsIndexes, after.freeTlsIndexes,
                before.nextHandle, after.nextHandle, before.heapInUse, after.heapInUse);
    return after.freeTlsIndexes == before.freeTlsIndexes && after.nextHandle == before.nextHandle &&
           after.heapInUse <= before.heapInUse;
}

}  // namespace

int main(int argc, char** argv) {
    const char* fromEnvironment = std::getenv("USERDATA_SOAK_CYCLES");
    const long cycles = std::atol(argc > 1 ? argv[1] : fromEnvironment ? fromEnvironment : "200");
    const bool loadsFlat = Soak("load-cycles", cycles, LoadCycle);

    const userdata::UniqueModule library(LoadLibraryW(L"UserData.dll"));
    if (!library || Init(library.get()) != 0) return 1;
    const wchar_t* language = Export<const wchar_t* (*)()>(library.get(), "tvudGetProductUILanguage")();
    const bool initsFlat = Soak("reinit-cycles", cycles * 10, [&] { return Init(library.get()) == 0; });
    if (std::wcscmp(language, L"en-US") != 0) return std::puts("reinit-cycles: the UI language taken first is lost"), 1;
    return loadsFlat && initsFlat ? 0 : 1;
}
