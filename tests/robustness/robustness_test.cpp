// Bad and extreme inputs from a seeded generator, for the exports that take
// caller buffers, folder values, product descriptions and registry data.
// Each answer is held to the convention its export states; every filled
// buffer is guarded, so a write past its capacity faults at once and one
// before it shows in the canaries. The seed is printed first; the environment
// variables USERDATA_ROBUSTNESS_SEED and USERDATA_ROBUSTNESS_INPUTS set the
// seed and the number of inputs.
#include <gtest/gtest.h>

#include <UserData.h>
#include <windows.h>

#include <chrono>
#include <climits>
#include <iomanip>
#include <iostream>
#include <map>
#include <optional>
#include <utility>

#include "Generator.h"
#include "support/GuardedBuffer.h"
#include "support/ProductConfig.h"
#include "support/TestKey.h"

using namespace robustness;
using nlohmann::json;
using testing_support::GuardedBuffer;
using testing_support::TestKey;
using Folder = TvUdSpecialFolder::Folders;

namespace {

struct Campaign {
    std::uint64_t seed = 0, inputs = 0, total = 0, faults = 0, capacity = 0;
    std::map<std::string, std::uint64_t> tried;  // inputs per export
    const char* current = "";                    // the call under way and its input, for reports
    std::wstring input;
} campaign;

std::string Utf8(const std::wstring& text) {
    std::string out(text.size() * 3, '\0');
    out.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), int(out.size()), 0, 0));
    return out;
}
std::wstring Wide(const std::string& text) {
    std::wstring out(text.size(), L'\0');
    out.resize(MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), out.data(), int(out.size())));
    return out;
}
std::string Where() {
    return std::string(campaign.current) + ", capacity " + std::to_string(campaign.capacity) + ", seed " +
           std::to_string(campaign.seed) + ", input \"" + Utf8(campaign.input.substr(0, 300)) + "\"";
}

template <class F>
auto Call(const char* name, std::uint64_t capacity, F&& call) {
    campaign.current = name;
    campaign.capacity = capacity;
    ++campaign.total;
    ++campaign.tried[name];
    return call();
}

void Expect(bool ok, const char* property, std::uint64_t result = 0) {
    if (!ok && ++campaign.faults <= 20) ADD_FAILURE() << property << " (result " << result << ", " << Where() << ")";
}

std::uint64_t Setting(const char* variable, std::uint64_t fallback) {
    const char* value = std::getenv(variable);
    return value && *value ? std::stoull(value) : fallback;
}

class Report : public ::testing::Environment {
    void SetUp() override {
        std::random_device device;
        campaign.seed = Setting("USERDATA_ROBUSTNESS_SEED", std::uint64_t(device()) << 32 | device());
        campaign.inputs = Setting("USERDATA_ROBUSTNESS_INPUTS", 200000);
        std::cout << "robustness: seed " << campaign.seed << ", " << campaign.inputs << " inputs" << std::endl;
        // A fault in the library ends the process, perhaps with a stack too
        // damaged for handlers: say where it happened first.
        AddVectoredExceptionHandler(1, [](EXCEPTION_POINTERS* e) -> LONG {
            static bool reported = false;  // errors only: C++ exceptions thrown inside are caught there
            if ((e->ExceptionRecord->ExceptionCode & 0xF0000000) == 0xC0000000 && !std::exchange(reported, true))
                std::cout << "robustness: exception " << std::hex << e->ExceptionRecord->ExceptionCode << std::dec
                          << " in " << Where() << std::endl;
            return EXCEPTION_CONTINUE_SEARCH;
        });
    }
    void TearDown() override {
        for (const auto& [name, count] : campaign.tried)
            std::cout << std::setw(46) << std::left << name << count << "\n";
        const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        std::cout << "robustness: " << campaign.total << " inputs, 0 crashes, " << campaign.faults << " faults, seed "
                  << campaign.seed << ", " << seconds << " s\n";
    }
    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};
[[maybe_unused]] const auto* const kReport = ::testing::AddGlobalTestEnvironment(new Report);

// Each campaign has a generator of its own (--gtest_filter reruns one alone)
// and a share of the inputs.
class Robustness : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(faults_, campaign.faults) << "faults, seed " << campaign.seed; }
    bool more(unsigned sharePercent) const { return campaign.total < start_ + campaign.inputs * sharePercent / 100; }

    Generator gen{campaign.seed +
                  std::hash<std::string>()(testing::UnitTest::GetInstance()->current_test_info()->name())};
    const std::uint64_t start_ = campaign.total, faults_ = campaign.faults;
};

// What the caller-buffer convention answers for a string needing `needed`.
unsigned Expected(unsigned needed, std::size_t capacity) { return capacity == 0 || needed <= capacity ? needed : 0; }
unsigned Needed(const std::wstring& text) { return text.empty() ? 0 : unsigned(text.size() + 1); }

struct Answer {
    unsigned needed;
    std::optional<std::wstring> copied;
};

// Size queries, then real buffers round the answer: a copy returns the size
// query's answer with result - 1 characters; 0 leaves the buffer untouched,
// or (`emptyOnZero`) holding an empty string.
template <class Size, class F>
Answer CheckBuffer(Generator& gen, const char* name, F&& fill, int tries, bool emptyOnZero = false) {
    Answer answer{Call(name, 0, [&] { return fill(nullptr, Size(0)); }), std::nullopt};
    const unsigned viaNull = Call(name, ULLONG_MAX, [&] { return fill(nullptr, Size(gen.next())); });
    Expect(viaNull == answer.needed, "a null buffer is a size query whatever its capacity", viaNull);
    for (int i = 0; i < tries; ++i) {
        const std::size_t capacity = gen.capacity(answer.needed);
        GuardedBuffer buffer(capacity);
        const unsigned r = Call(name, capacity, [&] { return fill(buffer.data(), Size(capacity)); });
        Expect(buffer.canariesIntact() && r == Expected(answer.needed, capacity), "the answer if it fits, else 0", r);
        Expect(r && capacity             ? buffer.text().size() + 1 == r
               : emptyOnZero && capacity ? buffer.data()[0] == L'\0'
                                         : buffer.untouched(),
               "result - 1 characters, else untouched (or empty)", r);
        if (r && capacity) answer.copied = buffer.text();
    }
    return answer;
}

void CheckFolder(Generator& gen, int value) {
    const auto folder = static_cast<Folder>(value);
    const std::wstring path = Call("tvudGetSpecialFolder(folder)", 0, [&] { return tvudGetSpecialFolder(folder); });
    Expect(path.size() < 2048 && (path.empty() || (value >= 0 && value < TvUdSpecialFolder::kFolderCount)),
           "a path below 2048 characters, none outside 0..18");
    const Answer answer = CheckBuffer<std::size_t>(
        gen, "tvudGetSpecialFolder(folder, buffer, size)",
        [&](wchar_t* b, std::size_t n) { return tvudGetSpecialFolder(folder, b, n); }, 1);
    Expect(answer.needed == Needed(path) && answer.copied.value_or(path) == path, "both forms agree");
    // The folders with a sub-folder have no size query: they need a real buffer.
    const bool subFolder = value == 1 || value == 4 || value == 5 || value == 14 || value == 15;
    const std::size_t capacity = std::max<std::size_t>(gen.capacity(path.size() + 1), subFolder);
    GuardedBuffer buffer(capacity);
    wchar_t* target = !subFolder && gen.percent(25) ? nullptr : buffer.data();
    const unsigned r =
        Call("tvudGetProductXFoldPath", capacity, [&] { return tvudGetProductXFoldPath(target, capacity, folder); });
    Expect(r <= 1 && buffer.canariesIntact() &&
               (capacity ? r == 0 || !target || buffer.text().size() < capacity : buffer.untouched()),
           "0 or 1, and on 1 a string that fits", r);
}

const char* const kSettingNames[] = {"RoamableRootFolder",  "RoamableRootFolderLang", "LocalRootFolder",
                                     "LocalRootFolderLang", "VeltraneSharedFolder",   "VeltraneSharedFolderLang",
                                     "AllUsersFolder",      "GraphicsCacheFolder",    "SandboxCrashSaveFolder",
                                     "SupportFolder",       "SupportFolderLang",      "DefaultHelpFileName",
                                     "LicenseFile"};

// Length + 1 with size queries; a length below the capacity, or a byte count
// within it, without size queries.
enum Kind { kConvention, kLength, kBytes };
struct Getter {
    const char* name;
    unsigned (*fill)(wchar_t*, unsigned long);
    Kind kind;
    const char* key = nullptr;  // the product's value it reports
};
const Getter kGetters[] = {
    {"tvudGetUserProductRegistryRootKey", tvudGetUserProductRegistryRootKey, kConvention, "roamingRootName"},
    {"tvudGetMachineProductRegistryRootKey", tvudGetMachineProductRegistryRootKey, kConvention,
     "productCultureSpecificRootName"},
    {"tvudGetGlobalRegistryRootKey", tvudGetGlobalRegistryRootKey, kConvention, "productGlobalRootName"},
    {"tvudGetCurrentLanguage", tvudGetCurrentLanguage, kConvention, "currentLanguageName"},
    {"tvudGetCurrentProduct", tvudGetCurrentProduct, kConvention, "currentProduct"},
    {"GetCurrentProductIdentityIniPath", GetCurrentProductIdentityIniPath, kConvention,
     "currentProductIdentityIniPath"},
    {"tvudGetVerticalEnvPath", tvudGetVerticalEnvPath, kConvention, "verticalPath"},
    {"GetProgramName", GetProgramName, kLength},
    {"GetProductName", GetProductName, kLength},
    {"GetVerticalProductName", GetVerticalProductName, kBytes},
};

void CheckGetter(Generator& gen, const Getter& g, const json* product) {
    if (g.kind == kConvention) {
        const Answer a = CheckBuffer<unsigned long>(gen, g.name, g.fill, 2);
        const std::wstring value = product ? Wide(product->value(g.key, "")) : L"";
        return Expect(!product || (a.needed == Needed(value) && a.copied.value_or(value) == value),
                      "the product's value");
    }
    GuardedBuffer probe(4096);
    const unsigned n = Call(g.name, 4096, [&] { return g.fill(probe.data(), 4096); });
    const std::size_t length = probe.text().size();
    Expect(probe.canariesIntact() && (n == 0 || (g.kind == kBytes ? length <= n / 2 : length == n)),
           "a string of the length (or within the byte count) reported", n);
    const unsigned needed = g.kind == kBytes ? n : n + 1;
    for (const std::size_t capacity :
         {std::size_t(0), std::size_t(needed - !!needed), std::size_t(needed), gen.capacity(needed)}) {
        GuardedBuffer buffer(capacity);
        const unsigned r = Call(g.name, capacity, [&] { return g.fill(buffer.data(), DWORD(capacity)); });
        Expect(buffer.canariesIntact() && r == (n && capacity && needed <= capacity ? n : 0),
               "the answer if it fits, else 0", r);
        Expect(r ? buffer.text() == probe.text() : (n == 0 && capacity) || buffer.untouched(), "the name, or untouched",
               r);
    }
}

// Every getter on the current product; `product` is its description when known.
void Sweep(Generator& gen, const json* product) {
    for (const Getter& g : kGetters) CheckGetter(gen, g, product);
    for (int i = 0; i < 3; ++i) {
        const std::wstring name = gen.percent(80) ? Wide(gen.pick(kSettingNames)) : gen.text(gen.length(300));
        CheckBuffer<unsigned long>(
            gen, "GetProductSpecificFilePath",
            [&](wchar_t* b, unsigned long n) { return GetProductSpecificFilePath(name.c_str(), b, n); }, 1);
        CheckBuffer<std::size_t>(
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
    for (int i = 0; i < 2; ++i) {
        const bool fits = capacity && Expected(Needed(paths[i]), capacity);
        Expect(both[i].canariesIntact() && (fits ? both[i].text() == paths[i] : both[i].untouched()),
               "each buffer holds its folder if it fits, else is untouched", r);
    }

    // The help file: its length, + 1 from the profile (where alone size queries are answered).
    const unsigned query = Call("GetHelpFileName", 0, [] { return GetHelpFileName(nullptr, 0); });
    GuardedBuffer help(gen.capacity(query ? query : gen.length(300))), context(gen.length(300));
    const unsigned h =
        Call("GetHelpFileName", help.capacity(), [&] { return GetHelpFileName(help.data(), DWORD(help.capacity())); });
    const std::size_t length = help.text().size();
    Expect(help.canariesIntact() &&
               (help.capacity() ? h == 0 || ((h == length || h == length + 1) && length < help.capacity())
                                : help.untouched()),
           "the length (+ 1) of a path that fits; a size query writes nothing", h);
    if (context.capacity()) context.preset(L"");  // appended to when the help path has no folder
    const unsigned c = Call("GetContextFileName", context.capacity(),
                            [&] { return GetContextFileName(context.data(), DWORD(context.capacity())); });
    Expect(context.canariesIntact() && (c == 0 || (c < context.capacity() && context.text().size() == c)) &&
               (context.capacity() || context.untouched()),
           "the length of what it wrote, which fits", c);
}

json RandomProduct(Generator& gen) {
    auto text = [&] { return Utf8(gen.text(gen.length(5000))); };
    json product = json::object();
    for (const char* key :
         {"roamingRootName", "productCultureSpecificRootName", "productGlobalRootName", "currentLanguageName",
          "currentProduct", "currentProductIdentityIniPath", "verticalPath", "resDir", "myDocumentsPath"})
        if (gen.percent(90)) product[key] = text();
    if (gen.percent(80)) product["pathSeparator"] = Utf8(std::wstring(1, gen.pick(L"\\\\\\/-:a \u00e9"sv)));
    for (const char* container : {"", "ProductSpecific"}) {
        for (auto i = gen.below(3); i > 0; --i) {
            json values = json::object();
            for (const char* name : kSettingNames)
                if (gen.percent(50)) values[name] = text();
            product["productSettings"][container].push_back({{"good", gen.percent(80)}, {"values", values}});
        }
    }
    for (const char* name : {"TRLVHELP", "HELP"})
        if (gen.percent(30)) product["profiles"]["General"][name] = text();
    return product;
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
    std::vector<std::uint8_t> padded(data.bytes);
    padded.resize(data.bytes.size() + 8, 0x5A);  // so the platform adds no terminator of its own
    RegSetValueExW(key, name, 0, data.type, padded.data(), DWORD(data.bytes.size()));
}

TEST_F(Robustness, LoadMuiString) {
    testing_support::InitDefaultProduct();
    while (more(30)) {
        campaign.input = gen.muiText();
        const wchar_t* source = gen.percent(1) ? nullptr : campaign.input.c_str();
        const Answer answer = CheckBuffer<std::size_t>(
            gen, "tvudLoadMUIString", [&](wchar_t* b, std::size_t n) { return tvudLoadMUIString(source, b, n); }, 1,
            true);
        Expect(!answer.copied || !source || source[0] == L'@' || *answer.copied == source,
               "plain text comes back unchanged");
    }
}

// Random products (every other round the default one) through every getter,
// then folder values from the whole 32-bit range.
TEST_F(Robustness, RandomProducts) {
    static const int kEdges[] = {INT_MIN, INT_MIN + 1, -19, -1, 19, 20, 256, 65536, INT_MAX};
    for (int round = 0; more(55); ++round) {
        const json product = RandomProduct(gen);
        campaign.input = round % 2 ? L"the default product" : Wide(product.dump());
        const unsigned r = Call("tvudInitProductParams", 0, [&] {
            return round % 2 ? testing_support::InitDefaultProduct() : testing_support::InitProduct(product);
        });
        Expect(r == 0, "a valid description loads", r);
        Sweep(gen, round % 2 ? nullptr : &product);
        for (int i = 0; i < 50; ++i)
            CheckFolder(gen, gen.percent(40)   ? int(gen.below(19))
                             : gen.percent(50) ? gen.pick(kEdges)
                                               : int(gen.next()));
    }
}

TEST_F(Robustness, RegistryData) {
    // The required COM class's server registration is put back as found.
    const std::wstring classPath = L"Software\\Classes\\CLSID\\{3F6B2D84-9E15-4C7A-8B02-D4A9C1E65F38}";
    const std::wstring serverPath = classPath + L"\\InProcServer32";
    const bool classExisted = testing_support::KeyExists(HKEY_LOCAL_MACHINE, classPath);
    const bool serverExisted = testing_support::KeyExists(HKEY_LOCAL_MACHINE, serverPath);
    const std::optional<RegistryData> saved = ReadValue(HKEY_LOCAL_MACHINE, serverPath, nullptr);
    HKEY server = nullptr;
    ASSERT_EQ(0, RegCreateKeyExW(HKEY_LOCAL_MACHINE, serverPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                 &server, nullptr));
    {
        const TestKey machine(HKEY_LOCAL_MACHINE);  // a product root with a "ProductName"
        testing_support::InitProduct({{"productCultureSpecificRootName", Utf8(machine.path())}});
        while (more(10)) {
            const RegistryData data = gen.registryData();
            campaign.input =
                L"type " + std::to_wstring(data.type) + L", " + std::to_wstring(data.bytes.size()) + L" bytes";
            WriteValue(server, nullptr, data);
            const bool relative = Call("CheckCOMServerRelativePaths", 0, CheckCOMServerRelativePaths);
            const std::wstring text(reinterpret_cast<const wchar_t*>(data.bytes.data()), data.bytes.size() / 2);
            Expect(!relative || ((data.type == REG_SZ || data.type == REG_EXPAND_SZ) &&
                                 text.substr(0, text.find(L'\0')).find(L':') == text.npos),
                   "neither a value of another type nor a path with a drive is relative");
            WriteValue(machine.handle(), L"ProductName", data);
            CheckGetter(gen, kGetters[std::size(kGetters) - 1], nullptr);
        }
    }
    saved ? WriteValue(server, nullptr, *saved) : void(RegDeleteValueW(server, nullptr));
    RegCloseKey(server);
    if (!serverExisted) RegDeleteTreeW(HKEY_LOCAL_MACHINE, (classExisted ? serverPath : classPath).c_str());
}

TEST_F(Robustness, AutoMigrateValues) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring roamable = temp + (L"userdata-robust-" + std::to_wstring(GetCurrentProcessId()));
    const std::wstring marker = roamable + L"\\DAP", log = roamable + L"\\migrator.log";
    CreateDirectoryW(roamable.c_str(), nullptr);
    SetEnvironmentVariableW(L"VTMIGRATOR_LOG", log.c_str());
    SetEnvironmentVariableW(L"VTMIGRATOR_DELAY_MS", nullptr);
    const TestKey user(HKEY_CURRENT_USER);
    const std::wstring machinePath = TestKey::UniquePath();
    const RegistryData numbers[] = {{REG_DWORD, {0, 0, 0, 0}}, {REG_DWORD, {1, 0, 0, 0}}, {REG_DWORD, {2, 0, 0, 0}}};
    // Each run may start the migrator and wait for it, so there are few.
    for (auto run = std::clamp<std::uint64_t>(campaign.inputs / 20000, 4, 60); run > 0; --run) {
        // Names of any length, also past what the migrator's options hold.
        const json product = {{"productCultureSpecificRootName", Utf8(machinePath)},
                              {"roamingRootName", Utf8(user.path())},
                              {"currentProduct", Utf8(gen.text(gen.length(600)))},
                              {"currentLanguageName", Utf8(gen.text(gen.length(600)))},
                              {"productSettings", {{"", {{{"values", {{"RoamableRootFolder", Utf8(roamable)}}}}}}}}};
        campaign.input = Wide(product.dump());
        Expect(testing_support::InitProduct(product) == 0, "a valid description loads");
        auto data = [&] { return gen.percent(50) ? gen.registryData() : gen.pick(numbers); };
        std::optional<TestKey> machine;
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
    const json base = {{"roamingRootName", "Software\\Veltrane\\Trelvix\\R27.0"},
                       {"productCultureSpecificRootName", "Software\\Veltrane\\Trelvix\\R27.0\\TRLV-7001:409"},
                       {"currentLanguageName", "en-US"},
                       {"resDir", "C:\\P"},
                       {"pathSeparator", "\\"},
                       {"productSettings", {{"", {{{"good", true}, {"values", {{"RoamableRootFolder", "C:\\R\\"}}}}}}}},
                       {"profiles", {{"General", {{"HELP", "C:\\Help\\t.chm"}}}}}};
    const json wrong[] = {5, -1.5, true, nullptr, json::array(), json::object(), "", "ab", "\\"};
    const std::wstring machine = Wide(base["productCultureSpecificRootName"].get<std::string>());
    std::vector<std::string> nodes;  // every node of the description, as a JSON pointer
    const json leaves = base.flatten();
    for (const auto& leaf : leaves.items())
        for (std::size_t cut = 0; cut != std::string::npos;)
            nodes.push_back(leaf.key().substr(0, cut = leaf.key().find('/', cut + 1)));
    ASSERT_EQ(0u, testing_support::InitProduct(base));
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
        campaign.input = Wide(text);
        const std::wstring path = testing_support::WriteConfigFile(text);
        const unsigned r = Call("tvudInitProductParams", 0, [&] { return tvudInitProductParams(path.c_str(), L""); });
        DeleteFileW(path.c_str());
        Expect(r <= 1, "0 or 1", r);
        if (r == 1) {  // refused: the previous product stays
            GuardedBuffer root(machine.size() + 1);
            Call("tvudGetMachineProductRegistryRootKey", root.capacity(),
                 [&] { return tvudGetMachineProductRegistryRootKey(root.data(), DWORD(root.capacity())); });
            Expect(root.text() == machine, "after a refusal the previous product stays");
        } else {
            Sweep(gen, nullptr);
            testing_support::InitProduct(base);
        }
    }
}

}  // namespace
