// The product's registry roots.
#include <UserData.h>

#include "common/Utf.h"
#include "registry/RegistryFunctions.h"
#include "registry/UniqueHkey.h"

#include "Checks.h"
#include "Fetch.h"

namespace udinfo {

using userdata::WideToUtf8;

std::string MachineKeyHive(const std::wstring& path) {
    // A key opened below HKEY_LOCAL_MACHINE gets no fallback, so opening
    // from there first tells the two hives apart.
    userdata::UniqueHkey machine, key;
    if (userdata::RegistryOpenKey(HKEY_LOCAL_MACHINE, L"", 0, KEY_READ, machine.put()) == ERROR_SUCCESS &&
        userdata::RegistryOpenKey(machine.get(), path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS)
        return "HKLM";
    if (userdata::RegistryOpenKey(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS)
        return "HKCU";
    return {};
}

namespace {

Check UserRoot() {
    constexpr char kName[] = "registry: user product root";
    const std::wstring root = Fetch(tvudGetUserProductRegistryRootKey);
    if (root.empty()) {
        return Problem(kName, "the platform layer names no user product root",
                       "name the user product root in the product description given to the platform layer");
    }
    const std::string key = "HKCU\\" + WideToUtf8(root);
    userdata::UniqueHkey opened;
    if (userdata::RegistryOpenKey(HKEY_CURRENT_USER, root.c_str(), 0, KEY_READ, opened.put()) != ERROR_SUCCESS)
        return Problem(kName, key + " does not exist", "start the product once, or create it: reg add \"" + key + "\"");
    return Ok(kName, key);
}

Check MachineRoot() {
    constexpr char kName[] = "registry: machine product root";
    const std::wstring root = Fetch(tvudGetMachineProductRegistryRootKey);
    if (root.empty()) {
        return Problem(kName, "the platform layer names no machine product root",
                       "name the machine product root in the product description given to the platform layer");
    }
    const std::string hive = MachineKeyHive(root);
    if (hive.empty()) {
        return Problem(kName, "HKLM\\" + WideToUtf8(root) + " does not exist, nor below HKCU",
                       "reinstall the product: its package writes HKLM\\" + WideToUtf8(root));
    }
    return Ok(kName, hive + "\\" + WideToUtf8(root) + (hive == "HKCU" ? " (a per-user installation)" : ""));
}

}  // namespace

void CheckRegistry(Checks& checks) {
    checks.push_back(UserRoot());
    checks.push_back(MachineRoot());
}

}  // namespace udinfo
