// A program run to its end in a process of its own, started by its full
// path, with what it wrote to its standard output and how it ended. One that
// has not ended within a minute is ended, and the run fails: a test never
// waits for a hung child.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

#include "common/UniqueAny.h"

namespace testing_support {

struct ProgramRun {
    DWORD exitCode;
    std::string out;
};

// `program` with `arguments` as the rest of its command line. The child's
// standard error is this process's.
inline ProgramRun RunProgram(const std::wstring& program, const std::wstring& arguments) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    userdata::UniqueHandle readEnd, writeEnd;
    if (!CreatePipe(readEnd.put(), writeEnd.put(), &inherited, 0) ||
        !SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0))
        throw std::runtime_error("no pipe for a child process");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd.get();
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &started))
        throw std::runtime_error("a child process does not start");
    const userdata::UniqueHandle process(started.hProcess), thread(started.hThread);
    writeEnd.reset();
    ProgramRun run{};
    const ULONGLONG deadline = GetTickCount64() + 60'000;
    for (bool ended = false; !ended;) {
        ended = WaitForSingleObject(process.get(), 10) == WAIT_OBJECT_0;
        char chunk[4096];
        for (DWORD waiting; PeekNamedPipe(readEnd.get(), nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0;) {
            DWORD got = 0;
            if (!ReadFile(readEnd.get(), chunk, sizeof chunk, &got, nullptr)) break;
            run.out.append(chunk, got);
        }
        if (!ended && GetTickCount64() > deadline) {
            TerminateProcess(process.get(), 1);
            throw std::runtime_error("a child process did not end within a minute; it printed: " + run.out);
        }
    }
    GetExitCodeProcess(process.get(), &run.exitCode);
    return run;
}

}  // namespace testing_support
