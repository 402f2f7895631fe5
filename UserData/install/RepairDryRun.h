// The reconfiguration pass without its changes: the same decisions, each
// Installer run and key deletion recorded instead of carried out. Each run
// is taken to do its job, as far as the Installer's own view of the product
// lets it: what a run would have changed, the questions after it see changed.
#pragma once

#include <windows.h>

#include <msi.h>

#include <set>
#include <string>
#include <vector>

#include "RepairActions.h"

namespace userdata {

class RepairDryRun final : public RepairActions {
public:
    // Asks Installer(`installer`) what it knows of each product.
    explicit RepairDryRun(const InstallerFunctions* installer = nullptr) : installer_(installer) {}

    struct Product {
        std::wstring productCode, userKeyPath;
        // What the Installer knows of the product (MsiQueryProductStateW),
        // unless it could not be asked: then `installerBinding` says why.
        INSTALLSTATE installerState = INSTALLSTATE_UNKNOWN;
        UINT installerBinding = ERROR_SUCCESS;
        struct Run {
            Repair repair;
            std::wstring localRootFolder;  // the folder repairs only
        };
        std::vector<Run> runs;  // in the order the pass would start them
        bool deletesUserKey = false;
        unsigned int status = ERROR_SUCCESS;  // what the pass would return for it
    };

    // Every product the pass examined, in its order.
    const std::vector<Product>& products() const { return products_; }

    void examine(const wchar_t* productCode, const wchar_t* userKeyPath) override;
    void examined(unsigned int status) override { products_.back().status = status; }
    [[nodiscard]] LSTATUS readUserKey(const wchar_t* userKeyPath, LocalRootFolder& folder) override;
    [[nodiscard]] bool folderExists(const wchar_t* folder) override;
    [[nodiscard]] bool folderOpensForReadWrite(const wchar_t* folder) override;
    [[nodiscard]] bool comServerPathsAreRelative() override;
    // The Installer's status for the product: a run of a product it does not
    // know fails as the real one would, and changes nothing.
    [[nodiscard]] unsigned int reconfigure(const RepairRequest& request) override;
    void deleteUserKey(const wchar_t* userKeyPath) override;

private:
    const InstallerFunctions* installer_;
    std::vector<Product> products_;
    std::set<std::wstring> restoredFolders_, userKeysWritten_;
    bool machineRegistrationRewritten_ = false;
};

// The status an Installer run of a product in `state` ends with, when the
// state alone tells: ERROR_UNKNOWN_PRODUCT for a product the Installer does
// not know, or knows for another user only, ERROR_INVALID_PARAMETER for a
// malformed product code; otherwise ERROR_SUCCESS.
[[nodiscard]] unsigned int InstallerStatusFor(INSTALLSTATE state);

}  // namespace userdata
