#!/usr/bin/env bash
# Czasomir.exe /auto on a Wine virtual desktop with its taskbar: a picture of
# the stopwatch in the notification area, taken from the X display, as
# <build>/screenshots/tray.png (and tray-icon.png, the notification area
# enlarged). Then the program is closed through a close message and must have
# saved its total.
#
#   tools/common.sh: xvfb_up; wine_up <prefix>    (DISPLAY and WINEPREFIX set)
#   tests/e2e_tray/tray_screenshot.sh build/windows
#
# Wine's explorer gives a virtual desktop a taskbar (Start button, window
# buttons, notification area) when the desktop is named "shell", or when
# HKCU\Software\Wine\Explorer\Desktops\<name> holds the DWORD EnableShell=1.
set -euo pipefail

build=$(cd "${1:?usage: tray_screenshot.sh <build dir>}" && pwd)
: "${DISPLAY:?no X display: run xvfb_up first}" "${WINEPREFIX:?no Wine prefix: run wine_up first}"
exe="$build/app/Czasomir.exe"
[ -f "$exe" ] || { echo "no $exe: build the Czasomir target first" >&2; exit 1; }
shots="$build/screenshots"
mkdir -p "$shots"

work=$(mktemp -d /tmp/czasomir-tray.XXXXXX)
desktop_pid=""
cleanup() {
  if [ -n "$desktop_pid" ] && kill -0 "$desktop_pid" 2>/dev/null; then kill "$desktop_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

mkdir "$work/Czasomir"
cp "$exe" "$work/Czasomir/Czasomir.exe"
printf '3725\r\n' >"$work/Czasomir/czas.dat"
winexe="Z:$(printf '%s' "$work/Czasomir/Czasomir.exe" | tr / '\\')"

width=800 height=600
# Output to a file, never a pipe: the programs would keep it open.
wine explorer "/desktop=shell,${width}x${height}" "$winexe" /auto </dev/null >"$work/explorer.log" 2>&1 &
desktop_pid=$!

for _ in $(seq 1 100); do
  xwininfo -name "shell - Wine desktop" >/dev/null 2>&1 && break
  sleep 0.1
done
xwininfo -name "shell - Wine desktop" >/dev/null 2>&1 || { echo "the virtual desktop did not appear" >&2; exit 1; }

# The notification area: the right end of the taskbar, the last 20 pixels of the desktop.
tray_crop="40x20+$((width - 40))+$((height - 20))"
icon_shown=""
for _ in $(seq 1 50); do
  colours=$(import -window root -crop "$tray_crop" +repage -format '%k' info: 2>/dev/null || echo 0)
  if [ "${colours:-0}" -gt 3 ]; then icon_shown=1; break; fi
  sleep 0.2
done
sleep 0.5  # let the taskbar finish painting
import -window root -crop "${width}x${height}+0+0" +repage "$shots/tray.png"
convert "$shots/tray.png" -crop "$tray_crop" +repage -scale 800% "$shots/tray-icon.png"
echo "Screenshot: $shots/tray.png (notification area enlarged: $shots/tray-icon.png)"

# The close message has to come from a program on the same desktop.
wine explorer "/desktop=shell,${width}x${height}" taskkill /im Czasomir.exe </dev/null >>"$work/explorer.log" 2>&1 || true
for _ in $(seq 1 100); do
  kill -0 "$desktop_pid" 2>/dev/null || break
  sleep 0.1
done

saved=$(tr -d '\r\n' <"$work/Czasomir/czas.dat")
status=0
[ -n "$icon_shown" ] || { echo "no icon appeared in the notification area" >&2; status=1; }
if ! [[ "$saved" =~ ^[0-9]+$ ]] || [ "$saved" -lt 3725 ]; then
  echo "czas.dat after closing holds \"$saved\", not the total" >&2
  status=1
fi
exit $status
