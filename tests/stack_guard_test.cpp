// The stack protector's guard of the DLLs: the loader seeds it before any
// code of a DLL runs, the DLL's first constructor folds in the system's
// random bits, and so it is new at every load, with or without the loader's
// help; and a failed check, of the guard or of a fortified call, ends the
// process before any handler of the host runs. The fixture DLLs carry the
// shipped DLLs' guard (stack_guard_fixture.c); a host of their own loads
// them, one process per run (stack_guard_child.c).
#include <set>
#include <sstream>

#include "support/ChildProcess.h"
#include "support/TestSupport.h"

constexpr UINT_PTR kLowBits = (UINT_PTR(1) << 48) - 1;

// `action` on `dll` (with a count of 8 where it takes one) in a child process.
static ProgramRun RunChild(const wchar_t* action, const wchar_t* dll) {
    const std::wstring child = userdata::BesideThisProgram(L"stack_guard_child.exe");
    return RunProgram(child, L"\"" + child + L"\" " + action + L" \"" + userdata::BesideThisProgram(dll) + L"\" 8");
}

static std::vector<UINT_PTR> HexValues(const std::string& text) {
    std::vector<UINT_PTR> values;
    std::istringstream lines(text);
    for (UINT_PTR value; lines >> std::hex >> value;) values.push_back(value);
    return values;
}

TEST_CASE("the loader replaces the default cookie of each DLL before any of its code runs") {
    for (const wchar_t* dll : {L"UserData.dll", L"TvPal.dll", L"stack_guard_fixture.dll"}) {
        CAPTURE(std::wstring(dll));
        const ProgramRun run = RunChild(L"cookie", dll);
        const std::vector<UINT_PTR> cookie = HexValues(run.out);
        REQUIRE_MESSAGE((run.exitCode == 0 && cookie.size() == 1), run.out);
        CHECK(cookie[0] != 0x00002B992DDFA232ull);
        CHECK((cookie[0] & ~kLowBits) == 0);
    }
    CHECK(RunChild(L"cookie", L"stack_guard_fallback_fixture.dll").out == "none\n");
}

// 4 processes of 8 loads: 32 guards, none repeated, each of the low 48 bits
// 0 in some and 1 in others, the top 16 clear. The loader's values alone
// fail: Wine's never set bit 47 and repeat across processes.
TEST_CASE("the guard is new at every load, with and without the loader's cookie") {
    for (const wchar_t* dll : {L"stack_guard_fixture.dll", L"stack_guard_fallback_fixture.dll"}) {
        CAPTURE(std::wstring(dll));
        std::vector<UINT_PTR> guards;
        for (int process = 0; process < 4; ++process) {
            const ProgramRun run = RunChild(L"guards", dll);
            CHECK_MESSAGE(run.exitCode == 0, run.out);
            for (const UINT_PTR guard : HexValues(run.out)) guards.push_back(guard);
        }
        REQUIRE(guards.size() == 32);
        CHECK(std::set<UINT_PTR>(guards.begin(), guards.end()).size() == guards.size());
        UINT_PTR everSet = 0, everClear = 0;
        for (const UINT_PTR guard : guards) everSet |= guard, everClear |= ~guard;
        CHECK((everSet & everClear) == kLowBits);
    }
}

TEST_CASE("a failed check ends the process at once, running no handler of the host") {
    for (const wchar_t* overflow : {L"smash", L"fortify"}) {
        CAPTURE(std::wstring(overflow));
        const ProgramRun run = RunChild(overflow, L"stack_guard_fixture.dll");
        CHECK(run.out == "calling\n");
        CHECK(run.exitCode == DWORD(STATUS_STACK_BUFFER_OVERRUN));
    }
}
