#include "ProductRepairPass.h"

#include <memory>
#include <new>
#include <string_view>

#include "../registry/RegistryFunctions.h"

namespace userdata {

namespace {

// The value name and data buffers of one pass, sized once from what the
// UserData key reports about its longest name and data.
class EnumerationBuffers {
public:
    [[nodiscard]] bool allocate(DWORD longestNameChars, DWORD longestDataBytes) {
        nameChars_ = longestNameChars + 1;
        // Two bytes beyond the longest data leave room for its terminator.
        dataBytes_ = longestDataBytes + 2;
        name_.reset(new (std::nothrow) wchar_t[nameChars_]());
        // One character more than the registry is offered, for a terminator
        // of our own: data need not be stored with one, and a value may
        // have grown since the sizes were reported.
        data_.reset(new (std::nothrow) wchar_t[(dataBytes_ + 1) / sizeof(wchar_t) + 1]());
        return name_ != nullptr && data_ != nullptr;
    }

    // Reads the value at `index`; on success name() and data() are text.
    [[nodiscard]] LSTATUS read(HKEY key, DWORD index) {
        DWORD nameChars = nameChars_;
        DWORD dataBytes = dataBytes_;
        const LSTATUS status = RegistryEnumValue(key, index, name_.get(), &nameChars, nullptr, nullptr,
                                                 reinterpret_cast<BYTE*>(data_.get()), &dataBytes);
        if (status == ERROR_SUCCESS) data_[(dataBytes + 1) / sizeof(wchar_t)] = L'\0';
        return status;
    }

    const wchar_t* name() const noexcept { return name_.get(); }
    const wchar_t* data() const noexcept { return data_.get(); }

private:
    std::unique_ptr<wchar_t[]> name_;
    std::unique_ptr<wchar_t[]> data_;
    DWORD nameChars_ = 0;
    DWORD dataBytes_ = 0;
};

// Products whose per-user key is named "...KPM-<suffix>" keep no local root
// folder of their own to check.
[[nodiscard]] bool SkipsFolderChecks(std::wstring_view userKeyPath) {
    const size_t hyphen = userKeyPath.rfind(L'-');
    return hyphen != std::wstring_view::npos && hyphen >= 3 && userKeyPath.substr(hyphen - 3, 3) == L"KPM";
}

// Steps 4 and 5 for a product whose per-user key exists, its
// "LocalRootFolder" as last read.
[[nodiscard]] unsigned int EnsureLocalRootFolder(RepairActions& actions, const wchar_t* productCode,
                                                 const wchar_t* userKeyPath, const LocalRootFolder& folder) {
    if (!folder.present) return ERROR_SUCCESS;
    unsigned int status = ERROR_SUCCESS;
    if (!actions.folderExists(folder.path))
        status = actions.reconfigure({productCode, Repair::RestoreMissingFiles, folder.path});
    if (actions.folderOpensForReadWrite(folder.path)) return status;

    // The folder exists but is unusable, or the "p" run could not bring it
    // back: the per-user data goes as a whole and is written afresh.
    actions.deleteUserKey(userKeyPath);
    return actions.reconfigure({productCode, Repair::RewriteUserRegistry, folder.path});
}

[[nodiscard]] unsigned int ReconfigureProductUserData(RepairActions& actions, const wchar_t* productCode,
                                                      const wchar_t* userKeyPath, bool repairComServers) {
    // The read that tells whether the per-user key exists also serves the
    // folder checks, as long as no Installer run comes in between: one open
    // per healthy product instead of two.
    LocalRootFolder folder;
    unsigned int status = static_cast<unsigned int>(actions.readUserKey(userKeyPath, folder));
    bool installerRan = false;
    if (status == ERROR_FILE_NOT_FOUND) {
        status = actions.reconfigure({productCode, Repair::LayDownUserData, nullptr});
        installerRan = true;
    }
    if (status != ERROR_SUCCESS) return status;

    // Asked again for every product: once one run has fixed the machine's
    // registration, the products after it need none. The user's data does
    // not depend on it, so its outcome is not this product's status.
    if (repairComServers && !actions.comServerPathsAreRelative()) {
        (void)actions.reconfigure({productCode, Repair::RewriteMachineRegistration, nullptr});
        installerRan = true;
    }

    if (SkipsFolderChecks(userKeyPath)) return ERROR_SUCCESS;
    // The Installer may have replaced the per-user key: read it afresh.
    if (installerRan) {
        const LSTATUS reread = actions.readUserKey(userKeyPath, folder);
        if (reread != ERROR_SUCCESS) return static_cast<unsigned int>(reread);
    }
    return EnsureLocalRootFolder(actions, productCode, userKeyPath, folder);
}

[[nodiscard]] unsigned int ReconfigureValue(RepairActions& actions, HKEY userDataKey, DWORD index,
                                            EnumerationBuffers& buffers, bool repairComServers) {
    const LSTATUS read = buffers.read(userDataKey, index);
    if (read != ERROR_SUCCESS) return static_cast<unsigned int>(read);
    if (buffers.name()[0] == L'\0') return ERROR_SUCCESS;  // the default value names no product
    actions.examine(buffers.name(), buffers.data());
    const unsigned int status = ReconfigureProductUserData(actions, buffers.name(), buffers.data(), repairComServers);
    actions.examined(status);
    return status;
}

}  // namespace

unsigned int ReconfigureUserData(HKEY userDataKey, bool repairComServers, RepairActions& actions) {
    DWORD values = 0;
    DWORD longestNameChars = 0;
    DWORD longestDataBytes = 0;
    const LSTATUS info = RegistryQueryInfoKey(userDataKey, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                              &values, &longestNameChars, &longestDataBytes, nullptr, nullptr);
    if (info != ERROR_SUCCESS) return static_cast<unsigned int>(info);

    EnumerationBuffers buffers;
    if (!buffers.allocate(longestNameChars, longestDataBytes)) return ERROR_OUTOFMEMORY;

    // Each product is repaired on its own; only the last one's outcome
    // reaches the caller.
    unsigned int status = ERROR_SUCCESS;
    for (DWORD index = 0; index < values; ++index)
        status = ReconfigureValue(actions, userDataKey, index, buffers, repairComServers);
    return status;
}

}  // namespace userdata
