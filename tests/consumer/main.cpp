// Uses the installed library the way a host does and checks a few answers
// of the embedded default product; the exit status says which failed.
#include <cstdio>
#include <string>

#include <UserData.h>

int wmain() {
    if (tvudInitProductParams(L"", L"") != 0) return 1;
    wchar_t program[64] = {};
    if (GetProgramName(program, 64) == 0 || std::wstring(program) != L"TRLV") return 2;
    // Below the user's profile, on the system drive.
    if (tvudGetSpecialFolder(TvUdSpecialFolder::RoamableRootFolder).rfind(L"C:\\", 0) != 0) return 3;
    std::puts("consumer: program TRLV, roamable root on C:");
    return 0;
}
