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
using testing_support::KeyExists;
using testing_support::KeyHandleIsOpen;
using testing_support::TestKey;
using testing_support::Utf16Bytes;
using Bytes = std::vector<std::uint8_t>;

namespace {

// The first `count` bytes of `text`, to store string data cut short.
Bytes FirstBytes(const std::wstring& text, size_t count) {
    Bytes bytes = Utf16Bytes(text);
    bytes.resize(count);
    return bytes;
}

std::wstring ReadString(HKEY key, const wchar_t* name) {
    wchar_t text[64] = {};
    DWORD bytes = sizeof text;
    return RegistryGetValue(key, name, nullptr, nullptr, text, &bytes) == ERROR_SUCCESS ? text : L"<unreadable>";
}

struct OpenCase {
    const char* name;
    HKEY root;
    bool inMachine, inUser, machineDenied;
    LSTATUS expected;
    const wchar_t* openedHive;  // the "Hive" value of the key opened
};

TEST(RegistryOpenKey, FallsBackFromMissingMachineKeyOnly) {
    const OpenCase cases[] = {
        {"machine key wins where it exists", HKEY_LOCAL_MACHINE, true, true, false, 0, L"machine"},
        {"missing machine key: the user's", HKEY_LOCAL_MACHINE, false, true, false, 0, L"user"},
        {"missing in both hives", HKEY_LOCAL_MACHINE, false, false, false, ERROR_FILE_NOT_FOUND, nullptr},
        {"denied machine key: no fallback", HKEY_LOCAL_MACHINE, true, true, true, ERROR_ACCESS_DENIED, nullptr},
        {"missing user key: no fallback", HKEY_CURRENT_USER, true, false, false, ERROR_FILE_NOT_FOUND, nullptr},
        {"missing classes key: no fallback", HKEY_CLASSES_ROOT, true, true, false, ERROR_FILE_NOT_FOUND, nullptr},
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
        if (c.openedHive) {
            EXPECT_EQ(c.openedHive, ReadString(key.get(), L"Hive"));
        } else {
            EXPECT_FALSE(key);
        }
    }
}

struct TerminationCase {
    const char* name;
    DWORD type;
    Bytes stored;
    LSTATUS expected;
};

TEST(RegistryQueryValue, RefusesBadlyTerminatedStrings) {
    const TerminationCase cases[] = {
        // The odd sizes end on a whole NUL, so only the size check refuses them.
        {"REG_SZ with its NUL", REG_SZ, Utf16Bytes(L"abc\0"s), 0},
        {"REG_SZ of an odd size", REG_SZ, FirstBytes(L"ab\0c"s, 7), ERROR_INVALID_DATA},
        {"REG_SZ without final NUL", REG_SZ, Utf16Bytes(L"abc"), ERROR_INVALID_DATA},
        {"REG_SZ with a NUL inside only", REG_SZ, Utf16Bytes(L"a\0bc"s), ERROR_INVALID_DATA},
        {"REG_MULTI_SZ of 0 bytes", REG_MULTI_SZ, {}, ERROR_INVALID_DATA},
        {"REG_MULTI_SZ of 1 byte", REG_MULTI_SZ, {0}, ERROR_INVALID_DATA},
        {"REG_MULTI_SZ lone NUL", REG_MULTI_SZ, Utf16Bytes(L"\0"s), 0},
        {"REG_MULTI_SZ ending in two NULs", REG_MULTI_SZ, Utf16Bytes(L"a\0b\0\0"s), 0},
        {"REG_MULTI_SZ ending in one NUL", REG_MULTI_SZ, Utf16Bytes(L"a\0b\0"s), ERROR_INVALID_DATA},
        {"REG_MULTI_SZ of one string, one NUL", REG_MULTI_SZ, Utf16Bytes(L"a\0"s), ERROR_INVALID_DATA},
        {"REG_MULTI_SZ without NUL", REG_MULTI_SZ, Utf16Bytes(L"ab"), ERROR_INVALID_DATA},
        {"REG_MULTI_SZ of an odd size", REG_MULTI_SZ, FirstBytes(L"a\0\0c"s, 7), ERROR_INVALID_DATA},
        {"REG_EXPAND_SZ unchecked", REG_EXPAND_SZ, FirstBytes(L"abc", 5), 0},
        {"REG_DWORD unchecked", REG_DWORD, {1, 0, 0, 0}, 0},
        {"REG_BINARY unchecked", REG_BINARY, {'a', 0, 'b'}, 0},
    };
    TestKey key(HKEY_CURRENT_USER);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        key.setRaw(L"V", c.type, c.stored);
        GuardedBuffer buffer(8);
        DWORD type = REG_NONE, bytes = 16;
        EXPECT_EQ(c.expected, RegistryQueryValue(key.handle(), L"V", nullptr, &type,
                                                 reinterpret_cast<BYTE*>(buffer.data()), &bytes));
        EXPECT_EQ(c.type, type);
        EXPECT_EQ(c.stored.size(), bytes);
        EXPECT_TRUE(buffer.canariesIntact());
    }
}

TEST(RegistryQueryValue, EmptyStringGetsItsNulWhereItFits) {
    const struct {
        DWORD capacityBytes;
        bool nulWritten;
    } cases[] = {{0, false}, {1, false}, {2, true}, {16, true}};
    TestKey key(HKEY_CURRENT_USER);
    key.setRaw(L"Empty", REG_SZ, {});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.capacityBytes);
        GuardedBuffer buffer(8);
        DWORD bytes = c.capacityBytes;
        EXPECT_EQ(0, RegistryQueryValue(key.handle(), L"Empty", nullptr, nullptr,
                                        reinterpret_cast<BYTE*>(buffer.data()), &bytes));
        EXPECT_EQ(0u, bytes);
        EXPECT_EQ(c.nulWritten, buffer.data()[0] == L'\0');
        EXPECT_EQ(GuardedBuffer::kFill, buffer.data()[1]);
    }
}

struct WriteBackCase {
    const char* name;
    const wchar_t* value;
    DWORD bufferBytes;  // 0: no data buffer
    bool withSize;
    LSTATUS expected;
    DWORD type, bytes;
};

TEST(RegistryQueryValue, WritesTypeAndSizeBackWhateverTheStatus) {
    const WriteBackCase cases[] = {
        {"buffer too small", L"Long", 4, true, ERROR_MORE_DATA, REG_SZ, 14},
        {"size query skips the checks", L"Unterminated", 0, true, 0, REG_SZ, 6},
        {"size query of an empty list", L"EmptyList", 0, true, 0, REG_MULTI_SZ, 0},
        {"type only", L"Long", 0, false, 0, REG_SZ, 0},
        {"missing value", L"Missing", 0, true, ERROR_FILE_NOT_FOUND, REG_NONE, 0},
    };
    TestKey key(HKEY_CURRENT_USER);
    key.setString(L"Long", L"abcdef");
    key.setRaw(L"Unterminated", REG_SZ, Utf16Bytes(L"abc"));
    key.setRaw(L"EmptyList", REG_MULTI_SZ, {});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GuardedBuffer buffer(8);
        BYTE* data = c.bufferBytes ? reinterpret_cast<BYTE*>(buffer.data()) : nullptr;
        DWORD type = 0xDEAD, bytes = c.bufferBytes;
        DWORD* size = c.withSize ? &bytes : nullptr;
        EXPECT_EQ(c.expected, RegistryQueryValue(key.handle(), c.value, nullptr, &type, data, size));
        EXPECT_EQ(c.type, type);
        if (c.withSize) {
            EXPECT_EQ(c.bytes, bytes);
        }
        EXPECT_TRUE(buffer.canariesIntact());
    }
}

TEST(RegistryQueryValue, DataWithoutSizeIsRefusedBeforeTheRegistry) {
    GuardedBuffer buffer(8);
    DWORD type = 0xDEAD;
    // A null key would give ERROR_INVALID_HANDLE had the registry been asked.
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              RegistryQueryValue(nullptr, L"V", nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), nullptr));
    EXPECT_EQ(0xDEADu, type);
    EXPECT_TRUE(buffer.untouched());
}

TEST(RegistryGetValue, ReadsAnyTypeOfTheKeyItself) {
    TestKey key(HKEY_CURRENT_USER);
    const struct {
        DWORD type;
        Bytes stored;
    } cases[] = {{REG_SZ, Utf16Bytes(L"text\0"s)}, {REG_MULTI_SZ, Utf16Bytes(L"a\0\0"s)},
                 {REG_DWORD, {7, 0, 0, 0}}, {REG_BINARY, {1, 2, 3}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        key.setRaw(L"V", c.type, c.stored);
        Bytes data(64);
        DWORD type = REG_NONE, bytes = 64, reserved = 0;
        ASSERT_EQ(0, RegistryGetValue(key.handle(), L"V", &reserved, &type, data.data(), &bytes));
        EXPECT_EQ(c.type, type);
        EXPECT_EQ(c.stored, Bytes(data.begin(), data.begin() + bytes));
    }
}

TEST(RegistryDeleteKey, SubtreeOnlyWhenAsked) {
    const struct {
        const char* name;
        bool withSubtree, hasChild;
        bool removed;
    } cases[] = {{"tree with subkeys", true, true, true},
                 {"single key without subkeys", false, false, true},
                 {"single key refuses subkeys", false, true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestKey parent(HKEY_CURRENT_USER);
        const std::wstring victim = parent.createChild(L"Victim");
        if (c.hasChild) parent.createChild(L"Victim\\Inner");
        const LSTATUS status = RegistryDeleteKey(parent.handle(), L"Victim", c.withSubtree);
        EXPECT_EQ(c.removed, status == ERROR_SUCCESS) << status;
        EXPECT_EQ(c.removed, !KeyExists(HKEY_CURRENT_USER, victim));
    }
}

class OpenedKeys : public ::testing::Test {
protected:
    HKEY openFresh() {
        HKEY key = nullptr;
        EXPECT_EQ(0, RegistryOpenKey(HKEY_CURRENT_USER, testKey.path().c_str(), 0, KEY_READ, &key));
        return key;
    }
    TestKey testKey{HKEY_CURRENT_USER};
};

using UniqueHkeyTest = OpenedKeys;

TEST_F(UniqueHkeyTest, ClosesExactlyTheKeysItOwns) {
    const HKEY first = openFresh(), second = openFresh();
    {
        UniqueHkey a(first), b(second);
        b = std::move(a);  // the key b held is closed, a's moves over
        EXPECT_FALSE(a);
        EXPECT_FALSE(KeyHandleIsOpen(second));
        UniqueHkey c(std::move(b));
        EXPECT_FALSE(b);
        EXPECT_EQ(first, c.get());
        EXPECT_TRUE(KeyHandleIsOpen(first));
        HKEY released = c.release();
        EXPECT_FALSE(c);
        EXPECT_TRUE(KeyHandleIsOpen(released));
        UniqueHkey d(released);
    }
    EXPECT_FALSE(KeyHandleIsOpen(first));  // the destructor closed it
}

TEST_F(UniqueHkeyTest, PutClosesTheOldKeyFirst) {
    UniqueHkey key(openFresh());
    const HKEY old = key.get();
    HKEY* slot = key.put();
    EXPECT_EQ(nullptr, *slot);
    EXPECT_FALSE(KeyHandleIsOpen(old));
}

// Sees every release that open() makes through the virtual close().
class RecordingAccess : public TvRegistryAccess {
public:
    LSTATUS close() override {
        closed.push_back(handle());
        return TvRegistryAccess::close();
    }
    std::vector<HKEY> closed;
};

using TvRegistryAccessTest = OpenedKeys;

TEST_F(TvRegistryAccessTest, OpenReleasesTheHeldKeyEvenWhenItFails) {
    const struct {
        const char* name;
        const wchar_t* second;
        LSTATUS expected;
    } cases[] = {{"missing key", L"Software\\UserDataTests\\NoSuchKey", ERROR_FILE_NOT_FOUND},
                 {"null subkey", nullptr, ERROR_INVALID_PARAMETER}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingAccess access;
        ASSERT_EQ(0, access.open(HKEY_CURRENT_USER, testKey.path().c_str()));
        const HKEY first = access.handle();
        EXPECT_EQ(c.expected, access.open(HKEY_CURRENT_USER, c.second));
        EXPECT_EQ(nullptr, access.handle());
        EXPECT_EQ((std::vector<HKEY>{nullptr, first}), access.closed);
        EXPECT_FALSE(KeyHandleIsOpen(first));
    }
}

TEST_F(TvRegistryAccessTest, OpensForReadingWithTheFallback) {
    TvRegistryAccess access;
    ASSERT_EQ(0, access.open(HKEY_LOCAL_MACHINE, testKey.path().c_str()));
    const DWORD one = 1;
    EXPECT_EQ(ERROR_ACCESS_DENIED,
              RegistrySetValue(access.handle(), L"V", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4));
}

TEST_F(TvRegistryAccessTest, CloseIsIdempotentAndMovesHandOver) {
    TvRegistryAccess access;
    EXPECT_EQ(0, access.close());
    ASSERT_EQ(0, access.open(HKEY_CURRENT_USER, testKey.path().c_str()));
    const HKEY first = access.handle();
    EXPECT_EQ(0, access.close());
    EXPECT_EQ(0, access.close());
    EXPECT_FALSE(KeyHandleIsOpen(first));

    ASSERT_EQ(0, access.open(HKEY_CURRENT_USER, testKey.path().c_str()));
    const HKEY held = access.handle();
    TvRegistryAccess other(std::move(access));
    EXPECT_EQ(nullptr, access.handle());
    EXPECT_EQ(held, other.handle());
    {
        TvRegistryAccess target;
        ASSERT_EQ(0, target.open(HKEY_CURRENT_USER, testKey.path().c_str()));
        const HKEY replaced = target.handle();
        target = std::move(other);
        EXPECT_FALSE(KeyHandleIsOpen(replaced));
        EXPECT_EQ(held, target.handle());
    }
    EXPECT_FALSE(KeyHandleIsOpen(held));  // the destructor closed it
}

struct StringCase {
    const char* name;
    const wchar_t* value;
    DWORD capacity;
    bool withBuffer;
    LSTATUS expected;
    DWORD chars;
    std::wstring text;
};

TEST_F(TvRegistryAccessTest, QueryStringValueCountsCharacters) {
    const StringCase cases[] = {
        {"size query", L"Three", 99, false, 0, 4, L""},
        {"exact buffer", L"Three", 4, true, 0, 4, L"abc"},
        {"larger buffer", L"Three", 10, true, 0, 4, L"abc"},
        {"buffer too small: count 0", L"Three", 2, true, ERROR_MORE_DATA, 0, L""},
        {"capacity 0 with a buffer", L"Three", 0, true, ERROR_MORE_DATA, 0, L""},
        {"default value", nullptr, 8, true, 0, 5, L"dflt"},
        {"REG_EXPAND_SZ is not expanded", L"Expand", 16, true, 0, 7, L"%TEMP%"},
        {"REG_DWORD size query", L"Number", 4, false, ERROR_INVALID_DATA, 0, L""},
        {"REG_DWORD with a buffer", L"Number", 4, true, ERROR_INVALID_DATA, 0, L""},
        {"REG_MULTI_SZ", L"Multi", 8, true, ERROR_INVALID_DATA, 0, L""},
        {"unterminated REG_SZ", L"Unterminated", 8, true, ERROR_INVALID_DATA, 0, L""},
        {"unterminated REG_SZ size query", L"Unterminated", 8, false, 0, 3, L""},
        {"odd byte not counted", L"Odd", 8, false, 0, 2, L""},
        {"missing value", L"Missing", 8, true, ERROR_FILE_NOT_FOUND, 0, L""},
    };
    testKey.setString(L"Three", L"abc");
    testKey.setString(nullptr, L"dflt");
    testKey.setString(L"Expand", L"%TEMP%", REG_EXPAND_SZ);
    testKey.setRaw(L"Number", REG_DWORD, {3, 0, 0, 0});
    testKey.setString(L"Multi", L"a\0"s, REG_MULTI_SZ);
    testKey.setRaw(L"Unterminated", REG_SZ, Utf16Bytes(L"abc"));
    testKey.setRaw(L"Odd", REG_SZ, FirstBytes(L"ab\0"s, 5));

    TvRegistryAccess access;
    ASSERT_EQ(0, access.open(HKEY_CURRENT_USER, testKey.path().c_str()));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GuardedBuffer buffer(c.capacity);
        DWORD chars = c.capacity;
        EXPECT_EQ(c.expected, access.queryStringValue(c.value, c.withBuffer ? buffer.data() : nullptr, &chars));
        EXPECT_EQ(c.chars, chars);
        if (c.expected == 0 && c.withBuffer) {
            EXPECT_EQ(c.text, buffer.text());
        }
        if (!c.withBuffer) {
            EXPECT_TRUE(buffer.untouched());
        }
        EXPECT_TRUE(buffer.canariesIntact());
    }
}

TEST(TvRegistryAccess, QueryOnAClosedObjectFailsWithCountZero) {
    TvRegistryAccess access;
    DWORD chars = 8;
    EXPECT_NE(0, access.queryStringValue(L"V", nullptr, &chars));
    EXPECT_EQ(0u, chars);
    EXPECT_EQ(ERROR_INVALID_PARAMETER, access.queryStringValue(L"V", nullptr, nullptr));
}

}  // namespace
