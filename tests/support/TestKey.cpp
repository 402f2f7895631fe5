#include "TestKey.h"

#include <sddl.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

namespace testing_support {

namespace {

const std::wstring kTestsParent = L"Software\\UserDataTests";

void Check(LSTATUS status, const char* what) {
    if (status != ERROR_SUCCESS) throw std::runtime_error(std::string(what) + " failed: " + std::to_string(status));
}

HKEY Create(HKEY parent, const std::wstring& path) {
    HKEY key = nullptr;
    Check(RegCreateKeyExW(parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
          "RegCreateKeyExW");
    return key;
}

// Applies a DACL given in security descriptor language to `key`.
LSTATUS SetDacl(HKEY key, const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr))
        return static_cast<LSTATUS>(GetLastError());
    const LSTATUS status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
    LocalFree(descriptor);
    return status;
}

}  // namespace

std::wstring TestKey::UniquePath() {
    static unsigned counter = 0;
    return kTestsParent + L"\\" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
}

TestKey::TestKey(HKEY root) : TestKey(root, UniquePath()) {}

TestKey::TestKey(HKEY root, std::wstring path) : root_(root), path_(std::move(path)) {
    // Left over from an aborted run of a process with the same id.
    RegDeleteTreeW(root_, path_.c_str());
    handle_ = Create(root_, path_);
}

TestKey::~TestKey() {
    // Deleting needs read access to the key, so the denial goes first.
    if (denied_) SetDacl(handle_, L"D:(A;;KA;;;WD)");
    RegCloseKey(handle_);
    RegDeleteTreeW(root_, path_.c_str());
    // Each parent goes only once it is empty, the common one once the last
    // test key of every process is gone.
    for (std::wstring parent = path_; parent.rfind(kTestsParent + L"\\", 0) == 0;) {
        parent.resize(parent.rfind(L'\\'));
        RegDeleteKeyW(root_, parent.c_str());
    }
}

void TestKey::setRaw(const wchar_t* name, DWORD type, const std::vector<std::uint8_t>& bytes) const {
    std::vector<std::uint8_t> padded(bytes.size() + 8, 0x5A);
    std::copy(bytes.begin(), bytes.end(), padded.begin());
    Check(RegSetValueExW(handle_, name, 0, type, padded.data(), static_cast<DWORD>(bytes.size())), "RegSetValueExW");
}

void TestKey::setString(const wchar_t* name, const std::wstring& text, DWORD type) const {
    setRaw(name, type, Utf16Bytes(text + L'\0'));
}

std::wstring TestKey::createChild(const std::wstring& relative) const {
    RegCloseKey(Create(handle_, relative));
    return path_ + L"\\" + relative;
}

void TestKey::denyReading() {
    Check(SetDacl(handle_, L"D:P(D;;KR;;;WD)(A;;KA;;;WD)"), "RegSetKeySecurity");
    denied_ = true;
}

std::vector<std::uint8_t> Utf16Bytes(const std::wstring& text) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    return {bytes, bytes + text.size() * sizeof(wchar_t)};
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
