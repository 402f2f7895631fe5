// A host that does what long-lived hosts do to UserData.dll over and over,
// with nothing of the library linked in, so that every load is a real one.
//   - load-cycles: load UserData.dll (and with it TvPal.dll), hand it a
//     product the platform layer refuses, then the default one, call the
//     getters on eight host threads at once, each of which must get the
//     answers the host got, and free it while those threads still run; they
//     end afterwards.
//   - reinit-cycles: one load, initialised with two products in turn; the UI
//     language pointer taken first must still read its text.
//   - thread-churn: one load, short-lived host threads one after another,
//     each calling the getters.
// Exits 0 when the free TLS indexes, the next handle value and the heap bytes
// in use are where they were after each soak's warm-up; 1, with the figures,
// when any moved. The load cycles are the first argument, or
// USERDATA_SOAK_CYCLES; the other soaks scale with them.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <fstream>
#include <string>
#include <vector>

#include "UserDataExportNames.h"
#include "common/BesideThisProgram.h"
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

// The DLLs are loaded by full path, and the products handed over as files
// beside this program, the way a host hands over its own.
using userdata::BesideThisProgram;
using userdata::ExportedName;
const std::wstring kRefusedProduct = BesideThisProgram(L"load_cycles-refused.json");
const std::wstring kOtherProduct = BesideThisProgram(L"load_cycles-other.json");

// One load of UserData.dll and the exports a cycle calls.
struct Library {
    userdata::UniqueModule module{LoadLibraryW(BesideThisProgram(L"UserData.dll").c_str())};
    template <typename Function>
    Function get(const char* name) const {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module.get(), name)));
    }
    unsigned init(const wchar_t* product) const {
        const auto init = get<unsigned (*)(const wchar_t*, const wchar_t*)>(ExportedName("tvudInitProductParams", 2));
        return init(product, L"");
    }
};

// The nineteen folders, the help file and the context-help file, joined.
std::wstring Answers(const Library& library) {
    std::wstring answers;
    wchar_t buffer[2048];
    const auto folder = library.get<unsigned (*)(int, wchar_t*, size_t)>(
        ExportedName("tvudGetSpecialFolder", 3));
    for (int value = 0; value < 19; ++value)
        answers += (folder(value, buffer, 2048) ? buffer : L"-") + std::wstring(L"|");
    for (const char* name : {ExportedName("GetHelpFileName", 2), ExportedName("GetContextFileName", 2)})
        answers += library.get<unsigned (*)(wchar_t*, unsigned long)>(name)(buffer, 2048) ? buffer : L"-";
    return answers;
}

// Host threads that each call the getters once, and then wait to be let go
// so that they can still be running when the host frees the DLL. Each must
// get the answers the host got on its own thread.
class HostThreads {
public:
    HostThreads(const Library& library, int count) : library_(library), expected_(Answers(library)) {
        for (int i = 0; i < count; ++i) threads_.emplace_back(CreateThread(nullptr, 0, Run, this, 0, nullptr));
    }
    void waitUntilCalled() const {
        for (size_t i = 0; i < threads_.size(); ++i) WaitForSingleObject(called_.get(), INFINITE);
    }
    // Lets the threads end and waits for them; true when each got the answers.
    bool release() const {
        SetEvent(released_.get());
        bool answered = true;
        for (const auto& thread : threads_) {
            DWORD code = 1;
            answered = thread && WaitForSingleObject(thread.get(), INFINITE) == WAIT_OBJECT_0 &&
                       GetExitCodeThread(thread.get(), &code) && code == 0 && answered;
        }
        return answered;
    }

private:
    static DWORD WINAPI Run(void* self) {
        const auto& threads = *static_cast<const HostThreads*>(self);
        const bool answered = Answers(threads.library_) == threads.expected_;
        ReleaseSemaphore(threads.called_.get(), 1, nullptr);
        WaitForSingleObject(threads.released_.get(), INFINITE);
        return answered ? 0 : 1;
    }
    const Library& library_;
    const std::wstring expected_;
    userdata::UniqueHandle called_{CreateSemaphoreW(nullptr, 0, 64, nullptr)};
    userdata::UniqueHandle released_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::vector<userdata::UniqueHandle> threads_;
};

bool LoadCycle() {
    Library library;
    if (!library.module || library.init(kRefusedProduct.c_str()) != 1 || library.init(L"") != 0) return false;
    const HostThreads threads(library, 8);
    threads.waitUntilCalled();
    library.module.reset();  // under the eight running threads
    return threads.release();
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
    const long cycles = std::atol(argc > 1 ? argv[1] : fromEnvironment ? fromEnvironment : "100");
    std::freopen("NUL", "w", stderr);  // the platform layer's line for each refused product
    std::ofstream(kRefusedProduct.c_str()) << R"({"noSuchKey": 1})";
    std::ofstream(kOtherProduct.c_str()) << R"({"currentLanguageName": "de-DE"})";
    bool flat = Soak("load-cycles", cycles, LoadCycle);

    const Library library;
    if (!library.module || library.init(L"") != 0) return 1;
    flat = Soak("thread-churn", cycles * 10, [&] { return HostThreads(library, 1).release(); }) && flat;
    // The UI language pointer taken first must read its text after every
    // re-initialisation, with the other product as with its own.
    const wchar_t* language = library.get<const wchar_t* (*)()>(ExportedName("tvudGetProductUILanguage", 0))();
    long reinitialisations = 0;
    flat = Soak("reinit-cycles", cycles * 10, [&] {
        const wchar_t* product = ++reinitialisations % 2 ? kOtherProduct.c_str() : L"";
        return library.init(product) == 0 && std::wcscmp(language, L"en-US") == 0;
    }) && flat;
    return flat ? 0 : 1;
}
