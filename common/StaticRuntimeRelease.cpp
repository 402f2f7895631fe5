// Gives back, when a host unloads this DLL, what the statically linked C and
// C++ runtimes took from the process and never return by themselves.
//
// The posix-thread runtime (winpthreads) and the emulated thread-local
// storage of libgcc allocate at first use: a TLS index, a thread handle and
// events for each thread that runs a once-initialisation, and small blocks
// for mutexes, keys and per-thread data. None of it is freed at unload. A
// host that loads and frees the DLL some five hundred times runs out of TLS
// indexes, and the runtime then aborts the process.
//
// The linker routes the C runtime's calls (see common/CMakeLists.txt)
// through the recorders below, and the entry point frees whatever is still
// recorded once the C runtime has finished its own unloading. C++ objects
// never pass through the recorders: operator new and delete are replaced
// here, so a string handed to the host stays the host's to free.
#include <windows.h>

#include <cstdlib>
#include <new>

// The C++ runtime's own clean-up (its emergency exception pool); libstdc++
// defines it but declares it in no header.
namespace __gnu_cxx {
void __freeres() noexcept;
}

extern "C" {
// What the wrapped names stood for before the linker routed them here.
void* __real_malloc(std::size_t bytes);
void* __real_calloc(std::size_t count, std::size_t bytes);
void* __real_realloc(void* block, std::size_t bytes);
void __real_free(void* block);
extern DWORD(WINAPI* __real___imp_TlsAlloc)();
extern HANDLE(WINAPI* __real___imp_CreateEventA)(LPSECURITY_ATTRIBUTES, BOOL, BOOL, LPCSTR);
extern HANDLE(WINAPI* __real___imp_CreateSemaphoreA)(LPSECURITY_ATTRIBUTES, LONG, LONG, LPCSTR);
extern BOOL(WINAPI* __real___imp_DuplicateHandle)(HANDLE, HANDLE, HANDLE, LPHANDLE, DWORD, BOOL, DWORD);
extern BOOL(WINAPI* __real___imp_CloseHandle)(HANDLE);
extern void(WINAPI* __real___imp_InitializeCriticalSection)(LPCRITICAL_SECTION);
extern void(WINAPI* __real___imp_DeleteCriticalSection)(LPCRITICAL_SECTION);
}

namespace {

// The recorders may run on any thread at once; this lock needs no set-up
// and no clean-up, so it is safe from the first call to the last.
SRWLOCK lock = SRWLOCK_INIT;

// A fixed set of slots: recording must not allocate. What finds no free
// slot is simply not given back at unload.
template <typename Item, int Slots>
class Recorded {
public:
    void add(Item item) {
        if (item == Item{}) return;
        AcquireSRWLockExclusive(&lock);
        for (Item& slot : slots_) {
            if (slot == Item{}) {
                slot = item;
                break;
            }
        }
        ReleaseSRWLockExclusive(&lock);
    }
    void remove(Item item) {
        if (item == Item{}) return;
        AcquireSRWLockExclusive(&lock);
        for (Item& slot : slots_) {
            if (slot == item) {
                slot = Item{};
                break;
            }
        }
        ReleaseSRWLockExclusive(&lock);
    }
    // Hands each recorded item to `release` and forgets it. Only at unload,
    // when no other thread runs this DLL's code.
    template <typename Release>
    void releaseAll(Release release) {
        for (Item& slot : slots_) {
            if (slot != Item{}) release(slot);
            slot = Item{};
        }
    }

private:
    Item slots_[Slots] = {};
};

// TLS indexes are stored one up, so that index 0 is not taken for "none".
Recorded<DWORD, 8> tlsIndexesPlusOne;
Recorded<HANDLE, 512> handles;
Recorded<void*, 2048> blocks;
Recorded<LPCRITICAL_SECTION, 256> criticalSections;

void ReleaseRecorded() {
    // Critical sections first: some live in the blocks freed next.
    criticalSections.releaseAll([](LPCRITICAL_SECTION section) { __real___imp_DeleteCriticalSection(section); });
    blocks.releaseAll([](void* block) { __real_free(block); });
    handles.releaseAll([](HANDLE handle) { __real___imp_CloseHandle(handle); });
    tlsIndexesPlusOne.releaseAll([](DWORD indexPlusOne) { TlsFree(indexPlusOne - 1); });
}

void* AllocateForCxx(std::size_t bytes) {
    for (;;) {
        if (void* block = __real_malloc(bytes == 0 ? 1 : bytes)) return block;
        const std::new_handler handler = std::get_new_handler();
        if (handler == nullptr) throw std::bad_alloc();
        handler();
    }
}

}  // namespace

// C++ allocations bypass the recorders.
void* operator new(std::size_t bytes) { return AllocateForCxx(bytes); }
void* operator new[](std::size_t bytes) { return AllocateForCxx(bytes); }
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept { return __real_malloc(bytes == 0 ? 1 : bytes); }
void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept {
    return __real_malloc(bytes == 0 ? 1 : bytes);
}
void operator delete(void* block) noexcept { __real_free(block); }
void operator delete[](void* block) noexcept { __real_free(block); }
void operator delete(void* block, std::size_t) noexcept { __real_free(block); }
void operator delete[](void* block, std::size_t) noexcept { __real_free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { __real_free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { __real_free(block); }

extern "C" {

void* __wrap_malloc(std::size_t bytes) {
    void* block = __real_malloc(bytes);
    blocks.add(block);
    return block;
}

void* __wrap_calloc(std::size_t count, std::size_t bytes) {
    void* block = __real_calloc(count, bytes);
    blocks.add(block);
    return block;
}

void* __wrap_realloc(void* block, std::size_t bytes) {
    void* moved = __real_realloc(block, bytes);
    if (moved != nullptr || bytes == 0) blocks.remove(block);
    blocks.add(moved);
    return moved;
}

void __wrap_free(void* block) {
    blocks.remove(block);
    __real_free(block);
}

static DWORD WINAPI RecordedTlsAlloc() {
    const DWORD index = __real___imp_TlsAlloc();
    if (index != TLS_OUT_OF_INDEXES) tlsIndexesPlusOne.add(index + 1);
    return index;
}

static HANDLE WINAPI RecordedCreateEventA(LPSECURITY_ATTRIBUTES security, BOOL manualReset, BOOL initialState,
                                          LPCSTR name) {
    const HANDLE event = __real___imp_CreateEventA(security, manualReset, initialState, name);
    handles.add(event);
    return event;
}

static HANDLE WINAPI RecordedCreateSemaphoreA(LPSECURITY_ATTRIBUTES security, LONG initial, LONG maximum,
                                              LPCSTR name) {
    const HANDLE semaphore = __real___imp_CreateSemaphoreA(security, initial, maximum, name);
    handles.add(semaphore);
    return semaphore;
}

static BOOL WINAPI RecordedDuplicateHandle(HANDLE sourceProcess, HANDLE source, HANDLE targetProcess,
                                           LPHANDLE target, DWORD access, BOOL inherit, DWORD options) {
    const BOOL duplicated =
        __real___imp_DuplicateHandle(sourceProcess, source, targetProcess, target, access, inherit, options);
    if (duplicated && target != nullptr && targetProcess == GetCurrentProcess()) handles.add(*target);
    return duplicated;
}

static BOOL WINAPI ForgettingCloseHandle(HANDLE handle) {
    handles.remove(handle);
    return __real___imp_CloseHandle(handle);
}

static void WINAPI RecordedInitializeCriticalSection(LPCRITICAL_SECTION section) {
    __real___imp_InitializeCriticalSection(section);
    criticalSections.add(section);
}

static void WINAPI ForgettingDeleteCriticalSection(LPCRITICAL_SECTION section) {
    criticalSections.remove(section);
    __real___imp_DeleteCriticalSection(section);
}

DWORD(WINAPI* __wrap___imp_TlsAlloc)() = RecordedTlsAlloc;
HANDLE(WINAPI* __wrap___imp_CreateEventA)(LPSECURITY_ATTRIBUTES, BOOL, BOOL, LPCSTR) = RecordedCreateEventA;
HANDLE(WINAPI* __wrap___imp_CreateSemaphoreA)(LPSECURITY_ATTRIBUTES, LONG, LONG, LPCSTR) = RecordedCreateSemaphoreA;
BOOL(WINAPI* __wrap___imp_DuplicateHandle)(HANDLE, HANDLE, HANDLE, LPHANDLE, DWORD, BOOL, DWORD) =
    RecordedDuplicateHandle;
BOOL(WINAPI* __wrap___imp_CloseHandle)(HANDLE) = ForgettingCloseHandle;
void(WINAPI* __wrap___imp_InitializeCriticalSection)(LPCRITICAL_SECTION) = RecordedInitializeCriticalSection;
void(WINAPI* __wrap___imp_DeleteCriticalSection)(LPCRITICAL_SECTION) = ForgettingDeleteCriticalSection;

// The C runtime's own entry point: it runs DllMain, the static constructors
// and, on unload, the destructors and the runtime's clean-up.
BOOL WINAPI DllMainCRTStartup(HANDLE module, DWORD reason, LPVOID reserved);

// This DLL's entry point. A null `reserved` on detach means FreeLibrary:
// the process goes on, so what the runtimes kept must be given back. At
// process exit nothing is freed; the process's end releases it.
BOOL WINAPI StaticRuntimeEntryPoint(HANDLE module, DWORD reason, LPVOID reserved) {
    const BOOL result = DllMainCRTStartup(module, reason, reserved);
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        __gnu_cxx::__freeres();
        ReleaseRecorded();
    }
    return result;
}

}  // extern "C"
