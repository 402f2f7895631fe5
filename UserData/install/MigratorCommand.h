// How the settings migrator is started: its path beside the library, and
// the options of the waited run.
#pragma once

#include <optional>
#include <string>

namespace userdata {

// The option of the start that only reports a marker file made just now.
inline constexpr wchar_t kMarkerOnlyOption[] = L"/dap";

// vtmigrator.exe in the folder of the module file `modulePath`; nothing
// when either path does not fit its fixed buffer, since a cut path would
// name another program.
[[nodiscard]] std::optional<std::wstring> MigratorPathBeside(const wchar_t* modulePath);

// A getter of the product context (tvudGetCurrentProduct and the like).
using ContextGetter = unsigned int (*)(wchar_t* buffer, unsigned long size);

// "/a", the product and the language from the getters and, when
// `markerCreated`, "/dap ". Nothing when the options would not fit their
// fixed buffer: a cut command line would ask the migrator for something else.
[[nodiscard]] std::optional<std::wstring> WaitedRunOptions(bool markerCreated, ContextGetter product,
                                                           ContextGetter language);

}  // namespace userdata
