// The registry seam against Wine's real registry: the machine-to-user
// fallback, and reads that Wine expands past the buffer. (The termination
// checks on string data show through the COM server check, in
// com_server_paths_test.cpp.)
#include <registry/RegistryFunctions.h>

#include "support/TestSupport.h"

using namespace userdata;

TEST_CASE("RegistryOpenKey.FallsBackFromMissingMachineKeyOnly") {
    // The key opened is told by its "Hive" value; empty: none opened.
    const struct { const char* name; HKEY root; bool inMachine, inUser, denied; LSTATUS expected; const wchar_t* hive; }
        cases[] = {
            {"machine key wins where it exists", HKEY_LOCAL_MACHINE, true, true, false, 0, L"machine"},
            {"missing machine key: the user's", HKEY_LOCAL_MACHINE, false, true, false, 0, L"user"},
            {"missing in both hives", HKEY_LOCAL_MACHINE, false, false, false, ERROR_FILE_NOT_FOUND, L""},
            {"denied machine key: no fallback", HKEY_LOCAL_MACHINE, true, true, true, ERROR_ACCESS_DENIED, L""},
            {"missing user key: no fallback", HKEY_CURRENT_USER, true, false, false, ERROR_FILE_NOT_FOUND, L""},
            {"missing classes key: no fallback", HKEY_CLASSES_ROOT, true, true, false, ERROR_FILE_NOT_FOUND, L""},
        };
    for (const auto& c : cases) {
        INFO(c.name);
        const std::wstring path = TestKey::UniquePath();
        std::optional<TestKey> machine, user;
        if (c.inMachine) machine.emplace(HKEY_LOCAL_MACHINE, path).setString(L"Hive", L"machine");
        if (c.inUser) user.emplace(HKEY_CURRENT_USER, path).setString(L"Hive", L"user");
        if (c.denied) machine->denyReading();
        UniqueHkey key;
        CHECK(c.expected == RegistryOpenKey(c.root, path.c_str(), 0, KEY_READ, key.put()));
        wchar_t hive[16] = {};
        DWORD bytes = sizeof hive;
        if (key) RegGetValueW(key.get(), nullptr, L"Hive", RRF_RT_REG_SZ, nullptr, hive, &bytes);
        CHECK(std::wstring(c.hive) == hive);
    }
}

// Wine expands REG_EXPAND_SZ data taking the byte count for a count of
// characters, so it writes up to twice the buffer it is given: a stack
// overrun in every reader (a 4-byte switch, a 4096-byte name).
TEST_CASE("RegistryGetValue.ExpandsIntoTheBufferGivenAndNeverPastIt") {
    // The status, and the text read: none when the buffer was left alone.
    const struct { const char* name; DWORD type; std::wstring stored; size_t capacity; LSTATUS status; Filled read; }
        cases[] = {
            {"expansion of twice the buffer", REG_EXPAND_SZ, L"abcdefgh", 2, ERROR_MORE_DATA, {18, {}}},
            {"expansion of one character more", REG_EXPAND_SZ, L"abcd", 4, ERROR_MORE_DATA, {10, {}}},
            {"expansion that fits exactly", REG_EXPAND_SZ, L"abc", 4, 0, {8, L"abc"}},
        };
    TestKey key(HKEY_CURRENT_USER);
    for (const auto& c : cases) {
        INFO(c.name);
        key.setString(L"V", c.stored, c.type);
        LSTATUS status = ~0;
        CHECK(c.read == Fill([&](wchar_t* buffer, size_t chars) {
            DWORD bytes = DWORD(chars * sizeof(wchar_t));
            status = RegistryGetValue(key.handle(), L"V", nullptr, nullptr, buffer, &bytes);
            return unsigned(bytes);
        }, c.capacity));
        CHECK(c.status == status);
    }
}
