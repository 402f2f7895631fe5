// The Windows Installer, reached through msi.dll bound at the first
// reconfiguration rather than when this library is loaded: hosts that never
// repair per-user data never pay for loading the Installer. The one way to
// it: the repair pass, its dry form and the tests all go through an
// InstallerFunctions, the process's binding or a caller's stand-in.
#pragma once

#include <windows.h>

#include <msi.h>

namespace userdata {

using MsiSetInternalUIFunction = INSTALLUILEVEL(WINAPI*)(INSTALLUILEVEL level, HWND* owner);
using MsiConfigureProductExWFunction = UINT(WINAPI*)(LPCWSTR productCode, int installLevel,
                                                     INSTALLSTATE installState, LPCWSTR commandLine);
using MsiQueryProductStateWFunction = INSTALLSTATE(WINAPI*)(LPCWSTR productCode);

// The Installer functions this library calls, or why they could not be had.
struct InstallerFunctions {
    MsiSetInternalUIFunction setInternalUI = nullptr;
    MsiConfigureProductExWFunction configureProductEx = nullptr;
    // ERROR_SUCCESS when every function is bound; otherwise the loader's
    // error, or ERROR_PROC_NOT_FOUND when the module lacks one of them.
    UINT status = ERROR_SUCCESS;
    // What the Installer knows of a product, for a dry run's predictions.
    MsiQueryProductStateWFunction queryProductState = nullptr;
};

// Loads `moduleName` from the system folder only and looks up the
// functions. A module that lacks one is released again.
[[nodiscard]] InstallerFunctions BindInstallerFunctions(const wchar_t* moduleName);

// `standIn` when a caller that watches the Installer hands one in, else the
// process's own msi.dll binding: tried once per process, at the first call,
// and kept.
[[nodiscard]] const InstallerFunctions& Installer(const InstallerFunctions* standIn);

// Has the Installer reconfigure the installed product `productCode` with the
// property string `properties`, with its basic progress and error interface
// and no Cancel button, and waits for it to finish. The interface level and
// owner window in force before are restored afterwards. Returns the
// Installer's status; every non-zero status (ERROR_SUCCESS_REBOOT_REQUIRED
// included) means the reconfiguration did not succeed. When msi.dll or one of
// its functions could not be had, returns `installer.status` instead.
[[nodiscard]] UINT ReconfigureProduct(const InstallerFunctions& installer, const wchar_t* productCode,
                                      const wchar_t* properties);

// The Installer's state of the product `productCode` (MsiQueryProductStateW):
// INSTALLSTATE_DEFAULT when it is installed for this user or the machine,
// INSTALLSTATE_UNKNOWN when the Installer does not know it, and also when
// msi.dll could not be had (`installer.status` says why).
[[nodiscard]] INSTALLSTATE QueryProductState(const InstallerFunctions& installer, const wchar_t* productCode);

}  // namespace userdata
