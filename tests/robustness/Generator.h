// A seeded source of bad and extreme inputs: lengths crowded round the
// library's fixed work sizes, texts full of the characters its parsers cut
// at, registry data of every type and of odd sizes.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace robustness {

using namespace std::literals;

struct RegistryData {
    DWORD type = REG_NONE;
    std::vector<std::uint8_t> bytes;
    bool operator==(const RegistryData& other) const { return type == other.type && bytes == other.bytes; }
};

class Generator {
public:
    explicit Generator(std::uint64_t seed) : engine_(seed) {}

    std::uint64_t next() { return engine_(); }
    std::uint64_t below(std::uint64_t n) { return n == 0 ? 0 : engine_() % n; }
    bool percent(unsigned p) { return below(100) < p; }
    template <class T, std::size_t N>
    const T& pick(const T (&items)[N]) {
        return items[below(N)];
    }
    wchar_t pick(std::wstring_view chars) { return chars[below(chars.size())]; }

    // 0..max: mostly short, often at or beside a work-buffer size.
    std::size_t length(std::size_t max) {
        static const std::size_t kEdges[] = {0,   1,   49,  56,  63,   64,   255,  256,  259,  260,  486,
                                             492, 511, 512, 520, 1023, 1024, 2047, 2048, 4095, 4096, 5000};
        const std::size_t n = percent(35) ? pick(kEdges) + below(3) : percent(60) ? below(40) + 1 : below(max + 2);
        return std::min(n ? n - 1 : 0, max);
    }

    // A capacity for an answer that needs `needed` characters.
    std::size_t capacity(std::size_t needed) {
        const std::size_t choices[] = {below(2), needed ? needed - 1 : 0, needed, needed + 1, length(6000)};
        return pick(choices);
    }

    // `n` characters with runs, hyphens, separators and drive colons.
    std::wstring text(std::size_t n, std::wstring_view chars = L"aaZ9--\\\\\\/:. _\u00e9\u8a9e"sv) {
        std::wstring s;
        while (s.size() < n) s.append(percent(3) ? below(n - s.size()) + 1 : 1, pick(chars));
        return s;
    }

    // References "@library,-id" of every shape, and other text heavy in at
    // signs, commas, hyphens and digits.
    std::wstring muiText() {
        static const wchar_t* const kLibraries[] = {L"test_strings.dll", L"user32.dll", L"", L"nosuch.dll", L"@"};
        static const wchar_t* const kIds[] = {L"123", L"125", L"200", L"124", L"0", L"65536", L"4294967419"};
        static const wchar_t* const kPieces[] = {L"@", L",", L"-", L",-", L"7", L"123", L"test_strings.dll", L" "};
        if (percent(35))
            return L"@" + (percent(70) ? std::wstring(pick(kLibraries)) : text(length(300), L"a.@,-9\\"sv)) + L",-" +
                   (percent(70) ? std::wstring(pick(kIds)) : text(length(300), L"0123456789-+ a"sv));
        std::wstring s = percent(50) ? L"@" : L"";
        for (const std::size_t n = percent(15) ? below(601) : below(30); s.size() < n;)
            s += percent(5) ? std::wstring(below(300) + 1, pick(L"@,-7"sv)) : pick(kPieces);
        return s;
    }

    // Any type; half of it text (with drive colons, embedded NULs, maybe no
    // terminator), often of a size that fits no type.
    RegistryData registryData() {
        static const DWORD kTypes[] = {REG_NONE,          REG_SZ,    REG_EXPAND_SZ, REG_BINARY,
                                       REG_DWORD,         REG_LINK,  REG_MULTI_SZ,  REG_DWORD_BIG_ENDIAN,
                                       REG_RESOURCE_LIST, REG_QWORD, 0x7FFF};
        RegistryData data{pick(kTypes), std::vector<std::uint8_t>(percent(40) ? below(10) : length(9000))};
        const std::wstring chars = text(data.bytes.size() / 2 + 1, L"a:\\-% \0"sv);
        const bool random = percent(50);
        for (std::size_t i = 0; i < data.bytes.size(); ++i)
            data.bytes[i] = static_cast<std::uint8_t>(random ? below(256) : chars[i / 2] >> (i % 2 * 8));
        return data;
    }

private:
    std::mt19937_64 engine_;
};

}  // namespace robustness
