// udbench: UserData.dll's answers timed against their floors (Floors.h) or
// the system's own answers (peers), and what the DLL costs its host.
#include <windows.h>

#include <UserData.h>
#include <knownfolders.h>
#include <malloc.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <iterator>
#include <string>
#include <tuple>

#include "Floors.h"
#include "Measure.h"
#include "Workspace.h"
#include "UserDataExportNames.h"
#include "common/BesideThisProgram.h"
#include "common/UniqueAny.h"
#include "common/Utf.h"

namespace {

using namespace udbench;
using TvUdSpecialFolder::Folders;
using userdata::ExportedName;
using userdata::WideToUtf8;

// Loaded by full path; UserData.dll is not linked, so that its load is timed for real.
const std::wstring kUserDataDll = userdata::BesideThisProgram(L"UserData.dll");
const std::wstring kResourcesDll = userdata::BesideThisProgram(L"udbench_resources.dll");
const std::wstring kRuntimeDll = userdata::BesideThisProgram(L"udbench_runtime.dll");

// UserData.dll and the exports timed, by MinGW-w64's names, typed by the
// public header's declarations; `problem` says why when one is missing.
struct UserDataExports {
    userdata::UniqueModule module{LoadLibraryW(kUserDataDll.c_str())};
    std::string problem = module ? "" : "UserData.dll does not load (error " + std::to_string(GetLastError()) + ")";
    template <typename Function>
    Function get(const char* name) {
        const auto found = module ? GetProcAddress(module.get(), name) : nullptr;
        if (found == nullptr && problem.empty()) problem = std::string("UserData.dll exports no ") + name;
        return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
    }
    using Getter = unsigned int (*)(wchar_t*, unsigned long);
    decltype(&::tvudInitProductParams) initProductParams =
        get<decltype(initProductParams)>(ExportedName("tvudInitProductParams", 2));
    Getter getCurrentLanguage = get<Getter>(ExportedName("tvudGetCurrentLanguage", 2));
    Getter getMachineProductRegistryRootKey =
        get<Getter>(ExportedName("tvudGetMachineProductRegistryRootKey", 2));
    unsigned int (*getSpecialFolder)(Folders, wchar_t*, std::size_t) =
        get<decltype(getSpecialFolder)>(ExportedName("tvudGetSpecialFolder", 3));
    Getter getHelpFileName = get<Getter>(ExportedName("GetHelpFileName", 2));
    Getter getContextFileName = get<Getter>(ExportedName("GetContextFileName", 2));
    Getter getProgramName = get<Getter>(ExportedName("GetProgramName", 2));
    decltype(&::InstallUserData) installUserData = get<decltype(installUserData)>(ExportedName("InstallUserData", 0));
    decltype(&::ProcessAutoMigrate) processAutoMigrate =
        get<decltype(processAutoMigrate)>(ExportedName("ProcessAutoMigrate", 0));
    decltype(&::CheckCOMServerRelativePaths) checkComServerRelativePaths =
        get<decltype(checkComServerRelativePaths)>(ExportedName("CheckCOMServerRelativePaths", 0));
};

constexpr Target kGetter{Target::AtMost, 1.25}, kNearFloor{Target::AtMost, 1.5};

bool MsiLoaded() { return GetModuleHandleW(L"msi.dll") != nullptr; }

// Bytes in use in the C runtime's heap; -1 when it cannot be walked.
long long HeapBytesInUse() {
    _HEAPINFO entry{};
    long long used = 0;
    int status;
    while ((status = _heapwalk(&entry)) == _HEAPOK) used += entry._useflag == _USEDENTRY ? entry._size : 0;
    return status == _HEAPEND ? used : -1;
}

// PrivateUsage, or PagefileUsage (the same commit charge), which Wine fills.
long long PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return static_cast<long long>(counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage);
}

Timed LoadAndFree(const std::wstring& library) {
    return Repeat([library](wchar_t*) { return userdata::UniqueModule(LoadLibraryW(library.c_str())) ? 1 : 0; });
}

// Loading and freeing UserData.dll against a DLL of nothing but a version
// resource and one of nothing but the C runtime, and the heap it leaves
// (target: none).
void CheckLoadAndFree(const Options& options, Report& report) {
    if (!options.selects("LoadLibraryW")) return;
    report.table("LoadLibraryW + FreeLibrary (ratio = UserData.dll / the baseline DLL)");
    Timed userData = LoadAndFree(kUserDataDll), resourceOnly = LoadAndFree(kResourcesDll),
          runtimeOnly = LoadAndFree(kRuntimeDll);
    RunSideBySide({&userData, &resourceOnly, &runtimeOnly}, options);
    report.row("UserData.dll", userData, "udbench_resources.dll", resourceOnly, {Target::AtMost, 1.6});
    report.row("UserData.dll", userData, "udbench_runtime.dll", runtimeOnly, {Target::AtMost, 1.0});
    report.check(GetModuleHandleW(L"UserData.dll") == nullptr && !MsiLoaded(),
                 "UserData.dll is unloaded by its last FreeLibrary, and msi.dll was never loaded");
    const long long before = HeapBytesInUse();
    LoadAndFree(kUserDataDll).run(20);
    const long long left = HeapBytesInUse() - before;
    report.verdict("C runtime heap left behind by 20 loads and frees of UserData.dll: " + std::to_string(left) +
                   " bytes (target: 0)", before >= 0 && left == 0);
}


unsigned int KnownFolder(const KNOWNFOLDERID& id) {
    userdata::UniqueCoTaskMemString path;
    return SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, path.put())) ? std::wcslen(path.get()) : 0;
}

std::string FolderOperation(Folders folder) {
    return std::string("tvudGetSpecialFolder(") + TvUdSpecialFolder::kFolderNames[folder] + ")";
}

// The run, once UserData.dll is loaded and initialised on the workspace's product.
struct Run {
    const UserDataExports& ud;
    Workspace& workspace;
    const Options& options;
    Report& report;

    // Both sides must answer, a floor with the export's very answer.
    template <typename Export, typename Other>
    void compare(const std::string& operation, Export exportCall, const std::string& against, Other otherCall,
                 Target target, bool peer = false) {
        if (!options.selects(operation) && !options.selects(against)) return;
        wchar_t fromExport[kBuffer] = {}, fromOther[kBuffer] = {};
        const unsigned int exported = exportCall(fromExport);
        const unsigned int other = otherCall(fromOther);
        report.check(
            exported != 0 && other != 0 && (peer || (exported == other && !std::wcscmp(fromExport, fromOther))),
            operation + ": export gives " + std::to_string(exported) + " \"" + WideToUtf8(fromExport) + "\", " +
                against + " " + std::to_string(other) + " \"" + WideToUtf8(fromOther) + "\"");
        Timed op = Repeat(exportCall), otherOp = Repeat(otherCall);
        RunSideBySide({&op, &otherOp}, options);
        report.row(operation, op, against, otherOp, target, peer);
    }

    void compareWithFloors() {
        report.table("Against the floor (ratio = export / floor)");
        using Getter = UserDataExports::Getter;
        const auto withBuffer = [](Getter get) { return [get](wchar_t* b) { return get(b, kBuffer); }; };
        for (const auto& [name, exported, floor] :
             {std::tuple("tvudGetCurrentLanguage", ud.getCurrentLanguage, Getter{floors::Language}),
              std::tuple("tvudGetMachineProductRegistryRootKey", ud.getMachineProductRegistryRootKey,
                         Getter{floors::MachineRoot}),
              std::tuple("GetHelpFileName", ud.getHelpFileName, Getter{floors::HelpFile}),
              std::tuple("GetContextFileName", ud.getContextFileName, Getter{floors::ContextFile})})
            compare(name, withBuffer(exported), "floor", withBuffer(floor), kGetter);
        for (int value = 0; value < TvUdSpecialFolder::kFolderCount; ++value) {
            const auto folder = static_cast<Folders>(value);
            compare(
                FolderOperation(folder),
                [get = ud.getSpecialFolder, folder](wchar_t* b) { return get(folder, b, kBuffer); }, "floor",
                [folder](wchar_t* b) { return floors::SpecialFolder(folder, b, kBuffer); }, kGetter);
        }
        compare(
            "ProcessAutoMigrate (steady state)",
            [migrate = ud.processAutoMigrate](wchar_t*) { return unsigned{migrate()}; }, "floor",
            [](wchar_t*) { return floors::AutoMigrateProbe(); }, {Target::AtMost, 2});
        report.check(floors::AutoMigrateProbe() == 1 &&
                         GetFileAttributesW(workspace.migratorLog().c_str()) == INVALID_FILE_ATTRIBUTES,
                     "the steady state stays steady and starts no migrator");
    }

    void compareWithPeers() {
        report.table("Against the peer (ratio = peer / export: how many times faster the export is)");
        for (const auto& [folder, id, peer] :
             {std::tuple(TvUdSpecialFolder::LocalRootFolder, &FOLDERID_LocalAppData, "LocalAppData"),
              std::tuple(TvUdSpecialFolder::RoamableRootFolder, &FOLDERID_RoamingAppData, "RoamingAppData")}) {
            compare(
                FolderOperation(folder),
                [get = ud.getSpecialFolder, folder = folder](wchar_t* b) { return get(folder, b, kBuffer); },
                std::string("SHGetKnownFolderPath(") + peer + ")", [id = id](wchar_t*) { return KnownFolder(*id); },
                {Target::AtLeast, 5}, true);
        }
    }

    // Each size is a product of its own, switched to (untimed) before each
    // batch, so that every size and floor shares the same rounds.
    void compareInstall() {
        if (!options.selects("InstallUserData")) return;
        constexpr unsigned int kSizes[] = {1, 10, 100, 1000};
        constexpr std::size_t kCount = std::size(kSizes);
        Timed ops[kCount], floorPasses[kCount];
        std::vector<Timed*> group;
        for (std::size_t i = 0; i < kCount; ++i) {
            std::string problem;  // of the workspace
            const std::wstring product = workspace.product(kSizes[i], problem);
            if (!report.check(!product.empty(), problem)) return;
            const auto useProduct = [init = ud.initProductParams, product] { init(product.c_str(), L""); };
            useProduct();
            report.check(floors::InstallPass() == kSizes[i] && ud.installUserData() == ERROR_SUCCESS,
                         "InstallUserData succeeds and every listed product is healthy");
            ops[i] = Repeat([install = ud.installUserData](wchar_t*) { return install(); });
            floorPasses[i] = Repeat([](wchar_t*) { return floors::InstallPass(); });
            ops[i].prepare = floorPasses[i].prepare = useProduct;
            group.insert(group.end(), {&ops[i], &floorPasses[i]});
        }
        RunSideBySide(group, options);
        report.table("InstallUserData on a healthy machine, no Installer run (ratio = export / floor)");
        for (std::size_t i = 0; i < kCount; ++i)
            report.row("InstallUserData, " + std::to_string(kSizes[i]) + " listed", ops[i], "floor", floorPasses[i],
                       kNearFloor);

        // The cost per product may fall, but not grow beyond noise (quadratic: x10).
        double worst = 0;
        for (std::size_t i = 1; i < kCount; ++i)
            worst = std::max(worst, RatioOf(ops[i], ops[i - 1]).median * kSizes[i - 1] / kSizes[i]);
        report.verdict("InstallUserData grows no faster than linearly: its cost per product grows at most x" +
                           Report::Number(worst) + " a size (target: x1.25)", worst <= 1.25);
        report.verdict("msi.dll stays unloaded through every healthy pass", !MsiLoaded());
    }

    // A round: two getters, the nineteen folders, both help files. The first
    // thousand allocate whatever is allocated once.
    void checkMemory() {
        if (!options.selects("memory")) return;
        constexpr int kRounds = 1000000 / (4 + TvUdSpecialFolder::kFolderCount) + 1;
        long long privateBefore = 0, heapBefore = 0;
        const auto round = [this] {
            wchar_t buffer[kBuffer];
            std::uint64_t sum =
                ud.getCurrentLanguage(buffer, kBuffer) + ud.getMachineProductRegistryRootKey(buffer, kBuffer);
            for (int value = 0; value < TvUdSpecialFolder::kFolderCount; ++value)
                sum += ud.getSpecialFolder(static_cast<Folders>(value), buffer, kBuffer);
            static volatile std::uint64_t sink = 0;
            sink = sink + sum + ud.getHelpFileName(buffer, kBuffer) + ud.getContextFileName(buffer, kBuffer);
        };
        for (int i = 0; i < 1000 + kRounds; ++i) {
            if (i == 1000) privateBefore = PrivateBytes(), heapBefore = HeapBytesInUse();
            round();
        }
        const long long privateGrowth = PrivateBytes() - privateBefore, heapGrowth = HeapBytesInUse() - heapBefore;
        std::printf("\n## Memory over a million getter calls\n\nCommitted bytes %lld, grown by %lld; C runtime heap "
                    "bytes in use %lld, grown by %lld.\n", privateBefore, privateGrowth, heapBefore, heapGrowth);
        report.verdict("No memory growth", privateGrowth <= 0 && heapBefore >= 0 && heapGrowth <= 0);
    }
};

// The exports against their floors and peers, UserData.dll loaded for the while
// on the workspace's product; false, with the reason, when the run cannot start.
bool TimeExports(const Options& options, Report& report) {
    Workspace workspace;
    std::string problem;
    const std::wstring config = workspace.create(problem) ? workspace.product(0, problem) : std::wstring();
    if (!report.check(!config.empty(), problem)) return false;
    SetEnvironmentVariableW(L"VTMIGRATOR_LOG", workspace.migratorLog().c_str());
    const UserDataExports ud;
    wchar_t program[kBuffer] = {};
    if (!report.check(ud.problem.empty(), ud.problem) ||
        !report.check(ud.initProductParams(config.c_str(), L"") == 0, "the product configuration is accepted") ||
        !report.check(ud.getProgramName(program, kBuffer) != 0, "the product has a program name"))
        return false;
    floors::programName = program;
    report.check(ud.checkComServerRelativePaths(), "the product's COM servers are registered by relative paths");
    report.check(ud.installUserData() == ERROR_SUCCESS, "InstallUserData over an empty product list succeeds");

    Run run{ud, workspace, options, report};
    run.compareWithFloors();
    run.compareWithPeers();
    run.compareInstall();
    run.checkMemory();
    return true;
}

int RunAll(const Options& options) {
    std::printf("# udbench\n\n%d pairs of batches of about %.0f ms a row; ratios pair by pair, their median with "
                "a 95%% interval.\n", options.pairs, options.batchMs);
    Report report;
    report.check(!MsiLoaded(), "msi.dll is not loaded at start");
    if (!TimeExports(options, report)) return 2;
    // Last: the exports' run has freed UserData.dll, and Wine's start-up work is over.
    CheckLoadAndFree(options, report);
    return report.finish();
}

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring option = argv[i];
        if (option == L"--pairs") options.pairs = std::max(1, _wtoi(argv[i + 1]));
        else if (option == L"--batch-ms") options.batchMs = std::max(0.1, _wtof(argv[i + 1]));
        else if (option == L"--filter") options.filter = WideToUtf8(argv[i + 1]);
        else return false;
    }
    return argc % 2 == 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    if (ParseOptions(argc, argv, options)) return RunAll(options);
    std::fputs("usage: udbench [--pairs N (31)] [--batch-ms MS (5)] [--filter TEXT]\n", stderr);
    return 2;
}
