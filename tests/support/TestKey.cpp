#include "TestKey.h"

#include <sddl.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>

namespace testing_support {

namespace {

constexpr wchar_t kTestsParent[] = L"Software\\UserDataTests";

void Check(LSTATUS status, const char* what) {
    if (status != ERROR_SUCCESS) throw std::runtime_error(std::string(what) + " failed: " + std::to_string(status));
}

// Applies a DACL given in security descriptor language to `key`.
void SetDacl(HKEY key, const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr))
        throw std::runtime_error("ConvertStringSecurityDescriptorToSecurityDescriptorW failed");
    const LSTATUS status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
    LocalFree(descriptor);
    Check(status, "RegSetKeySecurity");
}

}  // namespace

std::wstring TestKey::UniquePath() {
    static unsigned counter = 0;
    return std::wstring(kTestsParent) + L"\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter);
}

TestKey::TestKey(HKEY root) : TestKey(root, UniquePath()) {}

TestKey::TestKey(HKEY root, std::wstring path) : root_(root), path_(std::move(path)) {
    // Left over from an aborted run of a process with the same id.
    RegDeleteTreeW(root_, path_.c_str());
    Check(RegCreateKeyExW(root_, path_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                          &handle_, nullptr),
          "RegCreateKeyExW");
}

TestKey::~TestKey() {
    // Deleting needs read access to the key, so the denial goes first.
    if (denied_) {
        try {
            SetDacl(handle_, L"D:(A;;KA;;;WD)");
        } catch (const std::exception&) {
            // Nothing better to do in a destructor; the deletion below will fail.
        }
    }
    RegCloseKey(handle_);
    RegDeleteTreeW(root_, path_.c_str());
    // Only succeeds once the last test key of every process is gone.
    RegDeleteKeyW(root_, kTestsParent);
}

void TestKey::setRaw(const wchar_t* name, DWORD type, const std::vector<std::uint8_t>& bytes) const {
    std::vector<std::uint8_t> padded(bytes.size() + 8, 0x5A);
    if (!bytes.empty()) std::memcpy(padded.data(), bytes.data(), bytes.size());
    Check(RegSetValueExW(handle_, name, 0, type, padded.data(), static_cast<DWORD>(bytes.size())),
          "RegSetValueExW");
}

void TestKey::setString(const wchar_t* name, const std::wstring& text, DWORD type) const {
    setRaw(name, type, Utf16Bytes(text + L'\0'));
}

std::wstring TestKey::createChild(const std::wstring& relative) const {
    HKEY child = nullptr;
    Check(RegCreateKeyExW(handle_, relative.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                          &child, nullptr),
          "RegCreateKeyExW");
    RegCloseKey(child);
    return path_ + L"\\" + relative;
}

void TestKey::denyReading() {
    SetDacl(handle_, L"D:P(D;;KR;;;WD)(A;;KA;;;WD)");
    denied_ = true;
}

std::vector<std::uint8_t> Utf16Bytes(const std::wstring& text) {
    std::vector<std::uint8_t> bytes(text.size() * sizeof(wchar_t));
    if (!bytes.empty()) std::memcpy(bytes.data(), text.data(), bytes.size());
    return bytes;
}

bool KeyExists(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool KeyHandleIsOpen(HKEY key) {
    return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr) == ERROR_SUCCESS;
}

}  // namespace testing_support
