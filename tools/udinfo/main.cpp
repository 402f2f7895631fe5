// udinfo: prints every answer UserData.dll gives for a product, for support
// engineers and host developers.
#include <cstdio>
#include <cstring>
#include <string>

#include <UserData.h>

#include "common/Utf.h"

#include "Actions.h"
#include "Fetch.h"
#include "Output.h"
#include "Report.h"

using userdata::WideToUtf8;

namespace {

constexpr char kUsage[] =
    "usage: udinfo [--config FILE] [--json | --folder NAME | --setting NAME |\n"
    "               --product-specific NAME | --mui TEXT |\n"
    "               --install | --check-com | --migrate | --version]\n"
    "\n"
    "Loads UserData.dll, initialises it with the product described by FILE\n"
    "(the embedded default product without --config) and prints every answer.\n"
    "\n"
    "  --config FILE   product description (JSON) for the platform layer\n"
    "  --json          print JSON instead of a table\n"
    "  --folder NAME   print one special folder's path alone (for example\n"
    "                  RoamableRootFolder, or its number 6)\n"
    "  --setting NAME  print the product settings value NAME alone (the\n"
    "                  settings that name the product's root folders)\n"
    "  --product-specific NAME\n"
    "                  print the \"ProductSpecific\" settings value NAME alone\n"
    "  --mui TEXT      resolve a display text such as \"@library.dll,-123\"\n"
    "  --install       repair the per-user data of every installed product\n"
    "                  (InstallUserData) and print the status\n"
    "  --check-com     check that the product's COM servers use relative paths\n"
    "  --migrate       run the automatic settings migration and print what\n"
    "                  changed\n"
    "  --version       print UserData.dll's version\n"
    "  --help          print this text\n";

struct Options {
    std::wstring config;
    bool json = false;
    std::wstring productSpecific;  // print this one value alone
    std::string folder;            // print this one folder alone
    std::wstring setting;          // print this one settings value alone
    std::wstring displayText;      // resolve this text alone
    std::wstring action;           // --install, --check-com or --migrate
};

std::wstring SettingValue(const std::wstring& name) {
    return udinfo::Fetch([&name](wchar_t* buffer, size_t size) {
        return tvudGetXRootFoldPath(name.c_str(), buffer, size);
    });
}

std::wstring ProductSpecificValue(const std::wstring& name) {
    return udinfo::Fetch([&name](wchar_t* buffer, unsigned long size) {
        return GetProductSpecificFilePath(name.c_str(), buffer, size);
    });
}

// A folder given by name ("RoamableRootFolder", any case) or by number; -1
// when there is no such folder.
int FolderValue(const std::string& nameOrNumber) {
    if (!nameOrNumber.empty() && nameOrNumber.find_first_not_of("0123456789") == std::string::npos) {
        const int value = nameOrNumber.size() <= 2 ? std::stoi(nameOrNumber) : -1;
        return value < TvUdSpecialFolder::kFolderCount ? value : -1;
    }
    for (int value = 0; value < TvUdSpecialFolder::kFolderCount; ++value) {
        if (_stricmp(nameOrNumber.c_str(), TvUdSpecialFolder::kFolderNames[value]) == 0) return value;
    }
    return -1;
}

// Prints one answer alone, for scripts; exit status 1 when there is none.
int PrintSingle(const std::wstring& value, const std::string& what) {
    if (value.empty()) {
        std::fprintf(stderr, "udinfo: no %s\n", what.c_str());
        return 1;
    }
    std::printf("%s\n", WideToUtf8(value).c_str());
    return 0;
}

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
        } else if (arg == L"--version") {
            return udinfo::PrintVersion();
        } else if (arg == L"--json") {
            options.json = true;
        } else if (arg == L"--config") {
            if (++i == argc) return UsageError("--config needs a file");
            options.config = argv[i];
        } else if (arg == L"--folder") {
            if (++i == argc) return UsageError("--folder needs a folder name");
            options.folder = WideToUtf8(argv[i]);
        } else if (arg == L"--install" || arg == L"--check-com" || arg == L"--migrate") {
            options.action = arg;
        } else if (arg == L"--mui") {
            if (++i == argc) return UsageError("--mui needs a text");
            options.displayText = argv[i];
        } else if (arg == L"--setting") {
            if (++i == argc) return UsageError("--setting needs a value name");
            options.setting = argv[i];
        } else if (arg == L"--product-specific") {
            if (++i == argc) return UsageError("--product-specific needs a value name");
            options.productSpecific = argv[i];
        } else {
            return UsageError(("unknown option " + WideToUtf8(arg)).c_str());
        }
    }

    if (tvudInitProductParams(options.config.c_str(), L"") != 0) {
        std::fprintf(stderr, "udinfo: the platform layer refused the product %s\n",
                     options.config.empty() ? "(embedded default)"
                                            : ("'" + WideToUtf8(options.config) + "'").c_str());
        return 1;
    }

    if (options.action == L"--install") return udinfo::RunInstall();
    if (options.action == L"--check-com") return udinfo::RunComCheck();
    if (options.action == L"--migrate") return udinfo::RunMigrate();
    if (!options.displayText.empty()) return udinfo::ResolveDisplayText(options.displayText);
    if (!options.setting.empty()) {
        return PrintSingle(SettingValue(options.setting),
                           "settings value '" + WideToUtf8(options.setting) + "'");
    }
    if (!options.productSpecific.empty()) {
        return PrintSingle(ProductSpecificValue(options.productSpecific),
                           "ProductSpecific value '" + WideToUtf8(options.productSpecific) + "'");
    }

    if (!options.folder.empty()) {
        const int value = FolderValue(options.folder);
        if (value < 0) return UsageError(("unknown folder " + options.folder).c_str());
        return PrintSingle(udinfo::FolderPath(value), "path for folder " + options.folder);
    }

    const auto report = udinfo::CollectReport();
    if (options.json) udinfo::PrintJson(options.config, report);
    else udinfo::PrintTable(options.config, report);
    return 0;
}
