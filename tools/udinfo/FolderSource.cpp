#include "FolderSource.h"

namespace udinfo {

using userdata::FolderOrigin;
using userdata::FolderOutcome;
using userdata::FolderRule;
using userdata::FolderSource;

namespace {

std::wstring Why(FolderOutcome outcome) {
    switch (outcome) {
    case FolderOutcome::Resolved: return L"";
    case FolderOutcome::NoResourceDirectory: return L"the platform names no resource directory";
    case FolderOutcome::NoLanguage: return L"no usable current language";
    case FolderOutcome::SubFolderTooLong: return L"sub-folder and language longer than 63 characters";
    case FolderOutcome::TooLong: return L"longer than 2047 characters";
    case FolderOutcome::NoHelpFile: return L"no help file named";
    case FolderOutcome::HelpFileWithoutFolder: return L"help file named without a folder";
    case FolderOutcome::SettingMissing: return L"absent or empty";
    }
    return L"";
}

// What the rule took the path from, as far as it got.
std::wstring Basis(const FolderRule& rule, const FolderOrigin& origin) {
    switch (rule.source) {
    case FolderSource::Product: {
        std::wstring basis = L"product folder";
        if (rule.name != nullptr) basis += std::wstring(L" + ") + rule.name;
        if (!origin.languageJoined.empty()) basis += (rule.name ? L"\\" : L" + language ") + origin.languageJoined;
        return basis;
    }
    case FolderSource::Help: {
        std::wstring basis = L"folder of the help file";
        if (origin.help.valueName != nullptr) {
            basis += origin.help.fromProfile ? L" named by profile value General\\" : L" named by setting ";
            basis += origin.help.valueName;
        }
        if (!origin.languageJoined.empty()) basis += L" + language " + origin.languageJoined;
        return basis;
    }
    case FolderSource::Setting:
        return std::wstring(L"setting ") + rule.name;
    }
    return L"";
}

}  // namespace

std::wstring DescribeFolderSource(const FolderOrigin& origin) {
    if (origin.rule == nullptr) return L"no such folder";
    std::wstring text = Basis(*origin.rule, origin);
    if (origin.outcome == FolderOutcome::Resolved) return text;
    if (origin.outcome == FolderOutcome::SettingMissing) text += origin.settingFound ? L" empty" : L" absent";
    else text += L": " + Why(origin.outcome);
    if (!origin.fellBack) return text + L": none";
    text += L": product folder";
    if (origin.fallbackOutcome != FolderOutcome::Resolved) text += L", which fails: " + Why(origin.fallbackOutcome);
    return text;
}

}  // namespace udinfo
