#!/usr/bin/env bash
# Czasomir.exe /auto on a Wine virtual desktop with its taskbar (a desktop named
# "shell" gets one): a picture of the notification area, taken from the X
# display, as <build>/screenshots/tray.png and tray-icon.png (enlarged). The
# icon must show, and the program closed from the desktop must have saved.
#   tools/common.sh: xvfb_up; wine_up <prefix>; then: tray_screenshot.sh build/windows
set -euo pipefail
build=$(cd "${1:?usage: tray_screenshot.sh <build dir>}" && pwd)
shots="$build/screenshots" work=$(mktemp -d /tmp/czasomir-tray.XXXXXX) desktop_pid=""
trap '[ -z "$desktop_pid" ] || kill "$desktop_pid" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$shots" "$work/Czasomir"
cp "$build/app/Czasomir.exe" "$work/Czasomir/"
printf '3725\r\n' >"$work/Czasomir/czas.dat"
desktop=(wine explorer /desktop=shell,800x600)
# Output to a file, never a pipe: the programs would keep it open.
"${desktop[@]}" "Z:$(tr / '\\' <<<"$work/Czasomir/Czasomir.exe")" /auto </dev/null >"$work/log" 2>&1 &
desktop_pid=$!
tray="40x20+760+580"  # the right end of the taskbar
for _ in $(seq 1 60); do
  [ "$(import -window root -crop "$tray" +repage -format '%k' info: 2>/dev/null || echo 0)" -gt 3 ] && break
  sleep 0.2
done
sleep 0.5
import -window root -crop 800x600+0+0 +repage "$shots/tray.png"
convert "$shots/tray.png" -crop "$tray" +repage -scale 800% "$shots/tray-icon.png"
"${desktop[@]}" taskkill /im Czasomir.exe </dev/null >>"$work/log" 2>&1 || true  # from the same desktop
for _ in $(seq 1 100); do kill -0 "$desktop_pid" 2>/dev/null || break; sleep 0.1; done
colours=$(convert "$shots/tray-icon.png" -format '%k' info:)
saved=$(tr -d '\r\n' <"$work/Czasomir/czas.dat")
[ "$colours" -gt 3 ] || { echo "no icon appeared in the notification area" >&2; exit 1; }
[[ "$saved" =~ ^[0-9]+$ ]] && [ "$saved" -ge 3725 ] || { echo "czas.dat holds \"$saved\" after closing" >&2; exit 1; }
echo "Screenshot: $shots/tray.png"
