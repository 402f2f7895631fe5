#include "ProductState.h"

#include <set>

namespace Veltrane::Trelvix::PAL {

namespace {

// One product at a time: each initialisation replaces the whole product, so
// re-initialising any number of times holds one product's memory.
ProductState& current() {
    static ProductState state;
    return state;
}

// Every language name that has been current, once each. The pointer handed
// out for the current language stays valid after later initialisations, in
// memory bounded by the number of distinct languages, not of calls.
const wchar_t* InternLanguage(const std::wstring& language) {
    static std::set<std::wstring> languages;
    return languages.insert(language).first->c_str();
}

const wchar_t* currentLanguage = L"";

}  // namespace

const ProductState& currentState() { return current(); }

const wchar_t* currentLanguageName() { return currentLanguage; }

void installState(ProductState next) {
    currentLanguage = InternLanguage(next.currentLanguageName);
    current() = std::move(next);
}

}  // namespace Veltrane::Trelvix::PAL
