// Whether the product's three in-process COM servers are registered by
// relative paths, read from registrations the tests write under
// HKLM\Software\Classes (which HKEY_CLASSES_ROOT shows).
#include <gtest/gtest.h>

#include <UserData.h>
#include <windows.h>

#include <install/ComServerPathCheck.h>

#include <memory>
#include <string>
#include <vector>

#include "support/TestKey.h"

using testing_support::TestKey;
using testing_support::Utf16Bytes;

namespace {

constexpr wchar_t kRequiredClass[] = L"{3F6B2D84-9E15-4C7A-8B02-D4A9C1E65F38}";
constexpr wchar_t kOptionalClass1[] = L"{5E3A9C41-7B20-4D8F-9A61-0C2F4B8E7D13}";
constexpr wchar_t kOptionalClass2[] = L"{A2D47F90-3C18-4E6B-B5D0-8F1E92C6A457}";

// What a class's InProcServer32 key holds as its default value.
struct Server {
    enum Kind { Absent, KeyWithoutDefault, Text, Raw } kind = Absent;
    DWORD type = REG_SZ;
    std::vector<std::uint8_t> bytes;  // stored exactly, no terminator added
};

Server NotRegistered() { return {}; }
Server WithoutDefault() { return {Server::KeyWithoutDefault, REG_NONE, {}}; }
Server Path(const std::wstring& text, DWORD type = REG_SZ) {
    return {Server::Text, type, Utf16Bytes(text + L'\0')};
}
Server RawValue(DWORD type, std::vector<std::uint8_t> bytes) { return {Server::Raw, type, std::move(bytes)}; }
Server Dword() { return RawValue(REG_DWORD, {1, 0, 0, 0}); }

// One class's registration, removed with everything below its CLSID key.
class ClassRegistration {
public:
    ClassRegistration(const wchar_t* classId, const Server& server)
        : classKey_(HKEY_LOCAL_MACHINE, std::wstring(L"Software\\Classes\\CLSID\\") + classId) {
        classKey_.createChild(L"InProcServer32");
        if (server.kind == Server::Text || server.kind == Server::Raw) writeDefault(server);
    }

private:
    void writeDefault(const Server& server) {
        // Padded with non-NUL bytes so the platform adds no terminator of
        // its own to string data.
        std::vector<std::uint8_t> padded(server.bytes.size() + 8, 0x5A);
        std::copy(server.bytes.begin(), server.bytes.end(), padded.begin());
        ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(classKey_.handle(), L"InProcServer32", nullptr, server.type,
                                                 padded.data(), static_cast<DWORD>(server.bytes.size())));
    }

    TestKey classKey_;
};

// Registers each class whose server is not Absent, and makes sure the
// others are not registered at all.
class Registrations {
public:
    Registrations(const Server& required, const Server& optional1, const Server& optional2) {
        add(kRequiredClass, required);
        add(kOptionalClass1, optional1);
        add(kOptionalClass2, optional2);
    }

private:
    void add(const wchar_t* classId, const Server& server) {
        // A TestKey removes what an aborted run left behind.
        auto registration = std::make_unique<ClassRegistration>(classId, server);
        if (server.kind == Server::Absent) registration.reset();
        registrations_.push_back(std::move(registration));
    }
    std::vector<std::unique_ptr<ClassRegistration>> registrations_;
};

const std::wstring kBareName = L"TrelvixCore.dll";
const std::wstring kAbsolute = L"C:\\Program Files\\Veltrane\\Trelvix\\TrelvixCore.dll";

struct ProductCase {
    const char* name;
    Server required;
    Server optional1;
    Server optional2;
    bool expected;
};

const ProductCase kProductCases[] = {
    {"nothing registered: the required class is missing", NotRegistered(), NotRegistered(), NotRegistered(), false},
    {"bare module name, optional classes absent", Path(kBareName), NotRegistered(), NotRegistered(), true},
    {"required class with a drive", Path(kAbsolute), NotRegistered(), NotRegistered(), false},
    {"required key without a default value", WithoutDefault(), NotRegistered(), NotRegistered(), false},
    {"required server as REG_DWORD", Dword(), NotRegistered(), NotRegistered(), false},
    {"empty string with its terminator", Path(L""), NotRegistered(), NotRegistered(), true},
    {"empty string of 0 bytes", RawValue(REG_SZ, {}), NotRegistered(), NotRegistered(), true},
    {"UNC path", Path(L"\\\\server\\share\\TrelvixCore.dll"), NotRegistered(), NotRegistered(), true},
    {"REG_EXPAND_SZ with a leading %VAR%, tested unexpanded",
     Path(L"%ProgramFiles%\\Veltrane\\TrelvixCore.dll", REG_EXPAND_SZ), NotRegistered(), NotRegistered(), true},
    {"REG_EXPAND_SZ naming a drive", Path(kAbsolute, REG_EXPAND_SZ), NotRegistered(), NotRegistered(), false},
    {"path from the root of the current drive", Path(L"\\Veltrane\\TrelvixCore.dll"), NotRegistered(),
     NotRegistered(), true},
    {"parent folder references", Path(L"..\\bin\\TrelvixCore.dll"), NotRegistered(), NotRegistered(), true},
    {"colon late in the text", Path(L"TrelvixCore.dll:stream"), NotRegistered(), NotRegistered(), false},
    {"text after an embedded NUL is not looked at",
     RawValue(REG_SZ, Utf16Bytes(std::wstring(L"core.dll\0C:\\x\0", 15))), NotRegistered(), NotRegistered(), true},
    {"REG_EXPAND_SZ stored without a terminator", RawValue(REG_EXPAND_SZ, Utf16Bytes(L"TrelvixCore.dll")),
     NotRegistered(), NotRegistered(), true},
    {"REG_EXPAND_SZ with a drive, stored without a terminator", RawValue(REG_EXPAND_SZ, Utf16Bytes(L"C:\\core.dll")),
     NotRegistered(), NotRegistered(), false},
    {"REG_SZ of an odd byte count cannot be read", RawValue(REG_SZ, {'a', 0, 'b'}), NotRegistered(),
     NotRegistered(), false},
    {"every class relative", Path(kBareName), Path(L"TrelvixView.dll"), Path(L"TrelvixPrint.dll"), true},
    {"first optional class with a drive", Path(kBareName), Path(kAbsolute), Path(L"TrelvixPrint.dll"), false},
    {"first optional class with a drive, second absent", Path(kBareName), Path(kAbsolute), NotRegistered(), false},
    {"second optional class with a drive", Path(kBareName), Path(L"TrelvixView.dll"), Path(kAbsolute), false},
    {"second optional class alone, relative", Path(kBareName), NotRegistered(), Path(L"TrelvixPrint.dll"), true},
    {"optional key present without a default value", Path(kBareName), WithoutDefault(), NotRegistered(), false},
    {"optional server as REG_DWORD", Path(kBareName), NotRegistered(), Dword(), false},
    {"optional classes relative but the required one missing", NotRegistered(), Path(L"TrelvixView.dll"),
     Path(L"TrelvixPrint.dll"), false},
};

TEST(ComServerPaths, AnswerFromTheThreeRegistrations) {
    for (const auto& c : kProductCases) {
        SCOPED_TRACE(c.name);
        const Registrations registrations(c.required, c.optional1, c.optional2);
        EXPECT_EQ(c.expected, CheckCOMServerRelativePaths());
    }
}

TEST(ComServerPaths, InternalAnswerMatchesTheExport) {
    const Registrations registrations(Path(kBareName), Path(kAbsolute), NotRegistered());
    EXPECT_FALSE(userdata::ComServerPathsAreRelative());
}

struct ClassCase {
    const char* name;
    Server server;
    bool required;
    bool expected;
};

const ClassCase kClassCases[] = {
    {"missing key, required", NotRegistered(), true, false},
    {"missing key, optional: only a missing key is excused", NotRegistered(), false, true},
    {"key without default, optional", WithoutDefault(), false, false},
    {"relative, required", Path(kBareName), true, true},
    {"relative, optional", Path(kBareName), false, true},
    {"absolute, optional", Path(kAbsolute), false, false},
};

TEST(ComServerPath, OneClassAnswersByItsRequirement) {
    for (const auto& c : kClassCases) {
        SCOPED_TRACE(c.name);
        const Registrations registrations(NotRegistered(), c.server, NotRegistered());
        EXPECT_EQ(c.expected, userdata::CheckCOMServerRelativePath(kOptionalClass1, c.required));
    }
}

}  // namespace
