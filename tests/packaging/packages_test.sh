#!/usr/bin/env bash
# The installer packages of each kind: their tables as msiinfo reads them and
# their signing (tables), and under Wine (wine) msiexec installing an older
# version with AUTOSTART=1, the copy counting, the update keeping the data,
# the older one refused and the removal taking the program and its autostart
# but not the data.
#   packages_test.sh tables|wine PACKAGES_DIR VERSION
set -uo pipefail
mode=$1 dir=$(realpath "$2") version=$3
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$dir/test-$mode && rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
failed=0
fail() { echo "FAIL: $*"; failed=1; }
msi() { echo "$1/Czasomir-$2-x64$([ "$3" = user ] && echo -uzytkownik).msi"; }
# Packages of another version, made as the build makes them (signed when a certificate is given).
make_set() { bash "$root/tools/make-packages.sh" "$dir/staging/Czasomir.exe" "$dir/staging/czasomir.ico" "$1" Czasomir "$2" >/dev/null; }

# kind|table|the start of a row (columns joined by |). (Where each kind installs, for every
# user or one, its version, the update taking the older version away and the launch condition
# refusing an older one: the run under Wine.)
rows="both|Property|ARPPRODUCTICON|czasomir.ico
both|Property|ARPNOMODIFY|1
both|Shortcut|StartMenu|ProgramMenuFolder|Czasomir|Program|[#CzasomirExe]||||czasomir.ico|||INSTALLDIR|
both|InstallExecuteSequence|RemoveExistingProducts||1501
both|InstallExecuteSequence|UnregisterAutostart|REMOVE=\"ALL\" AND NOT UPGRADINGPRODUCTCODE|3499
both|InstallExecuteSequence|RegisterAutostart|AUTOSTART=\"1\" AND NOT REMOVE|6599
machine|Component|Program|{A8CA2E89-1982-428B-9634-A1D9B4F94FBB}|INSTALLDIR|256||CzasomirExe
machine|Upgrade|{9A007739-62EE-4162-BFDB-D840B48F065D}|$version|||2||NEWERFOUND
machine|CustomAction|UnregisterAutostart|3154|CzasomirExe|/autostart:uninstall|
machine|CustomAction|RegisterAutostart|3154|CzasomirExe|/autostart:install|
user|Component|Program|{104B8599-DF1D-411D-9AC3-A0BA4CA177C8}|INSTALLDIR|256||CzasomirExe
user|Upgrade|{804A6DC9-6525-45D0-AC75-4F5845090FDD}|$version|||2||NEWERFOUND
user|CustomAction|UnregisterAutostart|1106|CzasomirExe|/autostart:uninstall|
user|CustomAction|RegisterAutostart|1106|CzasomirExe|/autostart:install|"

tables() {
  local kind package
  for kind in machine user; do
    package=$(msi "$dir" "$version" $kind)
    while IFS='|' read -r k table row; do
      [ "$k" = both ] || [ "$k" = $kind ] || continue
      local found=0 line
      while IFS= read -r line; do [[ "${line//$'\t'/|}" == "$row"* ]] && found=1; done < <(msiinfo export "$package" "$table")
      [ "$found" = 1 ] || fail "$kind: $table: $row"
    done <<<"$rows"
    for table in $(msiinfo tables "$package") _SummaryInformation; do
      { [ "$table" = _SummaryInformation ] && msiinfo suminfo "$package" || msiinfo export "$package" "$table"; } >texts
      LC_ALL=C grep -q '[^[:print:][:space:]]' texts && fail "$kind: $table holds a text that is not ASCII"
    done
    osslsigncode verify -in "$package" >/dev/null 2>&1 && fail "$kind: signed without a certificate"
  done
  # Signed with a throw-away certificate: both packages and the exe packed in them.
  openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 -subj /CN=Czasomir-test 2>/dev/null &&
    openssl pkcs12 -export -inkey key.pem -in cert.pem -out cert.pfx -passout pass:tajne || fail "no certificate"
  CZASOMIR_SIGN_PFX=$PWD/cert.pfx CZASOMIR_SIGN_PASSWORD=tajne make_set "$version" signed || fail "signing"
  for kind in machine user; do
    mkdir -p "files-$kind" && msiextract -C "files-$kind" "$(msi signed "$version" $kind)" >/dev/null
    for f in "$(msi signed "$version" $kind)" "$(find "files-$kind" -name Czasomir.exe)"; do
      osslsigncode verify -CAfile cert.pem -in "$f" >/dev/null 2>&1 || fail "$kind: $f is not signed"
    done
  done
}

# msiexec's exit code as Windows gives it.
msiexec() {
  wine cmd /c "msiexec $1 $(winepath -w "$2") /qn ${3:-} & echo %errorlevel% > rc.txt" </dev/null >/dev/null 2>&1
  tr -d ' \r\n' <rc.txt
}
value() { wine reg query "$1" /v "$2" </dev/null >value.txt 2>&1 && sed -n "s/^ *$2 *REG_[A-Z]* *//p" value.txt | tr -d '\r'; }
total() { cat "$(find "$prog" "$localappdata/Czasomir" -name czas.dat 2>/dev/null | head -n 1)" 2>/dev/null; }

installs() {
  local kind=$1 run=$2 older=0.9.0 appdata=$WINEPREFIX/drive_c/users/$(id -un)/AppData
  localappdata=$appdata/Local
  prog=$WINEPREFIX/drive_c/Program\ Files/Czasomir
  [ $kind = user ] && prog=$localappdata/Programs/Czasomir
  rm -rf "$localappdata/Czasomir"  # no other copy's data where this one's may go
  local lnk="$appdata/Roaming/Microsoft/Windows/Start Menu/Programs/Czasomir.lnk"  # Wine's ProgramMenuFolder for both
  local command="\"$(winepath -w "$prog")\\Czasomir.exe\" /auto" runKey="$run\\Software\\Microsoft\\Windows\\CurrentVersion"
  local entry="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$(msiinfo export "$(msi "$dir" "$version" $kind)" Property | sed -n 's/^ProductCode\t//p' | tr -d '\r')"
  make_set $older older
  [ "$(msiexec /i "$(msi older $older $kind)" AUTOSTART=1)" = 0 ] || fail "$kind: the older version does not install"
  [ -f "$prog/Czasomir.exe" ] && [ -f "$lnk" ] || fail "$kind: no exe or shortcut"
  [ "$(value "$runKey\\Run" CzasomirKR)" = "$command" ] || fail "$kind: AUTOSTART=1 did not register under $run"
  wine "$prog/Czasomir.exe" /auto </dev/null >/dev/null 2>&1 &
  sleep 4; wine taskkill /im Czasomir.exe </dev/null >/dev/null 2>&1; wait
  local counted; counted=$(total)
  [ "${counted%$'\r'}" -ge 2 ] 2>/dev/null || fail "$kind: the installed copy did not count ($counted)"
  [ "$(msiexec /i "$(msi "$dir" "$version" $kind)" AUTOSTART=1)" = 0 ] || fail "$kind: the update does not install"
  [ "$(value "$entry" DisplayVersion)" = "$version" ] && [ "$(total)" = "$counted" ] || fail "$kind: not updated ($(value "$entry" DisplayVersion)), or the data changed ($counted, now $(total))"
  [ "$(msiexec /i "$(msi older $older $kind)")" = 1603 ] || fail "$kind: the older version was not refused"
  [ "$(value "$entry" DisplayVersion)" = "$version" ] || fail "$kind: the older version replaced the newer"
  wine reg add "$runKey\\Explorer\\StartupApproved\\Run" /v CzasomirKR /t REG_BINARY /d 030000000000000000000000 /f </dev/null >/dev/null 2>&1
  [ "$(msiexec /x "$(msi "$dir" "$version" $kind)")" = 0 ] || fail "$kind: the removal failed"
  [ ! -e "$prog/Czasomir.exe" ] && [ ! -e "$lnk" ] && ! value "$entry" DisplayVersion >/dev/null || fail "$kind: exe, shortcut or entry left"
  for key in Run Explorer\\StartupApproved\\Run; do
    ! value "$runKey\\$key" CzasomirKR >/dev/null || fail "$kind: $run's $key value left"
  done
  [ "$(total)" = "$counted" ] || fail "$kind: the data did not stay"
  rm -rf "$prog" "$localappdata/Czasomir"
}

case $mode in
  tables) tables ;;
  wine) installs machine HKLM; installs user HKCU ;;
esac
exit $failed
