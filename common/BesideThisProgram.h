// Files beside the running program: DLLs are loaded by full path, never by a
// bare name the loader would search for.
#pragma once

#include <windows.h>

#include <string>

namespace userdata {

// The full path of `name` in the folder of this process's program.
inline std::wstring BesideThisProgram(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    const std::wstring program(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    return program.substr(0, program.rfind(L'\\') + 1) + name;
}

}  // namespace userdata
