// Prints what a host gets from every export it can link through an import
// library, one answer a line: "<export> <result> <text>". Built twice, with
// MinGW-w64 GCC and in MSVC mode, from this one source; the two outputs must
// be identical. Plain C I/O only: an MSVC-mode host has no GNU C++ runtime.
#include <stdio.h>

#include <UserData.h>

namespace {

// Non-ASCII characters are printed as \uXXXX, so the output does not depend
// on either C runtime's idea of the console's code page.
void Print(const char* name, unsigned long long result, const wchar_t* text) {
    printf("%s %llu ", name, result);
    for (const wchar_t* c = text ? text : L"(null)"; *c; ++c) {
        if (*c < 0x80) putchar(static_cast<char>(*c));
        else printf("\\u%04x", static_cast<unsigned>(*c));
    }
    putchar('\n');
}

template <typename Size>
void PrintFilled(const char* name, unsigned int (*get)(wchar_t*, Size)) {
    wchar_t buffer[MAX_PATH] = L"(untouched)";
    unsigned int result = get(buffer, MAX_PATH);
    Print(name, result, buffer);
}

}  // namespace

int main() {
    Print("tvudInitProductParams", tvudInitProductParams(L"", L""), L"");
    Print("tvudSetUserProductRegistryRootKey", tvudSetUserProductRegistryRootKey(L"Software\\Consumer"), L"");
    PrintFilled("tvudGetUserProductRegistryRootKey", tvudGetUserProductRegistryRootKey);
    PrintFilled("tvudGetMachineProductRegistryRootKey", tvudGetMachineProductRegistryRootKey);
    PrintFilled("tvudGetGlobalRegistryRootKey", tvudGetGlobalRegistryRootKey);
    PrintFilled("GetCurrentProductIdentityIniPath", GetCurrentProductIdentityIniPath);
    PrintFilled("tvudGetVerticalEnvPath", tvudGetVerticalEnvPath);
    Print("tvudGetProductUILanguage", 0, tvudGetProductUILanguage());
    wchar_t cache[MAX_PATH] = L"(untouched)";
    wchar_t cacheLang[MAX_PATH] = L"(untouched)";
    unsigned int result = GetTRLVUserDataCacheLangPath(cache, cacheLang, MAX_PATH);
    Print("GetTRLVUserDataCacheLangPath", result, cache);
    Print("GetTRLVUserDataCacheLangPath", result, cacheLang);
    return 0;
}
