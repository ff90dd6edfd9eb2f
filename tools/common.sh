# Shared by the tools: packages, Xvfb and Wine; planting faults.
# shellcheck shell=bash

czasomir_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# ensure_packages PKG...: installs, with apt, those of PKG that are not installed yet.
ensure_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

_started_xvfb=""
_wine_prefix=""

# xvfb_up: starts a private Xvfb on a free display and exports DISPLAY.
xvfb_up() {
  local n
  for n in $(seq 91 150); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -dpi 96 >/dev/null 2>&1 &
  _started_xvfb=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && return 0
    sleep 0.1
  done
  echo "Xvfb did not start on :$n" >&2
  return 1
}

# wine_up PREFIX: a Wine prefix (made once, without the Mono and Gecko prompts)
# and a persistent wineserver, so that every Wine process starts fast.
wine_up() {
  _wine_prefix=$1
  export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  export CZASOMIR_WINEPREFIX=$1
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >"$WINEPREFIX.boot.log" 2>&1 || true
    # No window manager runs on the private display: without this Wine waits
    # for one each time a window is hidden or destroyed.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$WINEPREFIX.boot.log" 2>&1 || true
    wineserver -w
  fi
  # wineserver -p stays in the foreground: run it in the background.
  wineserver -p >/dev/null 2>&1 &
  sleep 0.2
  # The first program of a session starts Wine's background services, which
  # keep its output open: let that be a throwaway program, not a test.
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

wine_down() {
  if [ -n "$_wine_prefix" ]; then
    WINEPREFIX=$_wine_prefix wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX=$_wine_prefix wineserver -w >/dev/null 2>&1 || true
    _wine_prefix=""
  fi
  if [ -n "$_started_xvfb" ]; then
    kill "$_started_xvfb" >/dev/null 2>&1 || true
    wait "$_started_xvfb" 2>/dev/null || true
    _started_xvfb=""
  fi
}

# Planting faults, for tools/plant-faults.sh and tools/catch-matrix.sh: one file
# at a time holds a fault, saved meanwhile as $planted.fault-backup.
planted=""

# plant FILE ORIGINAL REPLACEMENT [LINE]: 0 when planted (tools/plant-one.py);
# otherwise the file stays as it was.
plant() {
  cp -p "$1" "$1.fault-backup" && planted=$1
  python3 "$czasomir_root/tools/plant-one.py" "$@" || { restore; return 1; }
}

# restore: the planted file as it was, touched: newer than what was built from the fault.
restore() {
  if [ -n "$planted" ]; then mv -f "$planted.fault-backup" "$planted"; touch "$planted"; planted=""; fi
}

# failed_tests LOG: the tests that ctest's output in LOG names as failed, blank-separated.
failed_tests() {
  sed -n '/tests FAILED:/,$p' "$1" | sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\).*/\1/p' | tr '\n' ' ' | sed 's/ $//'
}

# copy_prefix FROM TO: a Wine prefix copied with no Wine process running; the
# wineserver of the prefix wine_up started comes back. A fault that fails a
# Windows test may leave programs running (one that hangs outlives its test's
# time limit) or a package installed: the next fault starts from a clean copy.
copy_prefix() {
  wineserver -k; wineserver -w
  rm -rf "$2" && cp -a "$1" "$2" && wine_up "$_wine_prefix"
}
