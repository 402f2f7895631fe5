// What each timed export costs at least: the same platform layer, registry
// and file calls, done directly, with the strings copied straight into the
// caller's buffer. Each floor returns what the export returns, so that the
// benchmark can check that floor and export did the same work.
#pragma once

#include <cstddef>

#include <windows.h>

#include <shlobj.h>

namespace udbench::floors {

// Roots::currentLanguageName plus wcslen and wmemcpy.
unsigned int Language(wchar_t* buffer, std::size_t capacity);
// Roots::productCultureSpecificRootName plus wcslen and wmemcpy.
unsigned int MachineRoot(wchar_t* buffer, std::size_t capacity);

// The special folder `folder` (0 to 18) from the platform layer's settings
// visitor, resource directory, language and separator, joined in place.
unsigned int SpecialFolder(int folder, wchar_t* buffer, std::size_t capacity);

// The help file (profile values, else resource directory, "Help" and the
// default file name): its length, as GetHelpFileName reports the default.
unsigned int HelpFile(wchar_t* buffer, std::size_t capacity);
// The context-help file beside it: its length.
unsigned int ContextFile(wchar_t* buffer, std::size_t capacity);

// The registry opens, reads and file checks of one healthy installation
// pass over "<machine root>\UserData": the COM server check, then for every
// listed product its per-user key, "LocalRootFolder", the folder's
// attributes and a read/write open. Returns the number of products that
// passed every check.
unsigned int InstallPass();

// The probes of the steady automatic-migration state: the roamable root
// folder (a settings value) and its "DAP" marker, then "AutoMigrate" under
// the machine and the user product roots. True when the state is steady:
// marker present, machine switch on, user switch neither absent nor 1.
bool AutoMigrateProbe();

}  // namespace udbench::floors

namespace udbench::peers {

// SHGetKnownFolderPath and CoTaskMemFree; the path's length.
unsigned int KnownFolder(const KNOWNFOLDERID& id);

// PathUnExpandEnvStringsW, then RegSetValueExW (REG_EXPAND_SZ when a
// reference was put in).
LSTATUS SetUnexpandedString(HKEY key, const wchar_t* valueName, const wchar_t* text);

// LoadLibraryExW as a data file and image resource, LoadStringW, FreeLibrary.
int LoadStringAsResourceImage(const wchar_t* library, unsigned int id, wchar_t* buffer, int capacity);

// LoadLibraryW, LoadStringW, FreeLibrary: the calls the export makes.
int LoadStringFromModule(const wchar_t* library, unsigned int id, wchar_t* buffer, int capacity);

}  // namespace udbench::peers
