// Whether the product's three in-process COM servers are registered by
// relative paths, read from registrations the tests write under
// HKLM\Software\Classes (which HKEY_CLASSES_ROOT shows): also how the
// registry seam reads string values, terminated or not.
#include "support/TestSupport.h"

// A class's InProcServer32 key, and the default value it holds unless its
// type is REG_NONE; the bytes are stored exactly, no terminator added.
struct Server { bool registered; DWORD type; std::vector<std::uint8_t> bytes; };

const Server kAbsent{false, REG_NONE, {}}, kNoDefault{true, REG_NONE, {}};
static Server Raw(DWORD type, std::vector<std::uint8_t> bytes) { return {true, type, std::move(bytes)}; }
static Server Path(const std::wstring& text, DWORD type = REG_SZ) { return Raw(type, Utf16Bytes(text + L'\0')); }

const std::wstring kBareName = L"TrelvixCore.dll", kAbsolute = L"C:\\Program Files\\Veltrane\\TrelvixCore.dll";

TEST_CASE("ComServerPaths.AnswerFromTheThreeRegistrations") {
    // The required class first, then the two optional ones.
    const wchar_t* const classes[] = {L"{3F6B2D84-9E15-4C7A-8B02-D4A9C1E65F38}",
                                      L"{5E3A9C41-7B20-4D8F-9A61-0C2F4B8E7D13}",
                                      L"{A2D47F90-3C18-4E6B-B5D0-8F1E92C6A457}"};
    const struct { const char* name; Server servers[3]; bool expected; } cases[] = {
        {"nothing registered: the required class is missing", {kAbsent, kAbsent, kAbsent}, false},
        {"bare module name, optional classes absent", {Path(kBareName), kAbsent, kAbsent}, true},
        {"required class with a drive", {Path(kAbsolute), kAbsent, kAbsent}, false},
        {"required key without a default value", {kNoDefault, kAbsent, kAbsent}, false},
        {"required server as REG_DWORD", {Raw(REG_DWORD, {1, 0, 0, 0}), kAbsent, kAbsent}, false},
        {"empty string of 0 bytes", {Raw(REG_SZ, {}), kAbsent, kAbsent}, true},
        {"UNC path", {Path(L"\\\\server\\share\\TrelvixCore.dll"), kAbsent, kAbsent}, true},
        {"leading %VAR%, unexpanded", {Path(L"%ProgramFiles%\\Core.dll", REG_EXPAND_SZ), kAbsent, kAbsent}, true},
        {"REG_EXPAND_SZ without a terminator", {Raw(REG_EXPAND_SZ, Utf16Bytes(kBareName)), kAbsent, kAbsent}, true},
        {"colon late in the text", {Path(L"TrelvixCore.dll:stream"), kAbsent, kAbsent}, false},
        {"text after a NUL unread", {Raw(REG_SZ, Utf16Bytes(L"core.dll\0C:\\x\0"s)), kAbsent, kAbsent}, true},
        {"REG_SZ of an odd byte count cannot be read", {Raw(REG_SZ, {'a', 0, 'b'}), kAbsent, kAbsent}, false},
        {"REG_SZ without a terminator cannot be read", {Raw(REG_SZ, Utf16Bytes(kBareName)), kAbsent, kAbsent}, false},
        {"REG_MULTI_SZ is no path", {Raw(REG_MULTI_SZ, Utf16Bytes(L"core.dll\0\0"s)), kAbsent, kAbsent}, false},
        {"every class relative", {Path(kBareName), Path(L"TrelvixView.dll"), Path(L"TrelvixPrint.dll")}, true},
        {"first optional class with a drive", {Path(kBareName), Path(kAbsolute), Path(L"TrelvixPrint.dll")}, false},
        {"first optional class absent, second with a drive", {Path(kBareName), kAbsent, Path(kAbsolute)}, false},
        {"optional key without a default value: only a missing key is excused", {Path(kBareName), kNoDefault, kAbsent},
         false},
    };
    for (const auto& c : cases) {
        INFO(c.name);
        std::optional<TestKey> classKeys[3], serverKeys[3];  // the server keys go first
        for (int i = 0; i < 3; ++i) {
            // Registering first also removes what an aborted run left behind.
            classKeys[i].emplace(HKEY_LOCAL_MACHINE, L"Software\\Classes\\CLSID\\"s + classes[i]);
            serverKeys[i].emplace(HKEY_LOCAL_MACHINE, classKeys[i]->path() + L"\\InProcServer32");
            if (c.servers[i].type != REG_NONE) serverKeys[i]->setRaw(nullptr, c.servers[i].type, c.servers[i].bytes);
            if (!c.servers[i].registered) serverKeys[i].reset(), classKeys[i].reset();
        }
        CHECK(c.expected == CheckCOMServerRelativePaths());
    }
}
