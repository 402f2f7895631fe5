// udinfo: prints every answer UserData.dll gives for a product, for support
// engineers and host developers.
#include <cstdio>
#include <cwchar>
#include <string>

#include <UserData.h>

#include "Fetch.h"
#include "Output.h"
#include "Report.h"

namespace {

constexpr char kUsage[] =
    "usage: udinfo [--config FILE] [--json]\n"
    "\n"
    "Loads UserData.dll, initialises it with the product described by FILE\n"
    "(the embedded default product without --config) and prints every answer.\n"
    "\n"
    "  --config FILE   product description (JSON) for the platform layer\n"
    "  --json          print JSON instead of a table\n"
    "  --help          print this text\n";

struct Options {
    std::wstring config;
    bool json = false;
};

int UsageError(const char* message) {
    std::fprintf(stderr, "udinfo: %s\n\n%s", message, kUsage);
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--help" || arg == L"-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == L"--json") {
            options.json = true;
        } else if (arg == L"--config") {
            if (++i == argc) return UsageError("--config needs a file");
            options.config = argv[i];
        } else {
            return UsageError(("unknown option " + udinfo::ToUtf8(arg)).c_str());
        }
    }

    if (tvudInitProductParams(options.config.c_str(), L"") != 0) {
        std::fprintf(stderr, "udinfo: the platform layer refused the product %s\n",
                     options.config.empty() ? "(embedded default)"
                                            : ("'" + udinfo::ToUtf8(options.config) + "'").c_str());
        return 1;
    }

    const auto report = udinfo::CollectReport();
    if (options.json) udinfo::PrintJson(options.config, report);
    else udinfo::PrintTable(options.config, report);
    return 0;
}
