// Bad and extreme inputs from a seeded generator: random products through
// every export that fills a caller buffer. (Registry data of every type and
// size, which Wine expands past the buffer it is given, is read into guarded
// buffers by registry_test.cpp.) Every call gets a guarded buffer
// (support/GuardedBuffer.h), so a write past it faults and one before it
// fails the test, and each answer is held to its export's convention.
// ctest runs the fixed seed below; USERDATA_ROBUSTNESS_SEED and
// USERDATA_ROBUSTNESS_INPUTS choose another run (docs/robustness.md).
#include <climits>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <random>

#include "support/TestSupport.h"

static std::uint64_t FromEnvironment(const char* name, std::uint64_t fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::stoull(value) : fallback;
}
static const std::uint64_t kSeed = FromEnvironment("USERDATA_ROBUSTNESS_SEED", 20270601);
static const std::uint64_t kInputs = FromEnvironment("USERDATA_ROBUSTNESS_INPUTS", 40000);
static std::uint64_t inputs = 0;  // export calls so far
static std::string input;         // the product or value under test, for reports
static unsigned failedBefore = 0; // checks failed before the campaign began

// A campaign stops at its first broken answer.
static bool CampaignFailed() { return ChecksFailed() > failedBefore; }

class Generator {
public:
    explicit Generator(const std::string& campaign) : engine_(kSeed + std::hash<std::string>()(campaign)) {}
    std::uint64_t below(std::uint64_t n) { return n ? engine_() % n : 0; }
    bool percent(unsigned p) { return below(100) < p; }
    template <class T, std::size_t N>
    T pick(const T (&items)[N]) { return items[below(N)]; }
    // 0..max: mostly short, often at or beside one of the library's work sizes.
    std::size_t length(std::size_t max) {
        const std::size_t kEdges[] = {0, 1, 56, 63, 64, 255, 256, 259, 260, 492, 511, 1023, 2047, 4095, 5000};
        const std::size_t n = percent(35) ? pick(kEdges) + below(3) : percent(60) ? below(40) + 1 : below(max + 2);
        return std::min(n ? n - 1 : 0, max);
    }
    // A capacity round an answer of `needed` characters, or a null buffer.
    std::size_t capacity(std::size_t needed) {
        const std::size_t choices[] = {kNullBuffer, 0, 1, needed - !!needed, needed, needed + 1, length(6000)};
        return pick(choices);
    }
    // Runs of the characters that the library's parsers cut at.
    std::wstring text(std::size_t n, const std::wstring& chars = L"aZ9--\\\\\\/:. @,_\u00e9\u8a9e") {
        std::wstring s;
        while (s.size() < n) s.append(percent(3) ? below(n - s.size()) + 1 : 1, chars[below(chars.size())]);
        return s;
    }
    // "@library,-id" of every shape (the test library's ids 123, 124, 125 and
    // 200 among them), and other text heavy in those characters.
    std::wstring muiText() {
        const wchar_t* const kLibraries[] = {L"@test_strings.dll,-", L"@", L"@,-", L"@nosuch.dll,-", L""};
        const wchar_t* const kIds[] = {L"123", L"200", L"124", L"125", L"0", L"4294967419", L""};
        return pick(kLibraries) + (percent(60) ? pick(kIds) : text(length(300), L"@,-.0123456789 a\\"));
    }
private:
    std::mt19937_64 engine_;
};

// How an export answers: `full` with ample room, `got` with `capacity`.
//   LengthPlusOne: length + 1 when it fits or for a size query, else 0 and untouched;
//   EmptyOnZero: the same, but a 0 leaves an empty string in a real buffer;
//   Length: the length when below the capacity, else 0 (an empty name is copied); no size query;
//   Bytes: the byte count, NUL included, when within the capacity, else 0; no size query;
//   OneOrZero: 1 with the same path, else 0; only a real buffer is written.
// (The help file names answer by rules of their own: help_files_test.cpp.)
enum class Convention { LengthPlusOne, EmptyOnZero, Length, Bytes, OneOrZero };
static bool Holds(Convention convention, const Filled& full, const Filled& got, std::size_t capacity) {
    const bool buffer = capacity != kNullBuffer && capacity > 0, untouched = !got.text, same = got.text == full.text;
    const std::size_t length = full.result && full.text ? full.text->size() : 0;
    switch (convention) {
    case Convention::LengthPlusOne:
    case Convention::EmptyOnZero: {
        const unsigned expected = buffer && full.result > capacity ? 0 : full.result;
        const bool emptied = convention == Convention::EmptyOnZero && buffer && got.text == L"";
        return (!full.result || full.result == length + 1) && got.result == expected &&
               (expected && buffer ? same : untouched || emptied);
    }
    case Convention::Length:
        return got.result == (buffer && capacity > length ? full.result : 0) &&
               (got.result ? same : untouched || (buffer && got.text == L"" && full.text == L""));
    case Convention::Bytes:
        return (!full.result || length <= full.result / 2) && (got.result ? same : untouched) &&
               got.result == (buffer && capacity >= full.result ? full.result : 0);
    case Convention::OneOrZero:
        return got.result <= 1 && (buffer || untouched) && (!got.result || !buffer || same);
    }
    return false;
}

struct Export { const char* name; Convention convention; std::function<unsigned(wchar_t*, std::size_t)> get; };
template <unsigned (*get)(wchar_t*, unsigned long)>
unsigned Sized(wchar_t* buffer, std::size_t size) { return get(buffer, DWORD(size)); }

// Every export that fills a caller buffer, with a random folder value,
// settings name and display texts.
static std::vector<Export> Exports(Generator& gen) {
    const int kFolderEdges[] = {INT_MIN, -1, 19, 256, INT_MAX};
    const auto folder = TvUdSpecialFolder::Folders(gen.percent(90) ? int(gen.below(19)) : gen.pick(kFolderEdges));
    // The folders with a sub-folder need a real buffer: there is no size query.
    const bool subFolder = folder == 1 || folder == 4 || folder == 5 || folder == 14 || folder == 15;
    const wchar_t* const kNames[] = {L"RoamableRootFolder", L"LocalRootFolder", L"LicenseFile"};
    const std::wstring name = gen.percent(80) ? gen.pick(kNames) : gen.text(gen.length(300));
    using C = Convention;
    std::vector<Export> exports = {
        {"GetProgramName", C::Length, Sized<GetProgramName>},
        {"GetProductName", C::Length, Sized<GetProductName>},
        {"GetVerticalProductName", C::Bytes, Sized<GetVerticalProductName>},
        {"GetProductSpecificFilePath", C::LengthPlusOne,
         [name](wchar_t* b, std::size_t n) { return GetProductSpecificFilePath(name.c_str(), b, DWORD(n)); }},
        {"tvudGetXRootFoldPath", C::LengthPlusOne,
         [name](wchar_t* b, std::size_t n) { return tvudGetXRootFoldPath(name.c_str(), b, n); }},
        {"tvudGetSpecialFolder", C::LengthPlusOne,
         [folder](wchar_t* b, std::size_t n) { return tvudGetSpecialFolder(folder, b, n); }},
        {"tvudGetProductXFoldPath", C::OneOrZero,
         [=](wchar_t* b, std::size_t n) { return b || !subFolder ? tvudGetProductXFoldPath(b, n, folder) : 0; }},
    };
    for (const ContextGetter& g : kContextGetters)
        exports.push_back({g.name, C::LengthPlusOne, [get = g.get](wchar_t* b, size_t n) { return get(b, DWORD(n)); }});
    for (int i = 0; i < 3; ++i) {
        const auto load = [text = gen.muiText()](wchar_t* b, size_t n) { return tvudLoadMUIString(text.data(), b, n); };
        exports.push_back({"tvudLoadMUIString", C::EmptyOnZero, load});
    }
    return exports;
}

// The export's full answer, then three capacities round it; each call is one input.
static void Check(Generator& gen, const Export& e) {
    const Filled full = Fill(e.get, 8192);
    ++inputs;
    for (int i = 0; i < 3 && !CampaignFailed(); ++i, ++inputs) {
        const std::size_t capacity = gen.capacity(full.text ? full.text->size() + 1 : full.result);
        const Filled got = Fill(e.get, capacity);
        CHECK_MESSAGE(Holds(e.convention, full, got, capacity), e.name << " broke its convention: " << got
                      << " with capacity " << capacity << ", " << full << " with ample room; seed " << kSeed << ", "
                      << input);
    }
}

TEST_CASE("Robustness.RandomProductsThroughEveryExport") {
    Generator gen("products");
    const auto text = [&] { return WideToUtf8(gen.text(gen.length(5000))); };
    failedBefore = ChecksFailed();
    while (inputs < kInputs && !CampaignFailed()) {
        json product = json::object();
        for (const char* key : {"roamingRootName", "productCultureSpecificRootName", "productGlobalRootName",
                                "currentLanguageName", "currentProduct", "currentProductIdentityIniPath",
                                "verticalPath", "resDir", "myDocumentsPath"})
            if (gen.percent(90)) product[key] = text();
        if (gen.percent(80)) product["pathSeparator"] = WideToUtf8(gen.text(1, L"\\\\\\/-:a \u00e9"));
        for (const char* container : {"", "ProductSpecific"})
            for (auto n = gen.below(3); n > 0; --n) {
                json values = json::object();
                for (const char* name : {"RoamableRootFolder", "LocalRootFolder", "DefaultHelpFileName", "LicenseFile"})
                    if (gen.percent(50)) values[name] = text();
                product["productSettings"][container].push_back({{"good", gen.percent(80)}, {"values", values}});
            }
        for (const char* name : {"TRLVHELP", "HELP"})
            if (gen.percent(30)) product["profiles"]["General"][name] = text();
        input = "product " + product.dump().substr(0, 500);
        REQUIRE_MESSAGE(0u == InitProduct(product), input);
        for (const Export& e : Exports(gen)) Check(gen, e);
    }
}

// First, so that a run that crashes has said which run it was; last, how far it went.
static const bool kSeedShown = (std::cout << "robustness: seed " << kSeed << ", " << kInputs << " inputs\n").good();
static const struct Summary {
    ~Summary() { std::cout << "robustness: " << inputs << " inputs made, seed " << kSeed << std::endl; }
} kSummary;
