# Sourced by tools/package.sh and by the package test. `sign_with FILE.pfx
# [URL]` checks the certificate file and readies the install step of the
# shipped binaries (cmake/Authenticode.cmake) to sign each of them with it,
# the time-stamp authority at URL countersigning if given. The key's
# password comes from USERDATA_SIGN_PASSWORD (unset means empty) and is handed
# on in a file only this user can read, never on a command line; the file is
# removed when the shell exits. A file that cannot be read or opened ends the
# shell with one line naming it and status 1.
sign_with() {
  local certificate=$1
  refuse() {
    echo "package.sh: $certificate: $1" >&2
    exit 1
  }
  [ -f "$certificate" ] && [ -r "$certificate" ] || refuse "cannot read the certificate file"
  export USERDATA_SIGN_PASSWORD=${USERDATA_SIGN_PASSWORD-}
  openssl pkcs12 -in "$certificate" -passin env:USERDATA_SIGN_PASSWORD -noout 2>/dev/null ||
    refuse "not a PKCS#12 certificate file, or USERDATA_SIGN_PASSWORD is not its password"
  USERDATA_SIGN_PASSFILE=$(mktemp)
  trap 'rm -f "$USERDATA_SIGN_PASSFILE"' EXIT
  printf '%s' "$USERDATA_SIGN_PASSWORD" >"$USERDATA_SIGN_PASSFILE"
  USERDATA_SIGN_PKCS12=$(realpath "$certificate")
  USERDATA_SIGN_TIMESTAMP=${2-}
  export USERDATA_SIGN_PKCS12 USERDATA_SIGN_PASSFILE USERDATA_SIGN_TIMESTAMP
}
