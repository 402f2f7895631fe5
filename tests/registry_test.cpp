// Registry access against Wine's real registry: the machine-to-user fallback,
// the termination checks on string data, the key owner and TvRegistryAccess.
// Every test works in keys of its own, deleted when it ends.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include <registry/RegistryFunctions.h>
#include <registry/TvRegistryAccess.h>
#include <registry/UniqueHkey.h>

#include "support/GuardedBuffer.h"
#include "support/TestKey.h"

using namespace std::string_literals;
using namespace userdata;
using testing_support::GuardedBuffer;
using testing_support::KeyHandleIsOpen;
using testing_support::TestKey;
using testing_support::Utf16Bytes;
using Bytes = std::vector<std::uint8_t>;

namespace {

TEST(RegistryOpenKey, FallsBackFromMissingMachineKeyOnly) {
    const struct {
        const char* name;
        HKEY root;
        bool inMachine, inUser, machineDenied;
        LSTATUS expected;
        const wchar_t* openedHive;  // the "Hive" value of the key opened; empty: none opened
    } cases[] = {
        {"machine key wins where it exists", HKEY_LOCAL_MACHINE, true, true, false, 0, L"machine"},
        {"missing machine key: the user's", HKEY_LOCAL_MACHINE, false, true, false, 0, L"user"},
        {"missing in both hives", HKEY_LOCAL_MACHINE, false, false, false, ERROR_FILE_NOT_FOUND, L""},
        {"denied machine key: no fallback", HKEY_LOCAL_MACHINE, true, true, true, ERROR_ACCESS_DENIED, L""},
        {"missing user key: no fallback", HKEY_CURRENT_USER, true, false, false, ERROR_FILE_NOT_FOUND, L""},
        {"missing classes key: no fallback", HKEY_CLASSES_ROOT, true, true, false, ERROR_FILE_NOT_FOUND, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = TestKey::UniquePath();
        std::optional<TestKey> machine, user;
        if (c.inMachine) machine.emplace(HKEY_LOCAL_MACHINE, path).setString(L"Hive", L"machine");
        if (c.inUser) user.emplace(HKEY_CURRENT_USER, path).setString(L"Hive", L"user");
        if (c.machineDenied) machine->denyReading();

        UniqueHkey key;
        EXPECT_EQ(c.expected, RegistryOpenKey(c.root, path.c_str(), 0, KEY_READ, key.put()));
        wchar_t hive[16] = {};
        DWORD bytes = sizeof hive;
        if (key) {
            EXPECT_EQ(0, RegistryGetValue(key.get(), L"Hive", nullptr, nullptr, hive, &bytes));
        }
        EXPECT_STREQ(c.openedHive, hive);
    }
}

TEST(RegistryQueryValue, RefusesBadlyTerminatedStringsAndReportsTypeAndSize) {
    const struct {
        const char* name;
        DWORD type;
        Bytes stored;
        DWORD capacity;  // in bytes; 0: a size query, without a buffer
        LSTATUS expected;
    } cases[] = {
        {"REG_SZ with its NUL", REG_SZ, Utf16Bytes(L"abc\0"s), 16, 0},
        // The odd sizes end on a whole NUL, so only the size check refuses them.
        {"REG_SZ of an odd size", REG_SZ, {'a', 0, 'b', 0, 0, 0, 'c'}, 16, ERROR_INVALID_DATA},
        {"REG_SZ without final NUL", REG_SZ, Utf16Bytes(L"abc"), 16, ERROR_INVALID_DATA},
        {"REG_SZ with a NUL inside only", REG_SZ, Utf16Bytes(L"a\0bc"s), 16, ERROR_INVALID_DATA},
        {"empty REG_SZ, room for a NUL", REG_SZ, {}, 2, 0},
        {"empty REG_SZ, no room for a NUL", REG_SZ, {}, 1, 0},
        {"REG_MULTI_SZ of 0 bytes", REG_MULTI_SZ, {}, 16, ERROR_INVALID_DATA},
        {"REG_MULTI_SZ of 1 byte", REG_MULTI_SZ, {0}, 16, ERROR_INVALID_DATA},
        {"REG_MULTI_SZ lone NUL", REG_MULTI_SZ, Utf16Bytes(L"\0"s), 16, 0},
        {"REG_MULTI_SZ ending in two NULs", REG_MULTI_SZ, Utf16Bytes(L"a\0b\0\0"s), 16, 0},
        {"REG_MULTI_SZ ending in one NUL", REG_MULTI_SZ, Utf16Bytes(L"a\0b\0"s), 16, ERROR_INVALID_DATA},
        {"REG_MULTI_SZ of one string, one NUL", REG_MULTI_SZ, Utf16Bytes(L"a\0"s), 16, ERROR_INVALID_DATA},
        {"REG_MULTI_SZ without NUL", REG_MULTI_SZ, Utf16Bytes(L"ab"), 16, ERROR_INVALID_DATA},
        {"REG_MULTI_SZ of an odd size", REG_MULTI_SZ, {'a', 0, 0, 0, 0, 0, 'c'}, 16, ERROR_INVALID_DATA},
        {"REG_EXPAND_SZ unchecked", REG_EXPAND_SZ, {'a', 0, 'b', 0, 'c'}, 16, 0},
        {"REG_DWORD unchecked", REG_DWORD, {1, 0, 0, 0}, 16, 0},
        {"size query skips the checks", REG_SZ, Utf16Bytes(L"abc"), 0, 0},
        {"buffer too small: the size needed", REG_SZ, Utf16Bytes(L"abcdef\0"s), 4, ERROR_MORE_DATA},
    };
    TestKey key(HKEY_CURRENT_USER);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        key.setRaw(L"V", c.type, c.stored);
        GuardedBuffer buffer(8);
        DWORD type = REG_NONE, bytes = c.capacity;
        BYTE* data = c.capacity ? reinterpret_cast<BYTE*>(buffer.data()) : nullptr;
        EXPECT_EQ(c.expected, RegistryQueryValue(key.handle(), L"V", nullptr, &type, data, &bytes));
        EXPECT_EQ(c.type, type);
        EXPECT_EQ(c.stored.size(), bytes);
        EXPECT_TRUE(buffer.canariesIntact());
        if (c.type == REG_SZ && c.stored.empty()) {
            EXPECT_EQ(c.capacity >= 2, buffer.data()[0] == L'\0');
            EXPECT_EQ(GuardedBuffer::kFill, buffer.data()[1]);
        }
    }
    // Refused before the registry is asked: a null key would give ERROR_INVALID_HANDLE.
    GuardedBuffer buffer(8);
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              RegistryQueryValue(nullptr, L"V", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), nullptr));
    EXPECT_TRUE(buffer.untouched());
}

TEST(TvRegistryAccess, ReleasesEachKeyOnceAndCountsCharacters) {
    const TestKey testKey(HKEY_CURRENT_USER);
    TvRegistryAccess access;
    DWORD chars = 8;
    EXPECT_NE(0, access.queryStringValue(L"V", nullptr, &chars));  // nothing held
    EXPECT_EQ(0u, chars);

    // Read-only, and with the machine-to-user fallback.
    ASSERT_EQ(0, access.open(HKEY_LOCAL_MACHINE, testKey.path().c_str()));
    const DWORD one = 1;
    EXPECT_EQ(ERROR_ACCESS_DENIED,
              RegistrySetValue(access.handle(), L"V", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4));
    // A second open releases the key held even when it fails.
    const HKEY first = access.handle();
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, access.open(HKEY_CURRENT_USER, L"Software\\UserDataTests\\NoSuchKey"));
    EXPECT_EQ(nullptr, access.handle());
    EXPECT_FALSE(KeyHandleIsOpen(first));

    ASSERT_EQ(0, access.open(HKEY_CURRENT_USER, testKey.path().c_str()));
    const HKEY second = access.handle();
    EXPECT_EQ(0, access.close());
    EXPECT_EQ(0, access.close());
    EXPECT_FALSE(KeyHandleIsOpen(second));

    const struct {
        const char* name;
        const wchar_t* value;
        DWORD capacity;  // 0: a size query, without a buffer
        LSTATUS expected;
        DWORD chars;
        std::wstring text;
    } cases[] = {
        {"size query", L"Three", 0, 0, 4, L""},
        {"exact buffer", L"Three", 4, 0, 4, L"abc"},
        {"buffer too small: count 0", L"Three", 2, ERROR_MORE_DATA, 0, L""},
        {"default value", nullptr, 8, 0, 5, L"dflt"},
        {"REG_EXPAND_SZ is not expanded", L"Expand", 16, 0, 7, L"%TEMP%"},
        {"REG_DWORD size query", L"Number", 0, ERROR_INVALID_DATA, 0, L""},
        {"REG_DWORD with a buffer", L"Number", 4, ERROR_INVALID_DATA, 0, L""},
        {"REG_MULTI_SZ", L"Multi", 8, ERROR_INVALID_DATA, 0, L""},
        {"odd byte not counted", L"Odd", 0, 0, 2, L""},
        {"missing value", L"Missing", 8, ERROR_FILE_NOT_FOUND, 0, L""},
    };
    testKey.setString(L"Three", L"abc");
    testKey.setString(nullptr, L"dflt");
    testKey.setString(L"Expand", L"%TEMP%", REG_EXPAND_SZ);
    testKey.setRaw(L"Number", REG_DWORD, {3, 0, 0, 0});
    testKey.setString(L"Multi", L"a\0"s, REG_MULTI_SZ);
    testKey.setRaw(L"Odd", REG_SZ, {'a', 0, 'b', 0, 0});
    ASSERT_EQ(0, access.open(HKEY_CURRENT_USER, testKey.path().c_str()));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GuardedBuffer buffer(c.capacity ? c.capacity : 8);
        DWORD chars = c.capacity;
        EXPECT_EQ(c.expected, access.queryStringValue(c.value, c.capacity ? buffer.data() : nullptr, &chars));
        EXPECT_EQ(c.chars, chars);
        if (!c.text.empty()) {
            EXPECT_EQ(c.text, buffer.text());
        }
        if (!c.capacity) {
            EXPECT_TRUE(buffer.untouched());
        }
        EXPECT_TRUE(buffer.canariesIntact());
    }
}

}  // namespace
