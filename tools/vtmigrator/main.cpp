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
#include <vector>

#include <windows.h>

#include <shellapi.h>

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

// What follows this program's own path on its command line. UserData starts
// the migrator with its path unquoted, so under a folder with spaces the
// runtime's argv splits the path; the path is therefore matched whole
// against this program's file name, quoted or not, before the options are
// split.
std::wstring OptionsText() {
    const std::wstring line = GetCommandLineW();
    if (!line.empty() && line[0] == L'"') {
        const size_t close = line.find(L'"', 1);
        return close == std::wstring::npos ? std::wstring() : line.substr(close + 1);
    }
    wchar_t self[32768];
    const DWORD length = GetModuleFileNameW(nullptr, self, 32768);
    if (length > 0 && length < 32768 && line.size() >= length &&
        CompareStringOrdinal(line.c_str(), static_cast<int>(length), self, static_cast<int>(length), TRUE) ==
            CSTR_EQUAL)
        return line.substr(length);
    const size_t space = line.find_first_of(L" \t");
    return space == std::wstring::npos ? std::wstring() : line.substr(space);
}

// The options, split as the runtime splits arguments (quotes group words).
std::vector<std::wstring> Options() {
    std::vector<std::wstring> options;
    int count = 0;
    // A stand-in first word: CommandLineToArgvW reads the first one as a path.
    wchar_t** words = CommandLineToArgvW((L"vtmigrator" + OptionsText()).c_str(), &count);
    const userdata::UniqueLocalMemory held(words);
    for (int i = 1; words != nullptr && i < count; ++i) options.emplace_back(words[i]);
    return options;
}

Request Parse(const std::vector<std::wstring>& options) {
    Request request;
    for (size_t i = 0; i < options.size(); ++i) {
        const std::wstring& option = options[i];
        if (option == L"/a") request.all = true;
        else if (option == L"/dap") request.dap = true;
        else if (option == L"/product" && i + 1 < options.size()) request.product = options[++i];
        else if (option == L"/language" && i + 1 < options.size()) request.language = options[++i];
        else std::fprintf(stderr, "vtmigrator: ignoring unknown argument %s\n", WideToUtf8(option).c_str());
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

int wmain() {
    Describe(Parse(Options()));
    const std::wstring delay = Environment(L"VTMIGRATOR_DELAY_MS");
    if (!delay.empty()) Sleep(static_cast<DWORD>(std::wcstoul(delay.c_str(), nullptr, 10)));
    AppendToLog(Environment(L"VTMIGRATOR_LOG"));
    const std::wstring exitCode = Environment(L"VTMIGRATOR_EXIT_CODE");
    return exitCode.empty() ? 0 : static_cast<int>(std::wcstol(exitCode.c_str(), nullptr, 10));
}
