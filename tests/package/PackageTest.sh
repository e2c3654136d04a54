#!/usr/bin/env bash
# One case of the package tests, run by CTest under the Windows suites' Wine prefix:
#   PackageTest.sh CASE PACKAGES VERSION SAMPLE_INI SIMDRIVER QRTLCTL WINE WORK SHIPPED
# SHIPPED is the comma-separated list of files both packages hold. Prints
# "package test passed" at the end, "FAILED: ..." on the first fault.
set -uo pipefail
CASE=$1 PACKAGES=$2 VERSION=$3 SAMPLE=$4 SIMDRIVER=$5 CTL=$6 WINE=$7 WORK=$8
IFS=',' read -r -a SHIPPED <<<"$9"

SETUP="QRTLIRMoni-$VERSION-setup.exe"
ZIP="$PACKAGES/QRTLIRMoni-$VERSION-win32.zip"
UNINST_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\QRTLIRMoni'
export WINEPREFIX="${WINEPREFIX:-$(dirname "$PACKAGES")/wineprefix}"
# Shortcuts must not turn into menu entries of the machine running the tests.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=};winemenubuilder.exe=d"
# The product's facts and close_monitor; QRTLCtl is the one given above.
source "$(dirname "$0")/../../scripts/wine-env.sh"
RUN_KEYS=("HKLM\\$QRTL_RUN_KEY" "HKCU\\$QRTL_RUN_KEY")
RUN_VALUE="$QRTL_RUN_VALUE"
MONITOR_TITLE="$QRTL_MONITOR_CAPTION"

# A blank in the folder, as in "C:\Documents and Settings\...".
CASE_DIR="$WORK/$CASE"
DIR="$CASE_DIR/Install Dir"
rm -rf "$CASE_DIR"
mkdir -p "$CASE_DIR"
OUT="$CASE_DIR/wine.out"

fail() { echo "FAILED: $*"; exit 1; }
# Wine's output goes to files: its helper processes hold pipes open.
wine_quiet() { "$WINE" "$@" >"$OUT" 2>&1; }

ctl() { wine_quiet "$CTL" "$@"; }
close_monitors() {
  local i
  for i in 1 2 3 4 5; do
    close_monitor 10
    [ $? -ne 1 ] || return 0  # no monitor (left) runs
  done
}
# Only the cases that hold the desktop lock (every one but the zip's, see
# CMakeLists.txt) may close monitors on their way out: the zip case runs beside the
# other Windows suites, and the monitor it would find by its caption is theirs.
[[ $CASE == Zip_* ]] || trap close_monitors EXIT

# /D= must come last and unquoted, blanks and all: only cmd passes it on so.
install_pkg() {
  [ -f "$PACKAGES/$SETUP" ] || fail "no $PACKAGES/$SETUP (build the package target first)"
  (cd "$PACKAGES" && "$WINE" cmd /c "$SETUP /S $* /D=$(winpath "$DIR")" >"$OUT" 2>&1) ||
    fail "the installer ended with status $?"
  [ -f "$DIR/$QRTL_MONITOR_EXE" ] || fail "nothing installed in $DIR"
}

# reg_value KEY NAME: prints the value's data, fails quietly when there is none.
reg_value() {
  "$WINE" reg query "$1" /v "$2" >"$CASE_DIR/reg.out" 2>&1 || return 1
  tr -d '\r' <"$CASE_DIR/reg.out" | sed -n "s/^    $2    REG_[A-Z_]*    //p" | grep .
}

delete_run_values() {
  for key in "${RUN_KEYS[@]}"; do "$WINE" reg delete "$key" /v "$RUN_VALUE" /f >"$OUT" 2>&1; done
}

same_as_sample() { cmp -s <(tr -d '\r' <"$1") <(tr -d '\r' <"$SAMPLE"); }

# The user's Start menu folder of the installer's shortcuts.
start_menu() {
  local programs=("$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs)
  [ -d "${programs[0]}" ] || fail "no Start menu in $WINEPREFIX"
  printf '%s/%s' "${programs[0]}" "$MONITOR_TITLE"
}

# The simulated driver in this test's folder only, so that a monitor runs there; its
# log outside, where the monitors the installer starts write too.
export QRDSIM_LOG="$(winpath "$CASE_DIR/simdriver.log")"
start_monitor() {
  cp "$SIMDRIVER" "$DIR/"
  (cd "$DIR" && exec "$WINE" "$QRTL_MONITOR_EXE" >"$CASE_DIR/monitor.out" 2>&1) &
  MONITOR_PID=$!
  wine_quiet "$CTL" wait "$MONITOR_TITLE" 30 || fail "the monitor did not start"
}
monitor_closed() { until_true 30 grep -q "QRDiI2CClose" "$CASE_DIR/simdriver.log"; }

# until_true SECONDS COMMAND...: a bound, not a speed target.
until_true() {
  local n=$(( $1 * 10 )); shift
  while ! "$@"; do n=$(( n - 1 )); [ $n -gt 0 ] || return 1; sleep 0.1; done
}

case "$CASE" in
FreshInstall_FilesAndProfileFromSample)
  rm -rf "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/"$MONITOR_TITLE"
  install_pkg
  expected=$(printf '%s\n' "${SHIPPED[@]}" Uninstall.exe | sort)
  actual=$(ls -A "$DIR" | sort)
  [ "$actual" = "$expected" ] || fail "installed files: $(echo $actual), expected: $(echo $expected)"
  same_as_sample "$DIR/$QRTL_PROFILE_NAME" || fail "the installed profile is not the sample"
  for lnk in "$MONITOR_TITLE.lnk" "Trace viewer.lnk" "Uninstall $MONITOR_TITLE.lnk"; do
    [ -f "$(start_menu)/$lnk" ] || fail "no Start menu shortcut $lnk"
  done
  [ "$(reg_value "$UNINST_KEY" DisplayName)" = "$MONITOR_TITLE" ] || fail "DisplayName"
  [ "$(reg_value "$UNINST_KEY" DisplayVersion)" = "$VERSION" ] || fail "DisplayVersion"
  [ "$(reg_value "$UNINST_KEY" InstallLocation)" = "$(winpath "$DIR")" ] || fail "InstallLocation"
  [ "$(reg_value "$UNINST_KEY" UninstallString)" = "\"$(winpath "$DIR")\\Uninstall.exe\"" ] ||
    fail "UninstallString: $(reg_value "$UNINST_KEY" UninstallString)"
  size=$(reg_value "$UNINST_KEY" EstimatedSize) && [ $((size)) -gt 100 ] || fail "EstimatedSize ${size:-}"
  ;;

Reinstall_ChangedProfileKept_SampleBeside)
  install_pkg
  sed -i 's/^Timer=.*/Timer=1234\r/' "$DIR/$QRTL_PROFILE_NAME"
  install_pkg
  grep -q '^Timer=1234' "$DIR/$QRTL_PROFILE_NAME" || fail "the user's profile was replaced"
  same_as_sample "$DIR/$QRTL_SAMPLE_PROFILE_NAME" || fail "no sample beside the kept profile"
  ;;

AutoRunOption_RunValueNamesInstalledMonitorQuoted)
  delete_run_values
  install_pkg /AUTORUN
  want="\"$(winpath "$DIR")\\QRTLIRMoni.EXE\""
  found=0
  for key in "${RUN_KEYS[@]}"; do
    if got=$(reg_value "$key" "$RUN_VALUE"); then
      [ "$got" = "$want" ] || fail "Run value in $key: $got, expected: $want"
      found=$(( found + 1 ))
    fi
  done
  delete_run_values
  [ $found -eq 1 ] || fail "the Run value is in $found keys, expected one"
  grep -q '^AutoRun=1' "$DIR/$QRTL_PROFILE_NAME" || fail "the profile's AutoRun is not 1"
  ;;

RunningMonitor_ClosedAndStartedAgain)
  install_pkg
  start_monitor
  install_pkg
  # Closed through "Close": its loop ended and it closed the driver, then its process ended.
  monitor_closed || fail "the running monitor was not closed"
  until_true 30 eval '! kill -0 $MONITOR_PID 2>/dev/null' || fail "the first monitor's process did not end"
  wine_quiet "$CTL" wait "$MONITOR_TITLE" 30 || fail "the monitor was not started again"
  pids=$(sed -n 's/^.*pid=\([0-9]*\) QRDiI2CInit().*$/\1/p' "$CASE_DIR/simdriver.log" | sort -u | wc -l)
  [ "$pids" -eq 2 ] || fail "driver opened by $pids processes, expected two"
  ;;

SilentUninstall_RemovesAllButProfile)
  install_pkg /AUTORUN
  reg_value "$UNINST_KEY" DisplayName >/dev/null || fail "not registered before the uninstall"
  start_monitor
  # QRTLProfile's backup goes exactly when the profile goes: a silent uninstall keeps both.
  cp "$DIR/$QRTL_PROFILE_NAME" "$DIR/$QRTL_PROFILE_NAME.bak"
  (cd "$DIR" && "$WINE" cmd /c "Uninstall.exe /S" >"$OUT" 2>&1) || fail "the uninstaller ended with status $?"
  # The uninstaller runs on from a copy in the temporary folder.
  until_true 60 eval '! reg_value "$UNINST_KEY" DisplayName >/dev/null' || fail "the Uninstall key stays"
  monitor_closed || fail "the running monitor was not closed"
  # The driver copied in by hand is not the uninstaller's to delete.
  until_true 30 eval '[ "$(ls -A "$DIR" | tr "\n" " ")" = "$QRTL_DRIVER_NT $QRTL_PROFILE_NAME $QRTL_PROFILE_NAME.bak " ]' ||
    fail "left in the folder: $(ls -A "$DIR" | tr '\n' ' ')"
  [ ! -e "$(start_menu)" ] || fail "the Start menu folder stays"
  for key in "${RUN_KEYS[@]}"; do
    ! reg_value "$key" "$RUN_VALUE" >/dev/null || fail "the Run value stays in $key"
  done
  ;;

InteractiveUninstall_ProfileNotKept_BackupGoesWithIt)
  install_pkg
  cp "$DIR/$QRTL_PROFILE_NAME" "$DIR/$QRTL_PROFILE_NAME.bak"
  # The question whether to keep the profile has the uninstaller's caption; its
  # window has the caption and a blank.
  caption="$MONITOR_TITLE $VERSION Uninstaller"
  (cd "$DIR" && exec "$WINE" Uninstall.exe >"$CASE_DIR/uninstall.out" 2>&1) &
  wine_quiet "$CTL" wait "$caption " 30 || fail "no uninstaller window"
  wine_quiet "$CTL" click "$caption " 1 || fail "the Uninstall button cannot be pressed"
  until_true 30 wine_quiet "$CTL" click "$caption" 7 || fail "no question whether to keep the profile"
  until_true 30 eval '[ ! -e "$DIR" ]' || fail "left in the folder: $(ls -A "$DIR" | tr '\n' ' ')"
  wine_quiet "$CTL" click "$caption " 1
  ;;

ForeignFolder_RefusedUntouched_OwnLeftoversTaken)
  mkdir -p "$DIR"
  echo "another program's readme" >"$DIR/README.txt"
  echo "another program's uninstaller" >"$DIR/Uninstall.exe"
  status=0
  (cd "$PACKAGES" && "$WINE" cmd /c "$SETUP /S /D=$(winpath "$DIR")" >"$OUT" 2>&1) || status=$?
  [ $status -ne 0 ] || fail "the installer took a folder of another program with status 0"
  [ ! -e "$DIR/$QRTL_MONITOR_EXE" ] || fail "installed into a folder of another program"
  grep -q "another program's readme" "$DIR/README.txt" || fail "the other program's README.txt was replaced"
  grep -q "another program's uninstaller" "$DIR/Uninstall.exe" || fail "the other program's Uninstall.exe was replaced"
  # What an uninstall that kept the profile leaves behind, and a driver put there by hand.
  rm -rf "$DIR"
  mkdir -p "$DIR"
  cp "$SAMPLE" "$DIR/$QRTL_PROFILE_NAME"
  cp "$SAMPLE" "$DIR/$QRTL_PROFILE_NAME.bak"
  cp "$SIMDRIVER" "$DIR/$QRTL_DRIVER_NT"
  install_pkg
  ;;

Zip_HoldsShippedFilesOnly)
  [ -f "$ZIP" ] || fail "no $ZIP (build the package target first)"
  top="QRTLIRMoni-$VERSION-win32"
  expected=$(printf "$top/%s\n" "${SHIPPED[@]}" | sort)
  actual=$(cd "$CASE_DIR" && cmake -E tar tf "$ZIP" | grep -v '/$' | sort)
  [ "$actual" = "$expected" ] || fail "zip holds: $(echo $actual), expected: $(echo $expected)"
  (cd "$CASE_DIR" && cmake -E tar xf "$ZIP") || fail "the zip does not unpack"
  same_as_sample "$CASE_DIR/$top/$QRTL_PROFILE_NAME" || fail "the zip's profile is not the sample"
  for exe in "$CASE_DIR/$top"/*.exe; do
    strings -el "$exe" | grep -A1 -x ProductVersion | grep -qx "$VERSION" ||
      fail "$(basename "$exe") does not carry version $VERSION"
  done
  ;;

*) fail "unknown case $CASE" ;;
esac
echo "package test passed: $CASE"
