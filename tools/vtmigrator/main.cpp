// vtmigrator: stand-in for the product's settings migrator. It migrates
// nothing; it says what it would migrate, records exactly how it was
// started, and exits with the status it is told to, so tests and support
// engineers can see what UserData started and whether it waited.
//
// Environment:
//   VTMIGRATOR_LOG        append the raw command line, one line per start
//   VTMIGRATOR_EXIT_CODE  exit status (default 0)
//   VTMIGRATOR_DELAY_MS   wait this long before logging (shows whether the
//                         starter waited)
#include <cstdio>
#include <cstdlib>
#include <string>

#include <windows.h>

#include "common/UniqueAny.h"
#include "common/Utf.h"

namespace {

using userdata::WideToUtf8;

std::wstring Environment(const wchar_t* name) {
    wchar_t value[1024];
    const DWORD n = GetEnvironmentVariableW(name, value, 1024);
    return n == 0 || n >= 1024 ? std::wstring() : std::wstring(value, n);
}

struct Request {
    bool all = false;
    bool dap = false;
    std::wstring product;
    std::wstring language;
};

Request Parse(int argc, wchar_t** argv) {
    Request request;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"/a") request.all = true;
        else if (arg == L"/dap") request.dap = true;
        else if (arg == L"/product" && i + 1 < argc) request.product = argv[++i];
        else if (arg == L"/language" && i + 1 < argc) request.language = argv[++i];
        else std::fprintf(stderr, "vtmigrator: ignoring unknown argument %s\n", WideToUtf8(arg).c_str());
    }
    return request;
}

void Describe(const Request& r) {
    if (r.all) {
        std::printf("vtmigrator: would migrate all settings of product %s, language %s\n",
                    r.product.empty() ? "(any)" : WideToUtf8(r.product).c_str(),
                    r.language.empty() ? "(any)" : WideToUtf8(r.language).c_str());
    }
    if (r.dap) std::printf("vtmigrator: first start of this user's roamable folder\n");
}

void AppendToLog(const std::wstring& logFile) {
    if (logFile.empty()) return;
    const userdata::UniqueStdioFile log(_wfopen(logFile.c_str(), L"ab"));
    if (!log) return;
    const std::string line = WideToUtf8(GetCommandLineW()) + "\n";
    std::fwrite(line.data(), 1, line.size(), log.get());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Describe(Parse(argc, argv));
    const std::wstring delay = Environment(L"VTMIGRATOR_DELAY_MS");
    if (!delay.empty()) Sleep(static_cast<DWORD>(std::wcstoul(delay.c_str(), nullptr, 10)));
    AppendToLog(Environment(L"VTMIGRATOR_LOG"));
    const std::wstring exitCode = Environment(L"VTMIGRATOR_EXIT_CODE");
    return exitCode.empty() ? 0 : static_cast<int>(std::wcstol(exitCode.c_str(), nullptr, 10));
}
