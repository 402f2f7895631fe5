// A registry key of a test's own, under HKEY_CURRENT_USER or
// HKEY_LOCAL_MACHINE, removed with everything below it when the test ends.
#pragma once

#include <windows.h>

#include <sddl.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include <registry/UniqueHkey.h>

namespace testing_support {

// The raw bytes of UTF-16 text, without any terminator beyond what `text`
// itself holds (write L"a\0b\0"s for embedded NULs).
inline std::vector<std::uint8_t> Utf16Bytes(const std::wstring& text) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    return {bytes, bytes + text.size() * sizeof(wchar_t)};
}

class TestKey {
public:
    // "Software\UserDataTests\<process>-<n>": unique across the test
    // programs that share one Wine prefix.
    static std::wstring UniquePath() {
        static unsigned counter = 0;
        return kParent + L"\\" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    }

    // A fresh key at `path` under `root`, e.g. the same path in two hives;
    // what an aborted run left there goes first. Parents it creates below
    // Software\UserDataTests go with it when they are left empty.
    explicit TestKey(HKEY root, std::wstring path = UniquePath()) : root_(root), path_(std::move(path)) {
        RegDeleteTreeW(root_, path_.c_str());
        Check(RegCreateKeyExW(root_, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, handle_.put(), nullptr));
    }
    ~TestKey() {
        if (denied_) SetDacl(L"D:(A;;KA;;;WD)");  // deleting needs read access
        handle_.reset();
        RegDeleteTreeW(root_, path_.c_str());
        // Software\UserDataTests itself stays: deleted while another test
        // program creates a key below it, it leaves that key marked deleted
        // (ERROR_KEY_DELETED at its first write).
        for (std::wstring parent = path_.substr(0, path_.rfind(L'\\')); parent.rfind(kParent + L"\\", 0) == 0;
             parent.erase(parent.rfind(L'\\')))
            RegDeleteKeyW(root_, parent.c_str());
    }

    const std::wstring& path() const { return path_; }
    // Open with full access for the test's own writes, also after denyReading().
    HKEY handle() const { return handle_.get(); }

    // Stores exactly `bytes`. The platform appends a NUL to string data that
    // is followed by one in memory, so they are copied into a buffer padded
    // with non-NUL bytes first.
    void setRaw(const wchar_t* name, DWORD type, std::vector<std::uint8_t> bytes) const {
        bytes.resize(bytes.size() + 8, 0x5A);
        Check(RegSetValueExW(handle(), name, 0, type, bytes.data(), static_cast<DWORD>(bytes.size() - 8)));
    }
    // Stores `text` with its terminating NUL.
    void setString(const wchar_t* name, const std::wstring& text, DWORD type = REG_SZ) const {
        setRaw(name, type, Utf16Bytes(text + L'\0'));
    }
    // From now on nobody may open the key for reading (ERROR_ACCESS_DENIED).
    void denyReading() { Check(SetDacl(L"D:P(D;;KR;;;WD)(A;;KA;;;WD)")), denied_ = true; }

private:
    inline static const std::wstring kParent = L"Software\\UserDataTests";

    static void Check(LSTATUS status) {
        if (status != ERROR_SUCCESS) throw std::runtime_error("registry status " + std::to_string(status));
    }
    // Applies a DACL given in security descriptor language.
    LSTATUS SetDacl(const wchar_t* sddl) const {
        userdata::UniqueAny<PSECURITY_DESCRIPTOR, LocalFree> descriptor;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, descriptor.put(), nullptr))
            return static_cast<LSTATUS>(GetLastError());
        return RegSetKeySecurity(handle(), DACL_SECURITY_INFORMATION, descriptor.get());
    }

    HKEY root_;
    std::wstring path_;
    userdata::UniqueHkey handle_;
    bool denied_ = false;
};

// The registration of the product's required COM class, which the repair
// pass and the doctor read: a relative server path unless set otherwise.
struct RequiredServer {
    const TestKey classKey{HKEY_LOCAL_MACHINE, L"Software\\Classes\\CLSID\\{3F6B2D84-9E15-4C7A-8B02-D4A9C1E65F38}"};
    const TestKey serverKey{HKEY_LOCAL_MACHINE, classKey.path() + L"\\InProcServer32"};
    RequiredServer() { set(L"TrelvixCore.dll"); }
    void set(const wchar_t* path) const { serverKey.setString(nullptr, path); }
};

}  // namespace testing_support
