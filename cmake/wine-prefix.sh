# Sourced by wine-run.sh and wine-fixture.sh: points Wine at the build tree's
# own private prefix, quietly and without a display, and makes the prefix on
# first use.
: "${USERDATA_WINEPREFIX:?USERDATA_WINEPREFIX must name the Wine prefix of the build tree}"
export WINEPREFIX="$USERDATA_WINEPREFIX"
export WINEDEBUG=-all
# Wine names Unix files in the Unix locale's character set: under a fresh
# machine's plain "C" locale a file name outside ASCII cannot be made at all.
# Users' folders are not ASCII, so Wine always runs under UTF-8.
export LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY

# A prefix is booted beside its place and renamed into it only when wineboot
# has succeeded, so a failed or interrupted boot never leaves a prefix that a
# later run takes for a good one (a good one has its system.reg). The boot's
# servers write to a log file, never to the caller's output pipes.
ensure_wine_prefix() {
  [ -f "$WINEPREFIX/system.reg" ] && return 0
  mkdir -p "$(dirname "$WINEPREFIX")" &&
    staging=$(mktemp -d "$WINEPREFIX.boot-XXXXXX") || {
    echo "wine-prefix: cannot make a folder beside $WINEPREFIX" >&2
    return 1
  }
  # mono and gecko would otherwise be offered for download on first boot.
  if WINEPREFIX="$staging" WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i </dev/null >"$staging.log" 2>&1 &&
     WINEPREFIX="$staging" wineserver -w && [ -f "$staging/system.reg" ]; then
    # What stands in the way is either a prefix a concurrent first run has
    # just made, which is as good, or the remains of an older failed boot.
    [ -f "$WINEPREFIX/system.reg" ] || rm -rf "$WINEPREFIX"
    mv -T "$staging" "$WINEPREFIX" 2>/dev/null || [ -f "$WINEPREFIX/system.reg" ]
    booted=$?
  else
    booted=1
    echo "wine-prefix: wineboot could not make the Wine prefix $WINEPREFIX:" >&2
    cat "$staging.log" >&2
    WINEPREFIX="$staging" wineserver -k 2>/dev/null
  fi
  rm -rf "$staging" "$staging.log"
  return $booted
}
