// Uses the installed library the way a host does and checks a few answers
// of the embedded default product.
#include <cstdio>
#include <string>

#include <UserData.h>

int wmain() {
    if (tvudInitProductParams(L"", L"") != 0) return 1;
    wchar_t program[64] = {};
    if (GetProgramName(program, 64) == 0 || std::wstring(program) != L"TRLV") return 2;
    const std::wstring roamable = tvudGetSpecialFolder(TvUdSpecialFolder::RoamableRootFolder);
    if (roamable.empty()) return 3;
    std::printf("consumer: program %ls, roamable root %ls\n", program, roamable.c_str());
    return 0;
}
