#!/usr/bin/env bash
# Makes both Windows Installer packages with wixl (msitools) from one source,
# packaging/czasomir.wxs, into OUT_DIR:
#   Czasomir-<version>-x64.msi             every user, C:\Program Files\Czasomir
#   Czasomir-<version>-x64-uzytkownik.msi  the current user, %LOCALAPPDATA%\Programs\Czasomir
# The exe is copied and signed (tools/sign.sh: only when a certificate is
# given) before it is packed, then each package is signed.
#   bash tools/make-packages.sh EXE ICON VERSION MANUFACTURER OUT_DIR
set -euo pipefail
[ $# -eq 5 ] || { echo "usage: $0 EXE ICON VERSION MANUFACTURER OUT_DIR" >&2; exit 2; }
exe=$(realpath "$1") icon=$(realpath "$2") version=$3 manufacturer=$4 out=$5
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# wixl stops at any letter outside ASCII.
if LC_ALL=C grep -q '[^ -~]' <<<"$manufacturer$version"; then
  echo "make-packages: the manufacturer and the version must be ASCII" >&2; exit 1
fi
mkdir -p "$out/staging"
cd "$out/staging"  # wixl finds the files named in the source from here
cp -f "$exe" Czasomir.exe && cp -f "$icon" czasomir.ico
bash "$root/tools/sign.sh" Czasomir.exe
for kind in perMachine:Czasomir-$version-x64.msi perUser:Czasomir-$version-x64-uzytkownik.msi; do
  msi=../${kind#*:}
  wixl -a x64 -D Scope="${kind%%:*}" -D Version="$version" -D Manufacturer="$manufacturer" \
    -D Exe=Czasomir.exe -D Icon=czasomir.ico -o "$msi" "$root/packaging/czasomir.wxs"
  bash "$root/tools/sign.sh" "$msi"
done
