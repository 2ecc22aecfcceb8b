#!/usr/bin/env bash
# The setup program end to end in a Wine prefix of its own: a silent install
# for the user (no administrator keys written) or for all users, the files,
# the registry entries and the "Apps & features" entry it leaves, the
# Outlook-like host loading the installed add-in and opening the finder from
# its button, then a silent uninstall that leaves none of it behind, and
# keeps or removes the user's own data as asked.
#
#   setup_test.sh user|all SETUP_EXE BIN_DIR PREFIX WINE_LOADER x86|x64
#
# x86: the 32-bit setup in a 32-bit prefix. x64: the 64-bit setup in a
# 64-bit prefix whose Outlook says it is 64-bit, loaded by the 64-bit host.
set -euo pipefail
scope="$1" setup="$2" bin="$3" prefix="$4" loader="$5" arch="$6"
if [ "$arch" = x64 ]; then winearch=win64 other_arch=x86; else winearch=win32 other_arch=x64; fi
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEARCH="$winearch"

fail() { echo "FAIL: $*" >&2; exit 1; }
# The loader of this bitness itself: the wine wrapper takes the 32-bit one
# whenever it is installed.
wine() { "$loader" "$@"; }
wineboot() { wine wineboot "$@"; }
has_key() { wine reg query "$1" >/dev/null 2>&1; }
value_of() { wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"; }

new_prefix() {
  rm -rf "$prefix"
  mkdir -p "$prefix"
  wineboot -i </dev/null >/dev/null 2>&1 || true
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f >/dev/null 2>&1
  wine reg add 'HKLM\Software\Clients\Mail' /ve /d QuopStandin /f >/dev/null 2>&1
  wine reg add 'HKLM\Software\Clients\Mail\QuopStandin' /v DLLPathEx /d QuopStandin.dll /f >/dev/null 2>&1
  if [ "$arch" = x64 ]; then
    # What a 64-bit Office writes for its Outlook.
    wine reg add 'HKLM\Software\Microsoft\Office\16.0\Outlook' /v Bitness /d x64 /f >/dev/null 2>&1
  fi
  # The desktop came up with the default driver: it starts again with none.
  wineserver -k || true
  touch "$prefix/.quop-setup-2"
}

if [ "$scope" = all ]; then
  root=HKLM other=HKCU args=(/ALLUSERS) folder="$prefix/drive_c/Program Files/Quop Twinsweeps"
else
  root=HKCU other=HKLM args=() folder=""
fi
addin='Software\Microsoft\Office\Outlook\Addins\QuopDuplicate.AddIn'
progid='Software\Classes\QuopDuplicate.AddIn'
uninstall='Software\Microsoft\Windows\CurrentVersion\Uninstall\QuopTwinsweeps'

# A prefix left with an earlier run's traces starts afresh.
[ -f "$prefix/.quop-setup-2" ] || new_prefix
if has_key "HKCU\\$addin" || has_key "HKLM\\$addin" || has_key "HKCU\\$uninstall" || has_key "HKLM\\$uninstall"; then
  new_prefix
fi

wine "$setup" /S "${args[@]}" || fail "the setup ended with exit code $?"
[ -n "$folder" ] || folder="$(find "$prefix/drive_c/users" -maxdepth 5 -type d -path '*/AppData/Local/Programs/Quop Twinsweeps' | head -1)"
[ -n "$folder" ] || fail "no installation folder under the user's AppData\\Local\\Programs"
for f in "$arch/QuopDuplicate.dll" "$arch/QuopDB.dll" Uninstall.exe; do
  [ -f "$folder/$f" ] || fail "$f is not in $folder"
done
[ -e "$folder/$other_arch" ] && fail "$folder/$other_arch was installed for an Outlook of the other bitness"

[ "$(value_of "$root\\$addin" LoadBehavior)" = 0x3 ] || fail "$root\\$addin has no LoadBehavior 3"
has_key "$root\\$progid\\CLSID" || fail "$root\\$progid\\CLSID is missing"
has_key "$other\\$addin" && fail "$other\\$addin was written by a $scope install"
has_key "$other\\$progid" && fail "$other\\$progid was written by a $scope install"
value_of "$root\\$uninstall" UninstallString | grep -q 'Uninstall.exe' || fail "no uninstall entry under $root"

wine "$bin/installed_addin_check.exe" || fail "the host did not load the installed add-in or open its window"
data="$(find "$prefix/drive_c/users" -maxdepth 6 -type d -path '*/AppData/Roaming/Quop/Ruveruder' | head -1)"
[ -n "$data" ] || fail "the finder window left no user data folder"

# The all-users run also asks for the user's data to go.
if [ "$scope" = all ]; then args+=(/REMOVEUSERDATA); fi
wine "$folder/Uninstall.exe" /S "${args[@]}" || fail "the uninstaller ended with exit code $?"
# The uninstaller runs on from a copy of itself in the temporary folder.
for _ in $(seq 150); do [ -e "$folder" ] || break; sleep 0.2; done
[ -e "$folder" ] && fail "$folder is still there: $(find "$folder" | tr '\n' ' ')"
for key in "$addin" "$progid" "$uninstall"; do
  has_key "$root\\$key" && fail "$root\\$key is still there after the uninstall"
done
if [ "$scope" = all ]; then
  [ -e "$data" ] && fail "the user's data stayed though /REMOVEUSERDATA asked it gone"
else
  [ -d "$data" ] || fail "the user's data went though nobody asked"
fi
echo "setup $scope: installed, loaded, opened and uninstalled"
