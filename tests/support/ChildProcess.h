// A program run to its end in a process of its own, started by its full
// path, with what it wrote to its standard output and error and how it
// ended. A child that hangs is ended by ctest's time limit for the test.
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

// `program` with the command line `commandLine`, which names it as its
// caller chooses (quoted or not).
inline ProgramRun RunProgram(const std::wstring& program, std::wstring commandLine) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    userdata::UniqueHandle readEnd, writeEnd;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION started{};
    if (!CreatePipe(readEnd.put(), writeEnd.put(), &inherited, 0) ||
        !SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0))
        throw std::runtime_error("no pipe for a child process");
    startup.hStdOutput = writeEnd.get();
    startup.hStdError = writeEnd.get();
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &started))
        throw std::runtime_error("a child process does not start");
    const userdata::UniqueHandle process(started.hProcess), thread(started.hThread);
    writeEnd.reset();
    ProgramRun run{};
    char chunk[4096];
    for (DWORD got; ReadFile(readEnd.get(), chunk, sizeof chunk, &got, nullptr) && got > 0;) run.out.append(chunk, got);
    WaitForSingleObject(process.get(), INFINITE);
    GetExitCodeProcess(process.get(), &run.exitCode);
    return run;
}

}  // namespace testing_support
