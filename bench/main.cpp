// udbench: how fast UserData.dll answers, measured side by side with what
// the same work costs at least (its floor: the same platform, registry and
// file calls made directly) and with the system's own answer to a similar
// question (its peer), in one run on one machine. Every figure that counts
// is a ratio of batches run in turn, so a noisy machine skews both sides.
#include <windows.h>

#include <knownfolders.h>
#include <malloc.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <iterator>
#include <string>
#include <vector>

#include "Floors.h"
#include "Library.h"
#include "Measure.h"
#include "Report.h"
#include "Workspace.h"

namespace {

using namespace udbench;
using Folders = TvUdSpecialFolder::Folders;

constexpr char kUsage[] =
    "usage: udbench [--batches N] [--batch-ms MS] [--filter TEXT]\n"
    "\n"
    "Times UserData.dll's exports against their floors and peers and prints\n"
    "Markdown tables. Each figure is the median of N batches (default 15) of\n"
    "about MS milliseconds each (default 10); ratios are taken batch by batch.\n"
    "--filter times only the operations whose name contains TEXT (for work on\n"
    "one of them; the installation pass is named InstallUserData).\n"
    "Writes keys below Software\\VeltraneBench in HKLM and HKCU, registers the\n"
    "product's COM server by a relative path, and removes all of it again.\n";

constexpr std::size_t kBuffer = 2048;
constexpr wchar_t kStringsDll[] = L"udbench_strings.dll";
constexpr wchar_t kMuiReference[] = L"@udbench_strings.dll,-123";
constexpr unsigned int kMuiId = 123;

using TvUdSpecialFolder::kFolderNames;

int failures = 0;  // checks that did not hold; the exit status

void Check(bool holds, const std::string& what) {
    if (holds) return;
    ++failures;
    std::printf("CHECK FAILED: %s\n", what.c_str());
}

bool Selected(const Options& options, const std::string& operation) {
    return options.filter.empty() || operation.find(options.filter) != std::string::npos;
}

std::string Narrow(const wchar_t* text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(n - 1));
    return out;
}

// Runs `call(buffer)` n times per batch.
template <typename Call>
Timed Loop(Call call) {
    Timed timed;
    timed.run = [call](std::uint64_t n) {
        wchar_t buffer[kBuffer];
        std::uint64_t sum = 0;
        for (std::uint64_t i = 0; i < n; ++i) sum += call(buffer);
        Consume(sum);
    };
    return timed;
}

// The export and its floor must hand out the same answer, or the floor
// would not be doing the export's work.
template <typename Export, typename Floor>
void CheckSameAnswer(const std::string& what, Export exportCall, Floor floorCall) {
    wchar_t fromExport[kBuffer] = {};
    wchar_t fromFloor[kBuffer] = {};
    const unsigned int exportResult = exportCall(fromExport);
    const unsigned int floorResult = floorCall(fromFloor);
    Check(exportResult != 0 && exportResult == floorResult && std::wcscmp(fromExport, fromFloor) == 0,
          what + ": export gives " + std::to_string(exportResult) + " \"" + Narrow(fromExport) + "\", floor " +
              std::to_string(floorResult) + " \"" + Narrow(fromFloor) + "\"");
}

template <typename Export, typename Floor>
void AgainstFloor(std::vector<FloorRow>& rows, const std::string& operation, Export exportCall, Floor floorCall,
                  Target target, const Options& options) {
    if (!Selected(options, operation)) return;
    CheckSameAnswer(operation, exportCall, floorCall);
    Timed op = Loop(exportCall);
    Timed floor = Loop(floorCall);
    RunSideBySide({&op, &floor}, options);
    rows.push_back({operation, op.stats(), floor.stats(), RatioOf(op, floor), target});
}

std::string MachineDescription() {
    std::string cpu = "unknown CPU";
    wchar_t name[256];
    DWORD bytes = sizeof name;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                     L"ProcessorNameString", RRF_RT_REG_SZ, nullptr, name, &bytes) == ERROR_SUCCESS)
        cpu = Narrow(name);
    SYSTEM_INFO system;
    GetNativeSystemInfo(&system);
    std::string wine = "not Wine";
    using WineVersion = const char* (*)();
    const auto version = reinterpret_cast<WineVersion>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")));
    if (version != nullptr) wine = std::string("Wine ") + version();
    SYSTEMTIME now;
    GetLocalTime(&now);
    char date[32];
    std::snprintf(date, sizeof date, "%04u-%02u-%02u %02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute);
    return cpu + ", " + std::to_string(system.dwNumberOfProcessors) + " logical processors, " + wine + ", " + date;
}

bool MsiLoaded() { return GetModuleHandleW(L"msi.dll") != nullptr; }

// ---------------------------------------------------------------------------

// Bytes in use in the C runtime's heap, which every std::wstring of the
// library and the platform layer comes from; -1 when it cannot be walked.
long long HeapBytesInUse() {
    _HEAPINFO entry{};
    long long used = 0;
    int status;
    while ((status = _heapwalk(&entry)) == _HEAPOK) {
        if (entry._useflag == _USEDENTRY) used += static_cast<long long>(entry._size);
    }
    return status == _HEAPEND ? used : -1;
}

// The stripped copy of UserData.dll that the build puts beside the benchmark.
std::wstring StrippedCopy() {
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::wstring path(self, length);
    path.resize(path.rfind(L'\\') + 1);
    path += L"udbench-stripped\\UserData.dll";
    return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES ? std::wstring() : path;
}

Timed LoadAndFree(const std::wstring& library) {
    Timed timed;
    timed.run = [library](std::uint64_t n) {
        for (std::uint64_t i = 0; i < n; ++i) FreeLibrary(LoadLibraryW(library.c_str()));
    };
    return timed;
}

// Loading and freeing UserData.dll, while nothing else holds it, next to a
// stripped copy and to a resource-only DLL that the loader maps and drops
// with no code to run.
void TimeLoadAndFree(const Options& options) {
    if (!Selected(options, "LoadLibraryW")) return;
    std::printf("## Loading and freeing UserData.dll\n\n");
    const HMODULE probe = LoadLibraryW(kUserDataDll);
    Check(probe != nullptr, "UserData.dll loads");
    Check(!MsiLoaded(), "msi.dll is not loaded with UserData.dll");
    FreeLibrary(probe);

    const std::wstring stripped = StrippedCopy();
    Timed asBuilt = LoadAndFree(kUserDataDll);
    Timed strippedCopy = LoadAndFree(stripped);
    Timed resourceOnly = LoadAndFree(kStringsDll);
    std::vector<Timed*> group = {&asBuilt, &resourceOnly};
    if (!stripped.empty()) group.push_back(&strippedCopy);
    RunSideBySide(group, options);
    Check(GetModuleHandleW(kUserDataDll) == nullptr, "UserData.dll is unloaded by its last FreeLibrary");
    Check(!MsiLoaded(), "msi.dll is not loaded after UserData.dll was loaded and freed");

    std::printf("| LoadLibraryW + FreeLibrary of | us/call | spread |\n|---|--:|--:|\n");
    const auto row = [](const char* what, const Timed& timed) {
        const Stats stats = timed.stats();
        std::printf("| %s | %s | %s |\n", what, Nanoseconds(stats.median / 1000).c_str(), Spread(stats, 1e-3).c_str());
    };
    row("UserData.dll as built (with its debug sections)", asBuilt);
    if (!stripped.empty()) row("UserData.dll stripped of its debug sections", strippedCopy);
    row("the resource-only udbench_strings.dll", resourceOnly);

    // What a load and free leaves behind in the C runtime's heap, which the
    // host keeps: the statically linked C++ runtime's own allocations are
    // counted here too.
    constexpr int kCycles = 20;
    const long long before = HeapBytesInUse();
    asBuilt.run(kCycles);
    const long long after = HeapBytesInUse();
    if (before >= 0 && after >= 0)
        std::printf("\nC runtime heap left behind per load and free of UserData.dll: %lld bytes\n",
                    (after - before) / kCycles);
    std::printf("\n");
}

std::vector<FloorRow> TimeGetters(const UserDataExports& ud, const Options& options) {
    const Target target{Target::AtMost, 1.5};
    std::vector<FloorRow> rows;
    AgainstFloor(
        rows, "tvudGetCurrentLanguage", [&ud](wchar_t* b) { return ud.getCurrentLanguage(b, kBuffer); },
        [](wchar_t* b) { return floors::Language(b, kBuffer); }, target, options);
    AgainstFloor(
        rows, "tvudGetMachineProductRegistryRootKey",
        [&ud](wchar_t* b) { return ud.getMachineProductRegistryRootKey(b, kBuffer); },
        [](wchar_t* b) { return floors::MachineRoot(b, kBuffer); }, target, options);
    AgainstFloor(
        rows, "GetHelpFileName", [&ud](wchar_t* b) { return ud.getHelpFileName(b, kBuffer); },
        [](wchar_t* b) { return floors::HelpFile(b, kBuffer); }, target, options);
    AgainstFloor(
        rows, "GetContextFileName", [&ud](wchar_t* b) { return ud.getContextFileName(b, kBuffer); },
        [](wchar_t* b) { return floors::ContextFile(b, kBuffer); }, target, options);
    for (int value = 0; value < TvUdSpecialFolder::kFolderCount; ++value) {
        const auto folder = static_cast<Folders>(value);
        AgainstFloor(
            rows, "tvudGetSpecialFolder(" + std::string(kFolderNames[value]) + ")",
            [&ud, folder](wchar_t* b) { return ud.getSpecialFolder(folder, b, kBuffer); },
            [value](wchar_t* b) { return floors::SpecialFolder(value, b, kBuffer); }, target, options);
    }
    return rows;
}

std::vector<PeerRow> TimeAgainstKnownFolders(const UserDataExports& ud, const Options& options) {
    struct Pair {
        Folders folder;
        const KNOWNFOLDERID* id;
        const char* peer;
    };
    const Pair pairs[] = {
        {TvUdSpecialFolder::LocalRootFolder, &FOLDERID_LocalAppData, "SHGetKnownFolderPath(LocalAppData)"},
        {TvUdSpecialFolder::RoamableRootFolder, &FOLDERID_RoamingAppData, "SHGetKnownFolderPath(RoamingAppData)"},
    };
    std::vector<PeerRow> rows;
    for (const Pair& pair : pairs) {
        const std::string operation = "tvudGetSpecialFolder(" + std::string(kFolderNames[pair.folder]) + ")";
        if (!Selected(options, operation) && !Selected(options, pair.peer)) continue;
        Check(peers::KnownFolder(*pair.id) != 0, std::string(pair.peer) + " answers");
        const Folders folder = pair.folder;
        Timed op = Loop([&ud, folder](wchar_t* b) { return ud.getSpecialFolder(folder, b, kBuffer); });
        const KNOWNFOLDERID* id = pair.id;
        Timed peer = Loop([id](wchar_t*) { return peers::KnownFolder(*id); });
        RunSideBySide({&op, &peer}, options);
        rows.push_back({operation, op.stats(), pair.peer, peer.stats(), RatioOf(peer, op), {Target::AtLeast, 5}});
    }
    return rows;
}

void TimeMuiString(const UserDataExports& ud, const Options& options, std::vector<FloorRow>& floorRows,
                   std::vector<PeerRow>& peerRows) {
    if (!Selected(options, "tvudLoadMUIString")) return;
    wchar_t text[kBuffer] = {};
    Check(ud.loadMuiString(kMuiReference, text, kBuffer) == 16 && std::wcscmp(text, L"Trelvix drawing") == 0,
          "tvudLoadMUIString resolves " + Narrow(kMuiReference) + " (got \"" + Narrow(text) + "\")");
    Timed op = Loop([&ud](wchar_t* b) { return ud.loadMuiString(kMuiReference, b, kBuffer); });
    Timed floor = Loop([](wchar_t* b) { return unsigned(peers::LoadStringFromModule(kStringsDll, kMuiId, b, 260)); });
    Timed peer =
        Loop([](wchar_t* b) { return unsigned(peers::LoadStringAsResourceImage(kStringsDll, kMuiId, b, 260)); });
    RunSideBySide({&op, &floor, &peer}, options);
    floorRows.push_back({"tvudLoadMUIString(@udbench_strings.dll,-123)", op.stats(), floor.stats(), RatioOf(op, floor),
                         {}});
    peerRows.push_back({"tvudLoadMUIString(@udbench_strings.dll,-123)", op.stats(),
                        "LoadLibraryExW(AS_DATAFILE, AS_IMAGE_RESOURCE), LoadStringW, FreeLibrary", peer.stats(),
                        RatioOf(peer, op), {}});
}

void TimeRegSetString(const UserDataExports& ud, const Workspace& workspace, const Options& options,
                      std::vector<PeerRow>& peerRows) {
    if (!Selected(options, "tvudRegSetString")) return;
    const HKEY key = workspace.writerKey();
    const wchar_t* text = workspace.profileText().c_str();
    Check(ud.regSetString(key, L"StartupScript", text) == ERROR_SUCCESS, "tvudRegSetString writes");
    wchar_t stored[kBuffer] = {};
    DWORD bytes = sizeof stored;
    DWORD type = REG_NONE;
    RegGetValueW(key, nullptr, L"StartupScript", RRF_RT_ANY | RRF_NOEXPAND, &type, stored, &bytes);
    Check(type == REG_EXPAND_SZ && std::wcsncmp(stored, L"%USERPROFILE%", 13) == 0,
          "tvudRegSetString puts %USERPROFILE% in (stored \"" + Narrow(stored) + "\")");
    Timed op = Loop([&ud, key, text](wchar_t*) { return ud.regSetString(key, L"StartupScript", text); });
    Timed peer = Loop([key, text](wchar_t*) { return unsigned(peers::SetUnexpandedString(key, L"PeerScript", text)); });
    RunSideBySide({&op, &peer}, options);
    peerRows.push_back({"tvudRegSetString (profile path, table filled)", op.stats(),
                        "PathUnExpandEnvStringsW, RegSetValueExW", peer.stats(), RatioOf(peer, op), {}});
}

void TimeAutoMigrate(const UserDataExports& ud, const Workspace& workspace, const Options& options,
                     std::vector<FloorRow>& rows) {
    if (!Selected(options, "ProcessAutoMigrate")) return;
    Check(floors::AutoMigrateProbe(), "the automatic migration is in its steady state");
    ud.processAutoMigrate();
    Timed op = Loop([&ud](wchar_t*) { return unsigned(ud.processAutoMigrate()); });
    Timed floor = Loop([](wchar_t*) { return unsigned(floors::AutoMigrateProbe()); });
    RunSideBySide({&op, &floor}, options);
    rows.push_back({"ProcessAutoMigrate (steady state)", op.stats(), floor.stats(), RatioOf(op, floor),
                    {Target::AtMost, 2}});
    Check(floors::AutoMigrateProbe(), "the automatic migration is still in its steady state");
    Check(GetFileAttributesW(workspace.migratorLog().c_str()) == INVALID_FILE_ATTRIBUTES,
          "the steady state starts no migrator");
}

bool TimeInstall(const UserDataExports& ud, Workspace& workspace, const Options& options, Tally& tally) {
    if (!Selected(options, "InstallUserData")) return true;
    std::printf("## InstallUserData on a healthy machine (no Installer run)\n\n");
    const Target target{Target::AtMost, 1.5};
    constexpr unsigned int kSizes[] = {1, 10, 100, 1000};
    constexpr std::size_t kSizeCount = std::size(kSizes);
    // Each size is a product of its own, switched to before each of its
    // batches (untimed), so that all sizes and their floors share the same
    // rounds and the growth from one size to the next is measured side by
    // side as well.
    std::wstring configs[kSizeCount];
    Timed ops[kSizeCount];
    Timed floors[kSizeCount];
    std::vector<Timed*> group;
    for (std::size_t i = 0; i < kSizeCount; ++i) {
        std::string problem;
        if (!workspace.createSizedProduct(kSizes[i], configs[i], problem)) {
            Check(false, problem);
            return false;
        }
        const wchar_t* config = configs[i].c_str();
        const auto useProduct = [&ud, config] { (void)ud.initProductParams(config, L""); };
        useProduct();
        Check(floors::InstallPass() == kSizes[i], "every listed product is healthy");
        Check(ud.installUserData() == ERROR_SUCCESS, "InstallUserData succeeds");
        ops[i] = Loop([&ud](wchar_t*) { return ud.installUserData(); });
        ops[i].prepare = useProduct;
        floors[i] = Loop([](wchar_t*) { return floors::InstallPass(); });
        floors[i].prepare = useProduct;
        group.push_back(&ops[i]);
        group.push_back(&floors[i]);
    }
    RunSideBySide(group, options);
    (void)ud.initProductParams(workspace.configFile().c_str(), L"");

    std::vector<InstallRow> rows;
    for (std::size_t i = 0; i < kSizeCount; ++i) {
        rows.push_back({kSizes[i], ops[i].stats(), floors[i].stats(), RatioOf(ops[i], floors[i])});
        tally.add(target.met(rows.back().ratio.median));
    }
    const bool linear = PrintInstallTable(rows, target);
    tally.add(linear);
    return linear;
}

// PrivateUsage where the system reports it; Wine leaves it 0 but fills
// PagefileUsage, which Windows defines as the same commit charge. `counter`
// names the one read.
SIZE_T PrivateBytes(const char*& counter) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    counter = "PrivateUsage";
    if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters))
        return 0;
    if (counters.PrivateUsage != 0) return counters.PrivateUsage;
    counter = "PagefileUsage (PrivateUsage reads 0)";
    return counters.PagefileUsage;
}

bool CheckMemory(const UserDataExports& ud, const Options& options, Tally& tally) {
    if (!Selected(options, "memory")) return true;
    std::printf("## Memory over a million getter calls\n\n");
    // One round: both root getters, the 19 special folders, both help files.
    constexpr int kCallsPerRound = 23;
    const auto round = [&ud] {
        wchar_t buffer[kBuffer];
        std::uint64_t sum = ud.getCurrentLanguage(buffer, kBuffer);
        sum += ud.getMachineProductRegistryRootKey(buffer, kBuffer);
        for (int value = 0; value < TvUdSpecialFolder::kFolderCount; ++value)
            sum += ud.getSpecialFolder(static_cast<Folders>(value), buffer, kBuffer);
        sum += ud.getHelpFileName(buffer, kBuffer);
        sum += ud.getContextFileName(buffer, kBuffer);
        Consume(sum);
    };
    for (int i = 0; i < 1000; ++i) round();
    const char* counter = nullptr;
    const SIZE_T privateBefore = PrivateBytes(counter);
    const long long heapBefore = HeapBytesInUse();
    const int rounds = 1000000 / kCallsPerRound + 1;
    for (int i = 0; i < rounds; ++i) round();
    const SIZE_T privateAfter = PrivateBytes(counter);
    const long long heapAfter = HeapBytesInUse();
    const long long privateGrowth = static_cast<long long>(privateAfter) - static_cast<long long>(privateBefore);
    const long long heapGrowth = heapAfter - heapBefore;
    const bool noGrowth = privateGrowth <= 0 && (heapBefore < 0 || heapAfter < 0 || heapGrowth <= 0);
    std::printf("| Measure | before | after | growth |\n|---|--:|--:|--:|\n");
    std::printf("| private bytes: %s, over %d calls | %llu | %llu | %lld |\n", counter, rounds * kCallsPerRound,
                static_cast<unsigned long long>(privateBefore), static_cast<unsigned long long>(privateAfter),
                privateGrowth);
    if (heapBefore >= 0 && heapAfter >= 0)
        std::printf("| C runtime heap bytes in use | %lld | %lld | %lld |\n", heapBefore, heapAfter, heapGrowth);
    std::printf("\nNo growth: %s\n\n", noGrowth ? "met" : "MISSED");
    tally.add(noGrowth);
    return noGrowth;
}

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--batches" && i + 1 < argc) {
            options.batches = std::max(1, _wtoi(argv[++i]));
        } else if (arg == L"--batch-ms" && i + 1 < argc) {
            options.batchMs = std::max(0.1, _wtof(argv[++i]));
        } else if (arg == L"--filter" && i + 1 < argc) {
            options.filter = Narrow(argv[++i]);
        } else {
            return false;
        }
    }
    return true;
}

int Run(const Options& options) {
    std::printf("# udbench\n\n%s. %d batches of about %.0f ms; times are medians in ns per call, spreads "
                "min..max over the batches, ratios median and min..max of the batch-by-batch ratios.\n\n",
                MachineDescription().c_str(), options.batches, options.batchMs);
    Check(!MsiLoaded(), "msi.dll is not loaded at start");
    TimeLoadAndFree(options);

    // The string writer follows the profile folder recorded by the first
    // successful installation pass.
    wchar_t profile[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH) == 0) std::wcscpy(profile, L"C:\\users\\bench");
    SetEnvironmentVariableW(L"USERPROFILE", profile);

    Workspace workspace;
    std::string problem;
    if (!workspace.createFiles(problem) || !workspace.createKeys(problem) || !workspace.listProducts(0, problem)) {
        std::printf("udbench: %s\n", problem.c_str());
        return 2;
    }
    // Anything the migrator is started for is written here.
    SetEnvironmentVariableW(L"VTMIGRATOR_LOG", workspace.migratorLog().c_str());

    UserDataExports ud;
    const HMODULE module = LoadUserData(ud, problem);
    if (module == nullptr) {
        std::printf("udbench: %s\n", problem.c_str());
        return 2;
    }
    if (ud.initProductParams(workspace.configFile().c_str(), L"") != 0) {
        std::printf("udbench: the product configuration is refused\n");
        FreeLibrary(module);
        return 2;
    }
    Check(ud.checkComServerRelativePaths(), "the product's COM servers are registered by relative paths");
    Check(ud.installUserData() == ERROR_SUCCESS, "InstallUserData over an empty product list succeeds");

    Tally tally;
    std::vector<FloorRow> floorRows = TimeGetters(ud, options);
    std::vector<PeerRow> peerRows = TimeAgainstKnownFolders(ud, options);
    TimeAutoMigrate(ud, workspace, options, floorRows);
    TimeMuiString(ud, options, floorRows, peerRows);
    TimeRegSetString(ud, workspace, options, peerRows);

    if (!floorRows.empty()) {
        std::printf("## Against the floor (ratio = export / floor)\n\n");
        PrintFloorTable(floorRows);
    }
    if (!peerRows.empty()) {
        std::printf("## Against the peer (ratio = peer / export: how many times faster the export is)\n\n");
        PrintPeerTable(peerRows);
    }
    for (const FloorRow& row : floorRows) {
        if (row.target.kind != Target::None) tally.add(row.target.met(row.ratio.median));
    }
    for (const PeerRow& row : peerRows) {
        if (row.target.kind != Target::None) tally.add(row.target.met(row.ratio.median));
    }

    TimeInstall(ud, workspace, options, tally);
    if (Selected(options, "InstallUserData")) {
        const bool msiAbsent = !MsiLoaded();
        std::printf("msi.dll loaded after every healthy pass: %s\n\n", msiAbsent ? "no (met)" : "YES (MISSED)");
        tally.add(msiAbsent);
    }

    CheckMemory(ud, options, tally);
    FreeLibrary(module);

    std::printf("Targets: %d met, %d missed. Checks failed: %d.\n", tally.met, tally.missed, failures);
    return failures == 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    return Run(options);
}
