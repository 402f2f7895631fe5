# Included by the install step of each shipped binary, with _file naming the
# binary as installed (stripped). When the packaging asked for signatures
# (tools/package.sh --sign), signs it in place with an Authenticode SHA-256
# signature:
#   USERDATA_SIGN_PKCS12     the PKCS#12 file with the certificate and its key
#   USERDATA_SIGN_PASSFILE   a file holding the key's password (never on a command line)
#   USERDATA_SIGN_TIMESTAMP  a time-stamp authority (RFC 3161) to ask, if set
# A failure stops the install, and with it the package: no ZIP is written.
if("$ENV{USERDATA_SIGN_PKCS12}" STREQUAL "")
  return()
endif()
find_program(USERDATA_OSSLSIGNCODE osslsigncode REQUIRED)
set(_timestamp)
if(NOT "$ENV{USERDATA_SIGN_TIMESTAMP}" STREQUAL "")
  set(_timestamp -ts "$ENV{USERDATA_SIGN_TIMESTAMP}")
endif()
execute_process(
  COMMAND ${USERDATA_OSSLSIGNCODE} sign -pkcs12 "$ENV{USERDATA_SIGN_PKCS12}" -readpass "$ENV{USERDATA_SIGN_PASSFILE}"
          -h sha256 ${_timestamp} -in "${_file}" -out "${_file}.signed"
  RESULT_VARIABLE _status OUTPUT_VARIABLE _output ERROR_VARIABLE _output)
if(NOT _status EQUAL 0)
  file(REMOVE "${_file}.signed")
  message(FATAL_ERROR "Signing ${_file} failed:\n${_output}")
endif()
file(RENAME "${_file}.signed" "${_file}")
