// The automatic migration without its changes: the same decision, the
// marker, the switch writes and the migrator starts recorded instead.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "MigrationDecision.h"
#include "MigratorCommand.h"

namespace userdata {

class MigrationDryRun final : public MigrationActions {
public:
    // `migrator` is the program the library would start (nothing when its
    // path cannot be formed); the getters give the product and language.
    MigrationDryRun(std::optional<std::wstring> migrator, ContextGetter product, ContextGetter language)
        : migrator_(std::move(migrator)), product_(product), language_(language) {}

    struct Start {
        std::wstring options;  // empty when they would not fit their buffer
        bool waited;
    };
    bool markerCreated = false;
    std::vector<DWORD> userSwitchWrites;  // in order
    std::optional<Start> start;

    [[nodiscard]] bool createDapMarker() override;
    void writeUserSwitch(const wchar_t* userRoot, DWORD value) override;
    // A migrator that is there counts as one that exits with 0; one that is
    // not fails to start, as the real start would.
    [[nodiscard]] bool runMigratorAndWait(bool markerCreated) override;
    void startMigratorForMarker() override;

private:
    std::optional<std::wstring> migrator_;
    ContextGetter product_;
    ContextGetter language_;
};

}  // namespace userdata
