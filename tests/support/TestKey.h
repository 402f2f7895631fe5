// A registry key of a test's own, under HKEY_CURRENT_USER or
// HKEY_LOCAL_MACHINE, removed with everything below it when the test ends.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

class TestKey {
public:
    // A fresh key at UniquePath() under `root`.
    explicit TestKey(HKEY root);
    // A fresh key at `path` under `root`, e.g. the same path in two hives.
    // Parents it creates below Software\UserDataTests go with it when empty.
    TestKey(HKEY root, std::wstring path);
    ~TestKey();
    TestKey(const TestKey&) = delete;
    TestKey& operator=(const TestKey&) = delete;

    // "Software\UserDataTests\<process>-<n>": unique across the test
    // programs that share one Wine prefix.
    static std::wstring UniquePath();

    const std::wstring& path() const { return path_; }
    // Held open with full access for the test's own writes; keeps working
    // after denyReading().
    HKEY handle() const { return handle_; }

    // Stores exactly `bytes` as the data. The platform appends a NUL to
    // string data that is followed by one in memory, so the bytes are copied
    // into a buffer padded with non-NUL bytes first.
    void setRaw(const wchar_t* name, DWORD type, const std::vector<std::uint8_t>& bytes) const;
    // Stores `text` with its terminating NUL.
    void setString(const wchar_t* name, const std::wstring& text, DWORD type = REG_SZ) const;
    // Creates `relative` below this key; returns its path from the root.
    std::wstring createChild(const std::wstring& relative) const;

    // From now on nobody may open the key for reading (ERROR_ACCESS_DENIED);
    // undone before the key is deleted.
    void denyReading();

private:
    HKEY root_;
    std::wstring path_;
    HKEY handle_ = nullptr;
    bool denied_ = false;
};

// The raw bytes of UTF-16 text, without any terminator beyond what `text`
// itself holds (write L"a\0b\0"s for embedded NULs).
std::vector<std::uint8_t> Utf16Bytes(const std::wstring& text);

bool KeyExists(HKEY root, const std::wstring& path);

// False once `key` has been closed (the handle is no longer valid).
bool KeyHandleIsOpen(HKEY key);

}  // namespace testing_support
