// What the reconfiguration pass changes, kept apart from what it decides:
// every Installer run and the deletion of a per-user key go through here, so
// that a dry run can follow the very same decisions and change nothing.
#pragma once

#include <windows.h>

#include "MsiBinding.h"

namespace userdata {

// Why the pass reconfigures a product. Each reason has its own reinstall
// mode, in RepairProperties.
enum class Repair {
    LayDownUserData,             // the per-user key is missing
    RewriteMachineRegistration,  // the COM servers are registered with absolute paths
    RestoreMissingFiles,         // the local root folder is missing
    RewriteUserRegistry,         // the local root folder cannot be opened for reading and writing
};

// The Installer property string of a repair.
[[nodiscard]] const wchar_t* RepairProperties(Repair repair);

struct RepairRequest {
    const wchar_t* productCode;
    Repair repair;
    const wchar_t* localRootFolder;  // the two folder repairs only; nullptr otherwise
};

// The per-user key's value that names the product's local root folder.
inline constexpr wchar_t kLocalRootFolderValue[] = L"LocalRootFolder";

// A per-user key's "LocalRootFolder" value, as the pass reads it.
struct LocalRootFolder {
    bool present = false;            // set, as text shorter than MAX_PATH characters
    wchar_t path[MAX_PATH] = {};
};

// Everything the pass does to the machine, and every question it asks about
// the machine's state between two of its runs: so that a dry form, which
// knows what each run it did not make would have changed, follows the very
// same decisions.
class RepairActions {
public:
    // The pass starts on the product `productCode` listed with `userKeyPath`,
    // and is done with it, with what InstallUserData would return for it.
    virtual void examine(const wchar_t* productCode, const wchar_t* userKeyPath) = 0;
    virtual void examined(unsigned int status) = 0;

    // Opens HKEY_CURRENT_USER\<userKeyPath> for reading and reads its
    // "LocalRootFolder" into `folder`: the open's status.
    [[nodiscard]] virtual LSTATUS readUserKey(const wchar_t* userKeyPath, LocalRootFolder& folder) = 0;
    [[nodiscard]] virtual bool folderExists(const wchar_t* folder) = 0;
    // Whether `folder` opens for reading and writing (FolderOpensForReadWrite).
    [[nodiscard]] virtual bool folderOpensForReadWrite(const wchar_t* folder) = 0;
    // Whether the product's COM servers are registered with relative paths.
    [[nodiscard]] virtual bool comServerPathsAreRelative() = 0;

    // Has the Installer carry out the repair; its status.
    [[nodiscard]] virtual unsigned int reconfigure(const RepairRequest& request) = 0;
    // Deletes HKEY_CURRENT_USER\<userKeyPath> with everything below it.
    virtual void deleteUserKey(const wchar_t* userKeyPath) = 0;

protected:
    ~RepairActions() = default;
};

// The answers of the machine as it is now, shared by both forms of the pass.
[[nodiscard]] LSTATUS ReadUserKey(const wchar_t* userKeyPath, LocalRootFolder& folder);
[[nodiscard]] bool FolderExists(const wchar_t* folder);

// Whether `folder` opens for reading and writing now, as the pass asks it:
// with backup semantics, which let CreateFileW open a folder, and full
// sharing, which asks only whether this user may read and write there, not
// whether someone else happens to be working in it.
[[nodiscard]] bool FolderOpensForReadWrite(const wchar_t* folder);

// The pass that changes things: each run through Installer(`installer`),
// the per-user key really deleted. Laying a product's per-user data down
// marks the installation as secondary (SecondaryInstallFound).
class InstallerActions final : public RepairActions {
public:
    explicit InstallerActions(const InstallerFunctions* installer) : installer_(installer) {}
    void examine(const wchar_t*, const wchar_t*) override {}
    void examined(unsigned int) override {}
    [[nodiscard]] LSTATUS readUserKey(const wchar_t* userKeyPath, LocalRootFolder& folder) override {
        return ReadUserKey(userKeyPath, folder);
    }
    [[nodiscard]] bool folderExists(const wchar_t* folder) override { return FolderExists(folder); }
    [[nodiscard]] bool folderOpensForReadWrite(const wchar_t* folder) override {
        return FolderOpensForReadWrite(folder);
    }
    [[nodiscard]] bool comServerPathsAreRelative() override;
    [[nodiscard]] unsigned int reconfigure(const RepairRequest& request) override;
    void deleteUserKey(const wchar_t* userKeyPath) override;

private:
    const InstallerFunctions* installer_;
};

// True once a pass has found an installed product without its per-user key
// for this user (the product came to this user as a secondary installation);
// never cleared. A plain process-wide flag: passes and the question about
// them are never run at once.
[[nodiscard]] bool SecondaryInstallFound();

}  // namespace userdata
