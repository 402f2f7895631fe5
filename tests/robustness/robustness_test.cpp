// Bad and extreme inputs from a seeded generator, for the exports that take
// caller buffers, folder values, product descriptions and registry data.
// Each answer is held to the convention its export states; every filled
// buffer is guarded, so a write past its capacity faults at once and one
// before it shows in the canaries. The seed is printed first; the environment
// variables USERDATA_ROBUSTNESS_SEED and USERDATA_ROBUSTNESS_INPUTS set the
// seed and the number of inputs.
#include <UserData.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <climits>
#include <iostream>
#include <map>
#include <optional>
#include <utility>

#include "Generator.h"
#include "support/BufferCall.h"
#include "support/GuardedBuffer.h"
#include "support/ProductConfig.h"
#include "support/TestKey.h"

using namespace robustness;
using nlohmann::json;
using testing_support::Fill;
using testing_support::Filled;
using testing_support::GuardedBuffer;
using testing_support::TestKey;
using Folder = TvUdSpecialFolder::Folders;
using Get = std::function<unsigned(wchar_t*, std::size_t)>;

namespace {

struct {
    std::uint64_t seed = 0, inputs = 0, total = 0, faults = 0;
    std::map<std::string, std::uint64_t> tried;  // inputs per export
    std::string call;                            // the call under way, for reports
    std::string input;                           // UTF-8
} run;

std::string Utf8(const std::wstring& s) {
    std::string out(s.size() * 3, '\0');
    out.resize(WideCharToMultiByte(CP_UTF8, 0, s.data(), int(s.size()), out.data(), int(out.size()), 0, 0));
    return out;
}
std::string Where() {
    return run.call + ", seed " + std::to_string(run.seed) + ", input \"" + run.input.substr(0, 300) + "\"";
}

template <class F>
auto Call(const char* name, std::uint64_t capacity, F&& call) {
    run.call = std::string(name) + ", capacity " + std::to_string(capacity);
    ++run.total, ++run.tried[name];
    return call();
}
Filled Try(const char* name, const Get& get, std::size_t capacity) {
    return Call(name, capacity, [&] { return Fill(get, capacity); });
}
void Expect(bool ok, const char* property, std::uint64_t result = 0) {
    if (!ok && ++run.faults <= 20) ADD_FAILURE() << property << " (result " << result << ", " << Where() << ")";
}
std::uint64_t Setting(const char* variable, std::uint64_t fallback) {
    const char* value = std::getenv(variable);
    return value && *value ? std::stoull(value) : fallback;
}

class Report : public ::testing::Environment {
    void SetUp() override {
        std::random_device device;
        run.seed = Setting("USERDATA_ROBUSTNESS_SEED", std::uint64_t(device()) << 32 | device());
        run.inputs = Setting("USERDATA_ROBUSTNESS_INPUTS", 200000);
        std::cout << "robustness: seed " << run.seed << ", " << run.inputs << " inputs" << std::endl;
        // A fault ends the process, perhaps with a stack too damaged for
        // handlers: say where it happened first (errors only, not C++ throws).
        AddVectoredExceptionHandler(1, [](EXCEPTION_POINTERS* e) -> LONG {
            static bool reported = false;
            if ((e->ExceptionRecord->ExceptionCode & 0xF0000000) == 0xC0000000 && !std::exchange(reported, true))
                std::cout << "robustness: exception " << std::hex << e->ExceptionRecord->ExceptionCode << std::dec
                          << " in " << Where() << std::endl;
            return EXCEPTION_CONTINUE_SEARCH;
        });
    }
    void TearDown() override {
        for (const auto& [name, count] : run.tried) std::cout << "  " << name << " " << count << "\n";
        std::cout << "robustness: " << run.total << " inputs, 0 crashes, " << run.faults << " faults, seed " << run.seed
                  << ", " << std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count() << " s\n";
    }
    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};
[[maybe_unused]] const auto* const kReport = ::testing::AddGlobalTestEnvironment(new Report);

// Each campaign has a generator of its own (--gtest_filter reruns one alone)
// and a share of the inputs.
class Robustness : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(faults_, run.faults) << "faults, seed " << run.seed; }
    bool more(unsigned sharePercent) const { return run.total < start_ + run.inputs * sharePercent / 100; }

    Generator gen{run.seed + std::hash<std::string>()(testing::UnitTest::GetInstance()->current_test_info()->name())};
    const std::uint64_t start_ = run.total, faults_ = run.faults;
};

// What the caller-buffer convention answers for a string needing `needed`.
unsigned Expected(unsigned needed, std::size_t capacity) { return capacity == 0 || needed <= capacity ? needed : 0; }
unsigned Needed(const std::wstring& text) { return text.empty() ? 0 : unsigned(text.size() + 1); }

// Size queries, then real buffers round the answer: a copy returns the size
// query's answer with result - 1 characters; 0 leaves the buffer untouched,
// or (`emptyOnZero`) holding an empty string. Returns what was copied.
std::optional<std::wstring> CheckBuffer(Generator& gen, const char* name, const Get& get, int tries,
                                        bool emptyOnZero = false, unsigned* needed = nullptr) {
    const unsigned size = Call(name, 0, [&] { return get(nullptr, 0); });
    const unsigned viaNull = Call(name, ULLONG_MAX, [&] { return get(nullptr, std::size_t(gen.next())); });
    Expect(viaNull == size, "a null buffer is a size query whatever its capacity", viaNull);
    std::optional<std::wstring> copied;
    for (int i = 0; i < tries; ++i) {
        const std::size_t capacity = gen.capacity(size);
        const Filled f = Try(name, get, capacity);
        Expect(f.result == Expected(size, capacity), "the answer if it fits, else 0", f.result);
        Expect(f.result && capacity ? f.text && f.text->size() + 1 == f.result
                                    : !f.text || (emptyOnZero && capacity && f.text->empty()),
               "result - 1 characters, else untouched (or empty)", f.result);
        if (f.result && capacity) copied = f.text;
    }
    if (needed) *needed = size;
    return copied;
}

void CheckFolder(Generator& gen, int value) {
    const auto folder = static_cast<Folder>(value);
    const std::wstring path = Call("tvudGetSpecialFolder(folder)", 0, [&] { return tvudGetSpecialFolder(folder); });
    Expect(path.size() < 2048 && (path.empty() || (value >= 0 && value < TvUdSpecialFolder::kFolderCount)),
           "a path below 2048 characters, none outside 0..18");
    unsigned needed = 0;
    const auto copied = CheckBuffer(
        gen, "tvudGetSpecialFolder(folder, buffer, size)",
        [&](wchar_t* b, std::size_t n) { return tvudGetSpecialFolder(folder, b, n); }, 1, false, &needed);
    Expect(needed == Needed(path) && copied.value_or(path) == path, "both forms agree");
    // The folders with a sub-folder have no size query: they need a real buffer.
    const bool subFolder = value == 1 || value == 4 || value == 5 || value == 14 || value == 15;
    const std::size_t capacity = !subFolder && gen.percent(25)
                                     ? testing_support::kNullBuffer
                                     : std::max<std::size_t>(gen.capacity(path.size() + 1), subFolder);
    const Filled f = Try(
        "tvudGetProductXFoldPath", [&](wchar_t* b, std::size_t n) { return tvudGetProductXFoldPath(b, n, folder); },
        capacity);
    Expect(f.result <= 1 &&
               (capacity && capacity != testing_support::kNullBuffer && f.result ? f.text->size() < capacity : true) &&
               (capacity || !f.text),
           "0 or 1, and on 1 a string that fits", f.result);
}

const wchar_t* const kSettingNames[] = {L"RoamableRootFolder",  L"RoamableRootFolderLang", L"LocalRootFolder",
                                        L"LocalRootFolderLang", L"VeltraneSharedFolder",   L"VeltraneSharedFolderLang",
                                        L"AllUsersFolder",      L"GraphicsCacheFolder",    L"SandboxCrashSaveFolder",
                                        L"SupportFolder",       L"SupportFolderLang",      L"DefaultHelpFileName",
                                        L"LicenseFile"};

// Length + 1 with size queries; a length below the capacity, or a byte count
// within it, without size queries.
enum Kind { kConvention, kLength, kBytes };
const struct {
    const char* name;
    unsigned (*fill)(wchar_t*, unsigned long);
    Kind kind;
} kGetters[] = {
    {"tvudGetUserProductRegistryRootKey", tvudGetUserProductRegistryRootKey, kConvention},
    {"tvudGetMachineProductRegistryRootKey", tvudGetMachineProductRegistryRootKey, kConvention},
    {"tvudGetGlobalRegistryRootKey", tvudGetGlobalRegistryRootKey, kConvention},
    {"tvudGetCurrentLanguage", tvudGetCurrentLanguage, kConvention},
    {"tvudGetCurrentProduct", tvudGetCurrentProduct, kConvention},
    {"GetCurrentProductIdentityIniPath", GetCurrentProductIdentityIniPath, kConvention},
    {"tvudGetVerticalEnvPath", tvudGetVerticalEnvPath, kConvention},
    {"GetProgramName", GetProgramName, kLength},
    {"GetProductName", GetProductName, kLength},
    {"GetVerticalProductName", GetVerticalProductName, kBytes},
};

void CheckGetter(Generator& gen, const decltype(kGetters[0])& g) {
    const Get get = [&](wchar_t* b, std::size_t n) { return g.fill(b, DWORD(n)); };
    if (g.kind == kConvention) return void(CheckBuffer(gen, g.name, get, 2));
    const Filled probe = Try(g.name, get, 4096);
    const std::size_t length = probe.text ? probe.text->size() : 0;
    Expect(probe.result == 0 || (g.kind == kBytes ? length <= probe.result / 2 : length == probe.result),
           "a string of the length (or within the byte count) reported", probe.result);
    const unsigned n = probe.result, needed = g.kind == kBytes ? n : n + 1;
    for (const std::size_t capacity :
         {std::size_t(0), std::size_t(needed - !!needed), std::size_t(needed), gen.capacity(needed)}) {
        const Filled f = Try(g.name, get, capacity);
        Expect(f.result == (n && capacity && needed <= capacity ? n : 0), "the answer if it fits, else 0", f.result);
        Expect(f.result ? f.text == probe.text : (n == 0 && capacity) || !f.text, "the name, or untouched", f.result);
    }
}

// Every getter, folder and setting on the current product.
void Sweep(Generator& gen) {
    for (const auto& g : kGetters) CheckGetter(gen, g);
    for (int i = 0; i < 3; ++i) {
        const std::wstring name = gen.percent(80) ? gen.pick(kSettingNames) : gen.text(gen.length(300));
        CheckBuffer(
            gen, "GetProductSpecificFilePath",
            [&](wchar_t* b, std::size_t n) { return GetProductSpecificFilePath(name.c_str(), b, DWORD(n)); }, 1);
        CheckBuffer(
            gen, "tvudGetXRootFoldPath",
            [&](wchar_t* b, std::size_t n) { return tvudGetXRootFoldPath(name.c_str(), b, n); }, 1);
    }
    for (int value = 0; value < TvUdSpecialFolder::kFolderCount; ++value) CheckFolder(gen, value);

    const std::wstring paths[] = {tvudGetSpecialFolder(Folder::UserDataCacheFolder),
                                  tvudGetSpecialFolder(Folder::UserDataCacheFolderLang)};
    const auto capacity = DWORD(gen.capacity(paths[1].size() + 1));
    GuardedBuffer both[] = {GuardedBuffer(capacity), GuardedBuffer(capacity)};
    const unsigned r = Call("GetTRLVUserDataCacheLangPath", capacity,
                            [&] { return GetTRLVUserDataCacheLangPath(both[0].data(), both[1].data(), capacity); });
    Expect(r == Expected(Needed(paths[1]), capacity), "the second folder's answer", r);
    for (int i = 0; i < 2; ++i)
        Expect(
            both[i].canariesIntact() &&
                (capacity && Expected(Needed(paths[i]), capacity) ? both[i].text() == paths[i] : both[i].untouched()),
            "each buffer holds its folder if it fits, else is untouched", r);

    // The help file: its length, + 1 from the profile (where alone size queries
    // are answered).
    const unsigned query = Call("GetHelpFileName", 0, [] { return GetHelpFileName(nullptr, 0); });
    const std::size_t helpCapacity = gen.capacity(query ? query : gen.length(300));
    const Filled h = Try(
        "GetHelpFileName", [](wchar_t* b, std::size_t n) { return GetHelpFileName(b, DWORD(n)); }, helpCapacity);
    const std::size_t length = h.text ? h.text->size() : 0;
    Expect(helpCapacity ? h.result == 0 || ((h.result == length || h.result == length + 1) && length < helpCapacity)
                        : !h.text,
           "the length (+ 1) of a path that fits; a size query writes nothing", h.result);
    GuardedBuffer context(gen.length(300));
    if (context.capacity()) context.preset(L"");  // appended to when the help path has no folder
    const unsigned c = Call("GetContextFileName", context.capacity(),
                            [&] { return GetContextFileName(context.data(), DWORD(context.capacity())); });
    Expect(context.canariesIntact() && (c == 0 || (c < context.capacity() && context.text().size() == c)) &&
               (context.capacity() || context.untouched()),
           "the length of what it wrote, which fits", c);
}

std::optional<RegistryData> ReadValue(HKEY root, const std::wstring& path, const wchar_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::nullopt;
    RegistryData data;
    DWORD size = 0;
    LSTATUS status = RegQueryValueExW(key, name, nullptr, &data.type, nullptr, &size);
    data.bytes.resize(size);
    if (status == ERROR_SUCCESS) status = RegQueryValueExW(key, name, nullptr, &data.type, data.bytes.data(), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? std::optional(data) : std::nullopt;
}
void WriteValue(HKEY key, const wchar_t* name, const RegistryData& data) {
    // Padded, so the platform adds no terminator of its own.
    std::vector<std::uint8_t> padded(data.bytes);
    padded.resize(data.bytes.size() + 8, 0x5A);
    RegSetValueExW(key, name, 0, data.type, padded.data(), DWORD(data.bytes.size()));
}

TEST_F(Robustness, LoadMuiString) {
    testing_support::InitDefaultProduct();
    while (more(30)) {
        const std::wstring text = gen.muiText();
        run.input = Utf8(text);
        const wchar_t* source = gen.percent(1) ? nullptr : text.c_str();
        const auto copied = CheckBuffer(
            gen, "tvudLoadMUIString", [&](wchar_t* b, std::size_t n) { return tvudLoadMUIString(source, b, n); }, 1,
            true);
        Expect(!copied || !source || source[0] == L'@' || *copied == source, "plain text comes back unchanged");
    }
}

// Random products (every other round the default one) through every getter,
// then folder values from the whole 32-bit range.
TEST_F(Robustness, RandomProducts) {
    static const int kEdges[] = {INT_MIN, INT_MIN + 1, -19, -1, 19, 20, 256, 65536, INT_MAX};
    for (int round = 0; more(55); ++round) {
        auto text = [&] { return Utf8(gen.text(gen.length(5000))); };
        json product = json::object();
        for (const char* key :
             {"roamingRootName", "productCultureSpecificRootName", "productGlobalRootName", "currentLanguageName",
              "currentProduct", "currentProductIdentityIniPath", "verticalPath", "resDir", "myDocumentsPath"})
            if (gen.percent(90)) product[key] = text();
        if (gen.percent(80)) product["pathSeparator"] = Utf8(std::wstring(1, gen.pick(L"\\\\\\/-:a \u00e9"sv)));
        for (const char* container : {"", "ProductSpecific"})
            for (auto i = gen.below(3); i > 0; --i) {
                json values = json::object();
                for (const wchar_t* name : kSettingNames)
                    if (gen.percent(50)) values[Utf8(name)] = text();
                product["productSettings"][container].push_back({{"good", gen.percent(80)}, {"values", values}});
            }
        for (const char* name : {"TRLVHELP", "HELP"})
            if (gen.percent(30)) product["profiles"]["General"][name] = text();
        run.input = round % 2 ? "the default product" : product.dump();
        const unsigned r = Call("tvudInitProductParams", 0, [&] {
            return round % 2 ? testing_support::InitDefaultProduct() : testing_support::InitProduct(product);
        });
        Expect(r == 0, "a valid description loads", r);
        Sweep(gen);
        for (int i = 0; i < 50; ++i)
            CheckFolder(gen, gen.percent(40)   ? int(gen.below(19))
                             : gen.percent(50) ? gen.pick(kEdges)
                                               : int(gen.next()));
    }
}

// Registry data as the required COM class's server path (put back as found),
// as a product root's "ProductName", then as the user's and the machine's
// "AutoMigrate".
TEST_F(Robustness, RegistryData) {
    const std::wstring classPath = L"Software\\Classes\\CLSID\\{3F6B2D84-9E15-4C7A-8B02-D4A9C1E65F38}";
    const std::wstring serverPath = classPath + L"\\InProcServer32";
    const bool classExisted = testing_support::KeyExists(HKEY_LOCAL_MACHINE, classPath);
    const bool serverExisted = testing_support::KeyExists(HKEY_LOCAL_MACHINE, serverPath);
    const std::optional<RegistryData> saved = ReadValue(HKEY_LOCAL_MACHINE, serverPath, nullptr);
    HKEY server = nullptr;
    ASSERT_EQ(0, RegCreateKeyExW(HKEY_LOCAL_MACHINE, serverPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                 &server, nullptr));
    const TestKey user(HKEY_CURRENT_USER);
    std::optional<TestKey> machine(std::in_place, HKEY_LOCAL_MACHINE);
    const std::wstring machinePath = machine->path();
    testing_support::InitProduct({{"productCultureSpecificRootName", Utf8(machinePath)}});
    while (more(10)) {
        const RegistryData data = gen.registryData();
        run.input = "type " + std::to_string(data.type) + ", " + std::to_string(data.bytes.size()) + " bytes";
        WriteValue(server, nullptr, data);
        const bool relative = Call("CheckCOMServerRelativePaths", 0, CheckCOMServerRelativePaths);
        const std::wstring text(reinterpret_cast<const wchar_t*>(data.bytes.data()), data.bytes.size() / 2);
        Expect(!relative || ((data.type == REG_SZ || data.type == REG_EXPAND_SZ) &&
                             text.substr(0, text.find(L'\0')).find(L':') == text.npos),
               "neither a value of another type nor a path with a drive is relative");
        WriteValue(machine->handle(), L"ProductName", data);
        CheckGetter(gen, kGetters[std::size(kGetters) - 1]);
    }
    saved ? WriteValue(server, nullptr, *saved) : void(RegDeleteValueW(server, nullptr));
    RegCloseKey(server);
    if (!serverExisted) RegDeleteTreeW(HKEY_LOCAL_MACHINE, (classExisted ? serverPath : classPath).c_str());

    // The roamable folder is a temporary one; the stand-in migrator only logs.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring roamable = temp + (L"userdata-robust-" + std::to_wstring(GetCurrentProcessId()));
    const std::wstring marker = roamable + L"\\DAP", log = roamable + L"\\migrator.log";
    CreateDirectoryW(roamable.c_str(), nullptr);
    SetEnvironmentVariableW(L"VTMIGRATOR_LOG", log.c_str());
    SetEnvironmentVariableW(L"VTMIGRATOR_DELAY_MS", nullptr);
    const RegistryData numbers[] = {{REG_DWORD, {0, 0, 0, 0}}, {REG_DWORD, {1, 0, 0, 0}}, {REG_DWORD, {2, 0, 0, 0}}};
    // Each run may start the migrator and wait for it, so there are few.
    for (auto n = std::clamp<std::uint64_t>(run.inputs / 20000, 4, 60); n > 0; --n) {
        // Names of any length, also past what the migrator's options hold.
        const json product = {{"productCultureSpecificRootName", Utf8(machinePath)},
                              {"roamingRootName", Utf8(user.path())},
                              {"currentProduct", Utf8(gen.text(gen.length(600)))},
                              {"currentLanguageName", Utf8(gen.text(gen.length(600)))},
                              {"productSettings", {{"", {{{"values", {{"RoamableRootFolder", Utf8(roamable)}}}}}}}}};
        run.input = product.dump();
        Expect(testing_support::InitProduct(product) == 0, "a valid description loads");
        auto data = [&] { return gen.percent(50) ? gen.registryData() : gen.pick(numbers); };
        machine.reset();
        if (gen.percent(50)) machine.emplace(HKEY_LOCAL_MACHINE, machinePath);
        if (machine && gen.percent(70)) WriteValue(machine->handle(), L"AutoMigrate", data());
        gen.percent(80) ? WriteValue(user.handle(), L"AutoMigrate", data())
                        : void(RegDeleteValueW(user.handle(), L"AutoMigrate"));
        if (gen.percent(25)) DeleteFileW(marker.c_str());
        SetEnvironmentVariableW(L"VTMIGRATOR_EXIT_CODE", gen.percent(50) ? L"0" : L"3");
        const auto before = ReadValue(HKEY_CURRENT_USER, user.path(), L"AutoMigrate");
        const auto machineBefore = ReadValue(HKEY_LOCAL_MACHINE, machinePath, L"AutoMigrate");
        Expect(Call("ProcessAutoMigrate", 0, ProcessAutoMigrate), "always true");
        const auto after = ReadValue(HKEY_CURRENT_USER, user.path(), L"AutoMigrate");
        Expect(after == before || after == numbers[0] || after == numbers[1],
               "AutoMigrate left alone or set to 0 or 1");
        Expect(ReadValue(HKEY_LOCAL_MACHINE, machinePath, L"AutoMigrate") == machineBefore,
               "the machine switch unwritten");
    }
    Sleep(500);  // for the starts not waited for
    for (const std::wstring& file : {marker, log}) DeleteFileW(file.c_str());
    RemoveDirectoryW(roamable.c_str());
}

TEST_F(Robustness, MalformedDescriptions) {
    const json base = json::parse(R"({"roamingRootName": "Software\\Veltrane\\Trelvix\\R27.0",
        "productCultureSpecificRootName": "Software\\Veltrane\\Trelvix\\R27.0\\TRLV-7001:409",
        "currentLanguageName": "en-US", "resDir": "C:\\P", "pathSeparator": "\\",
        "productSettings": {"": [{"good": true, "values": {"RoamableRootFolder": "C:\\R\\"}}]},
        "profiles": {"General": {"HELP": "C:\\Help\\t.chm"}}})");
    const json wrong[] = {5, -1.5, true, nullptr, json::array(), json::object(), "", "ab", "\\"};
    std::vector<std::string> nodes;  // every node of the description, as a JSON pointer
    const json leaves = base.flatten();
    for (const auto& leaf : leaves.items())
        for (std::size_t cut = 0; cut != std::string::npos;)
            nodes.push_back(leaf.key().substr(0, cut = leaf.key().find('/', cut + 1)));
    ASSERT_EQ(0u, testing_support::InitProduct(base));
    const auto root = [] {
        return Fill([](wchar_t* b, std::size_t n) { return tvudGetMachineProductRegistryRootKey(b, DWORD(n)); }, 200);
    };
    const Filled machine = root();
    while (more(5)) {
        json variant = base;
        std::string text;
        if (gen.percent(25)) {  // a wrong type
            variant[json::json_pointer(nodes[gen.below(nodes.size())])] = gen.pick(wrong);
        } else if (gen.percent(33)) {  // an unknown key
            (gen.percent(50) ? variant : variant["productSettings"][""][0])[Utf8(gen.text(gen.length(20)))] =
                gen.pick(wrong);
        } else {  // bytes changed, inserted, removed, or the file cut short
            text = base.dump(gen.percent(50) ? -1 : 2);
            for (auto n = gen.below(4) + 1; n > 0; --n) {
                const std::size_t at = gen.below(text.size() + 1), kind = gen.below(4);
                if (kind == 0 && at < text.size()) text[at] = char(gen.below(256));
                if (kind == 1) text.insert(at, 1, "{}[]\",:\\\xff"[gen.below(10)]);
                if (kind == 2) text.erase(at, gen.below(8));
                if (kind == 3) text.resize(at);
            }
        }
        if (text.empty()) text = variant.dump();
        run.input = text;
        const std::wstring path = testing_support::WriteConfigFile(text);
        const unsigned r = Call("tvudInitProductParams", 0, [&] { return tvudInitProductParams(path.c_str(), L""); });
        DeleteFileW(path.c_str());
        Expect(r <= 1, "0 or 1", r);
        if (r == 1) {  // refused: the previous product stays
            Expect(Call("tvudGetMachineProductRegistryRootKey", 200, root) == machine,
                   "after a refusal the previous product stays");
        } else {
            Sweep(gen);
            testing_support::InitProduct(base);
        }
    }
}

}  // namespace
