#!/usr/bin/env bash
# Installs what is missing, builds Czasomir.exe and starts it under Wine on your display.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$czasomir_root"

ensure_packages cmake make g++-mingw-w64-x86-64-posix wine wine64 imagemagick librsvg2-bin icoutils wixl msitools osslsigncode openssl
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target Czasomir
exe=build/windows/app/Czasomir.exe
echo "Built $exe"
if [ -z "${DISPLAY:-}" ]; then
  echo "No display (DISPLAY is not set): Czasomir.exe was built but cannot be shown here." >&2
  echo "Copy it to a Windows machine, or run this command from a graphical session." >&2
  exit 2
fi
export WINEPREFIX="$czasomir_root/build/windows/wineprefix-run" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
echo "Starting Czasomir under Wine (prefix $WINEPREFIX); czas.dat is kept next to the exe."
exec wine "$exe" "$@"
