// udinfo: prints every answer UserData.dll gives for a product, for support
// engineers and host developers.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <optional>
#include <string>

#include <UserData.h>

#include "common/Utf.h"

#include "Actions.h"
#include "Doctor.h"
#include "Fetch.h"
#include "Output.h"
#include "Report.h"

using userdata::WideToUtf8;

namespace {

constexpr char kUsage[] =
    "usage: udinfo [--config FILE] [--json] [--doctor]\n"
    "       udinfo [--config FILE] --folder NAME | --setting NAME |\n"
    "                              --product-specific NAME | --mui TEXT\n"
    "       udinfo [--config FILE] --install | --check-com | --migrate\n"
    "       udinfo --version | --help\n"
    "\n"
    "Loads UserData.dll, initialises it with the product described by FILE\n"
    "(the embedded default product without --config) and prints every answer.\n"
    "One single answer or one action at a time; --json only with the report\n"
    "or --doctor.\n"
    "\n"
    "  --config FILE   product description (JSON) for the platform layer\n"
    "  --json          print JSON instead of a table\n"
    "  --doctor        check the product's set-up on this machine for this\n"
    "                  user; exit status 1 when a check finds a problem\n"
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

// What one run does besides printing the whole report: at most one of these.
enum class Request { Report, Doctor, Version, Install, CheckCom, Migrate, Folder, Setting, ProductSpecific, Mui };

// Whether --json can shape the request's output.
bool TakesJson(Request request) { return request == Request::Report || request == Request::Doctor; }

struct Options {
    bool help = false;
    std::wstring config;
    bool json = false;
    Request request = Request::Report;
    std::string requestOption;  // as given, for messages: "--folder"
    std::wstring argument;      // the request's argument: a folder, value name or text
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

// The request an option names, and whether it takes an argument.
struct RequestOption {
    const wchar_t* option;
    Request request;
    const char* argument;  // what the argument is, for "needs a ..."; nullptr for none
};
constexpr RequestOption kRequestOptions[] = {
    {L"--doctor", Request::Doctor, nullptr},
    {L"--version", Request::Version, nullptr},
    {L"--install", Request::Install, nullptr},
    {L"--check-com", Request::CheckCom, nullptr},
    {L"--migrate", Request::Migrate, nullptr},
    {L"--folder", Request::Folder, "a folder name"},
    {L"--setting", Request::Setting, "a value name"},
    {L"--product-specific", Request::ProductSpecific, "a value name"},
    {L"--mui", Request::Mui, "a text"},
};

// Reads the command line into `options`; a usage error's message otherwise.
// Options that exclude each other are refused whatever their order, rather
// than letting the last one win unnoticed.
std::optional<std::string> ParseOptions(int argc, wchar_t** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--help" || arg == L"-h") {
            options.help = true;
            return std::nullopt;
        }
        if (arg == L"--json") {
            options.json = true;
            continue;
        }
        if (arg == L"--config") {
            if (++i == argc) return "--config needs a file";
            options.config = argv[i];
            continue;
        }
        const auto* known = std::find_if(std::begin(kRequestOptions), std::end(kRequestOptions),
                                         [&arg](const RequestOption& each) { return arg == each.option; });
        if (known == std::end(kRequestOptions)) return "unknown option " + WideToUtf8(arg);
        if (options.request != Request::Report)
            return options.requestOption + " and " + WideToUtf8(arg) + " exclude each other";
        options.request = known->request;
        options.requestOption = WideToUtf8(arg);
        if (known->argument != nullptr) {
            if (++i == argc) return WideToUtf8(arg) + " needs " + known->argument;
            options.argument = argv[i];
        }
    }
    if (options.json && !TakesJson(options.request))
        return "--json and " + options.requestOption + " exclude each other";
    return std::nullopt;
}

int RunRequest(const Options& options) {
    const std::wstring& argument = options.argument;
    switch (options.request) {
    case Request::Version: return udinfo::PrintVersion();
    case Request::Doctor: return udinfo::RunDoctor(options.config, options.json);
    case Request::Install: return udinfo::RunInstall();
    case Request::CheckCom: return udinfo::RunComCheck();
    case Request::Migrate: return udinfo::RunMigrate();
    case Request::Mui: return udinfo::ResolveDisplayText(argument);
    case Request::Setting:
        return PrintSingle(SettingValue(argument), "settings value '" + WideToUtf8(argument) + "'");
    case Request::ProductSpecific:
        return PrintSingle(ProductSpecificValue(argument), "ProductSpecific value '" + WideToUtf8(argument) + "'");
    case Request::Folder: {
        const int value = FolderValue(WideToUtf8(argument));
        if (value < 0) return UsageError(("unknown folder " + WideToUtf8(argument)).c_str());
        return PrintSingle(udinfo::FolderPath(value), "path for folder " + WideToUtf8(argument));
    }
    case Request::Report:
        break;
    }
    const auto report = udinfo::CollectReport();
    if (options.json) udinfo::PrintJson(options.config, report);
    else udinfo::PrintTable(options.config, report);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    if (const auto problem = ParseOptions(argc, argv, options)) return UsageError(problem->c_str());
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    // The version is the DLL's own, whatever product it would serve.
    if (options.request != Request::Version && tvudInitProductParams(options.config.c_str(), L"") != 0) {
        std::fprintf(stderr, "udinfo: the platform layer refused the product %s\n",
                     options.config.empty() ? "(embedded default)"
                                            : ("'" + WideToUtf8(options.config) + "'").c_str());
        return 1;
    }
    return RunRequest(options);
}
