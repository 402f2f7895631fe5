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

// A class's InProcServer32 key, and the default value it holds unless its
// type is REG_NONE; the bytes are stored exactly, no terminator added.
struct Server {
    bool registered;
    DWORD type;
    std::vector<std::uint8_t> bytes;
};

const Server kAbsent{false, REG_NONE, {}};
const Server kNoDefault{true, REG_NONE, {}};
Server Raw(DWORD type, std::vector<std::uint8_t> bytes) { return {true, type, std::move(bytes)}; }
Server Path(const std::wstring& text, DWORD type = REG_SZ) { return Raw(type, Utf16Bytes(text + L'\0')); }

// One class's registration; the server key goes before the class key.
struct Registration {
    Registration(const wchar_t* classId, const Server& server)
        : classKey(HKEY_LOCAL_MACHINE, std::wstring(L"Software\\Classes\\CLSID\\") + classId),
          serverKey(HKEY_LOCAL_MACHINE, classKey.path() + L"\\InProcServer32") {
        if (server.type != REG_NONE) serverKey.setRaw(nullptr, server.type, server.bytes);
    }
    TestKey classKey, serverKey;
};

const std::wstring kBareName = L"TrelvixCore.dll";
const std::wstring kAbsolute = L"C:\\Program Files\\Veltrane\\Trelvix\\TrelvixCore.dll";

TEST(ComServerPaths, AnswerFromTheThreeRegistrations) {
    // The required class first, then the two optional ones.
    const wchar_t* const classes[] = {L"{3F6B2D84-9E15-4C7A-8B02-D4A9C1E65F38}",
                                      L"{5E3A9C41-7B20-4D8F-9A61-0C2F4B8E7D13}",
                                      L"{A2D47F90-3C18-4E6B-B5D0-8F1E92C6A457}"};
    const struct {
        const char* name;
        Server servers[3];
        bool expected;
    } cases[] = {
        {"nothing registered: the required class is missing", {kAbsent, kAbsent, kAbsent}, false},
        {"bare module name, optional classes absent", {Path(kBareName), kAbsent, kAbsent}, true},
        {"required class with a drive", {Path(kAbsolute), kAbsent, kAbsent}, false},
        {"required key without a default value", {kNoDefault, kAbsent, kAbsent}, false},
        {"required server as REG_DWORD", {Raw(REG_DWORD, {1, 0, 0, 0}), kAbsent, kAbsent}, false},
        {"empty string with its terminator", {Path(L""), kAbsent, kAbsent}, true},
        {"empty string of 0 bytes", {Raw(REG_SZ, {}), kAbsent, kAbsent}, true},
        {"UNC path", {Path(L"\\\\server\\share\\TrelvixCore.dll"), kAbsent, kAbsent}, true},
        {"path from the root of the current drive", {Path(L"\\Veltrane\\TrelvixCore.dll"), kAbsent, kAbsent}, true},
        {"REG_EXPAND_SZ with a leading %VAR%, tested unexpanded",
         {Path(L"%ProgramFiles%\\Veltrane\\TrelvixCore.dll", REG_EXPAND_SZ), kAbsent, kAbsent}, true},
        {"REG_EXPAND_SZ stored without a terminator", {Raw(REG_EXPAND_SZ, Utf16Bytes(kBareName)), kAbsent, kAbsent},
         true},
        {"colon late in the text", {Path(L"TrelvixCore.dll:stream"), kAbsent, kAbsent}, false},
        {"text after an embedded NUL is not looked at",
         {Raw(REG_SZ, Utf16Bytes(std::wstring(L"core.dll\0C:\\x\0", 15))), kAbsent, kAbsent}, true},
        {"REG_SZ of an odd byte count cannot be read", {Raw(REG_SZ, {'a', 0, 'b'}), kAbsent, kAbsent}, false},
        {"every class relative", {Path(kBareName), Path(L"TrelvixView.dll"), Path(L"TrelvixPrint.dll")}, true},
        {"first optional class with a drive", {Path(kBareName), Path(kAbsolute), Path(L"TrelvixPrint.dll")}, false},
        {"first optional class absent, second with a drive", {Path(kBareName), kAbsent, Path(kAbsolute)}, false},
        {"optional key present without a default value: only a missing key is excused",
         {Path(kBareName), kNoDefault, kAbsent}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::unique_ptr<Registration>> registrations;
        for (int i = 0; i < 3; ++i) {
            // Registering first also removes what an aborted run left behind.
            auto registration = std::make_unique<Registration>(classes[i], c.servers[i]);
            if (c.servers[i].registered) registrations.push_back(std::move(registration));
        }
        EXPECT_EQ(c.expected, CheckCOMServerRelativePaths());
        EXPECT_EQ(c.expected, userdata::ComServerPathsAreRelative());
    }
}

}  // namespace
