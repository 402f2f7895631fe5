# Runs COMMAND (its words separated by "|") and fails unless it exits with
# STATUS, and, for each that is defined, its standard output equals STDOUT,
# its error output equals STDERR or begins with STDERR_BEGINS, and its
# standard output matches the regular expression STDOUT_MATCHES.
# Line ends are compared as "\n".

string(REPLACE "|" ";" COMMAND "${COMMAND}")
execute_process(COMMAND ${COMMAND} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(REPLACE "\r\n" "\n" out "${out}")
string(REPLACE "\r\n" "\n" err "${err}")
message("exit status ${status}\n--- stdout\n${out}--- stderr\n${err}---")
set(failures "")
if(NOT status STREQUAL STATUS)
  string(APPEND failures "exit status ${status} instead of ${STATUS}\n")
endif()
if(DEFINED STDOUT AND NOT out STREQUAL STDOUT)
  string(APPEND failures "stdout is not exactly:\n${STDOUT}\n")
endif()
if(DEFINED STDERR AND NOT err STREQUAL STDERR)
  string(APPEND failures "stderr is not exactly:\n${STDERR}\n")
endif()
if(DEFINED STDERR_BEGINS)
  string(FIND "${err}" "${STDERR_BEGINS}" at)
  if(NOT at EQUAL 0)
    string(APPEND failures "stderr does not begin with:\n${STDERR_BEGINS}\n")
  endif()
endif()
if(DEFINED STDOUT_MATCHES AND NOT out MATCHES "${STDOUT_MATCHES}")
  string(APPEND failures "stdout does not match: ${STDOUT_MATCHES}\n")
endif()
if(failures)
  message(FATAL_ERROR "${failures}")
endif()
