#include "MsiBinding.h"

#include "common/UniqueAny.h"

namespace userdata {

namespace {

// The process keeps msi.dll, once bound, until it ends: a reconfiguration
// may come at any time, and the Installer is not meant to be unloaded while
// it may still be running work of ours.
bool installerBindingTried = false;
InstallerFunctions installer;

template <typename Function>
Function LookUp(HMODULE module, const char* name) {
    // GetProcAddress hands out a generic function pointer; going through
    // void* says on purpose that the real signature is known here.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

const InstallerFunctions& Installer(const InstallerFunctions* standIn) {
    if (standIn != nullptr) return *standIn;
    if (!installerBindingTried) {
        installerBindingTried = true;
        installer = BindInstallerFunctions(L"msi.dll");
    }
    return installer;
}

UINT ReconfigureProduct(const InstallerFunctions& msi, const wchar_t* productCode, const wchar_t* properties) {
    if (msi.status != ERROR_SUCCESS) return msi.status;
    // The Installer's windows get no owner: this library has no window of
    // its own, and the host's may be busy or gone by the time they show.
    HWND owner = nullptr;
    const auto level = static_cast<INSTALLUILEVEL>(INSTALLUILEVEL_BASIC | INSTALLUILEVEL_HIDECANCEL);
    const INSTALLUILEVEL previousLevel = msi.setInternalUI(level, &owner);
    const UINT status = msi.configureProductEx(productCode, INSTALLLEVEL_DEFAULT, INSTALLSTATE_DEFAULT, properties);
    // `owner` now holds the previous owner window.
    (void)msi.setInternalUI(previousLevel, &owner);
    return status;
}

InstallerFunctions BindInstallerFunctions(const wchar_t* moduleName) {
    InstallerFunctions bound;
    // The system's own copy only: never one that was planted in the
    // application's folder or the current directory.
    UniqueModule module(LoadLibraryExW(moduleName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (!module) {
        const DWORD error = GetLastError();
        bound.status = error != ERROR_SUCCESS ? error : ERROR_MOD_NOT_FOUND;
        return bound;
    }
    bound.setInternalUI = LookUp<MsiSetInternalUIFunction>(module.get(), "MsiSetInternalUI");
    bound.configureProductEx = LookUp<MsiConfigureProductExWFunction>(module.get(), "MsiConfigureProductExW");
    bound.queryProductState = LookUp<MsiQueryProductStateWFunction>(module.get(), "MsiQueryProductStateW");
    if (bound.setInternalUI == nullptr || bound.configureProductEx == nullptr || bound.queryProductState == nullptr)
        return InstallerFunctions{nullptr, nullptr, ERROR_PROC_NOT_FOUND, nullptr};
    // Bound for good: the functions stay valid as long as the process runs.
    (void)module.release();
    return bound;
}

INSTALLSTATE QueryProductState(const InstallerFunctions& msi, const wchar_t* productCode) {
    return msi.status == ERROR_SUCCESS ? msi.queryProductState(productCode) : INSTALLSTATE_UNKNOWN;
}

}  // namespace userdata
