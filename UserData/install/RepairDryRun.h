// The reconfiguration pass without its changes: the same decisions, each
// Installer run and key deletion recorded instead of carried out.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "RepairActions.h"

namespace userdata {

class RepairDryRun final : public RepairActions {
public:
    struct Product {
        std::wstring productCode, userKeyPath;
        struct Run {
            Repair repair;
            std::wstring localRootFolder;  // the folder repairs only
        };
        std::vector<Run> runs;  // in the order the pass would start them
        bool deletesUserKey = false;
    };

    // Every product the pass examined, in its order.
    const std::vector<Product>& products() const { return products_; }

    void examine(const wchar_t* productCode, const wchar_t* userKeyPath) override;
    // Each run counts as the success it is meant to be; so a folder whose
    // files a run restores opens afterwards, as it would after the real one.
    [[nodiscard]] unsigned int reconfigure(const RepairRequest& request) override;
    void deleteUserKey(const wchar_t* userKeyPath) override;
    [[nodiscard]] bool folderOpensForReadWrite(const wchar_t* folder) override;

private:
    std::vector<Product> products_;
    std::set<std::wstring> restoredFolders_;
};

}  // namespace userdata
