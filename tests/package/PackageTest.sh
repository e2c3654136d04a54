#!/usr/bin/env bash
# One case of the package tests, run by CTest under the Windows suites' Wine prefix:
#   PackageTest.sh CASE PACKAGES VERSION STARTER_INI SIMDRIVER QRTLCTL WINE WORK SHIPPED REMOTE_BUILT
# SHIPPED is the comma-separated list of files both packages hold; REMOTE_BUILT is 1
# when the build has the set-up window QRTLRemote.exe, else 0. Prints
# "package test passed" at the end, "FAILED: ..." on the first fault.
set -uo pipefail
CASE=$1 PACKAGES=$2 VERSION=$3 STARTER=$4 SIMDRIVER=$5 CTL=$6 WINE=$7 WORK=$8
IFS=',' read -r -a SHIPPED <<<"$9"
REMOTE_BUILT=${10}

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
REMOTE_EXE="$QRTL_REMOTE_EXE"
REMOTE_TITLE="$QRTL_REMOTE_CAPTION"
SET_UP_LINK="$QRTL_SET_UP_LINK.lnk"
SET_UP_NOW="Set up the remote now"
# The installer's caption gains a page's subcaption: matched by its start.
INSTALLER_TITLE="$QRTL_PRODUCT $VERSION Installer*"

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

same_as_starter() { cmp -s <(tr -d '\r' <"$1") <(tr -d '\r' <"$STARTER"); }
shipped() { printf '%s\n' "${SHIPPED[@]}" | grep -qx "$1"; }

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

# checked TEXT: is the installer's check box TEXT there, and ticked.
checked() {
  "$WINE" "$CTL" checked "$INSTALLER_TITLE" "$1" >"$CASE_DIR/checked.out" 2>&1 &&
    [ "$(tr -d '\r' <"$CASE_DIR/checked.out")" = 1 ]
}
control_shown() { "$WINE" "$CTL" checked "$INSTALLER_TITLE" "$1" >"$CASE_DIR/checked.out" 2>&1; }

# The installer as an owner runs it, up to its finish page: Next on the folder page,
# Next on the options page (which starts the monitor).
installer_to_finish_page() {
  (cd "$PACKAGES" && exec "$WINE" cmd /c "$SETUP /D=$(winpath "$DIR")" >"$CASE_DIR/installer.out" 2>&1) &
  wine_quiet "$CTL" wait "$INSTALLER_TITLE" 30 || fail "the installer shows no window"
  wine_quiet "$CTL" click "$INSTALLER_TITLE" 1
  until_true 30 control_shown "&Start the monitor now" || fail "no options page"
  wine_quiet "$CTL" click "$INSTALLER_TITLE" 1
  until_true 60 control_shown "$SET_UP_NOW" || fail "no \"$SET_UP_NOW\" on the finish page"
}

case "$CASE" in
FreshInstall_FilesStarterProfileAndShortcuts)
  rm -rf "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/"$MONITOR_TITLE"
  install_pkg
  expected=$(printf '%s\n' "${SHIPPED[@]}" Uninstall.exe "$QRTL_INSTALL_MARKER" | sort)
  actual=$(ls -A "$DIR" | sort)
  [ "$actual" = "$expected" ] || fail "installed files: $(echo $actual), expected: $(echo $expected)"
  same_as_starter "$DIR/$QRTL_PROFILE_NAME" || fail "the installed profile is not the starter"
  for lnk in "$MONITOR_TITLE.lnk" "Trace viewer.lnk" "Uninstall $MONITOR_TITLE.lnk"; do
    [ -f "$(start_menu)/$lnk" ] || fail "no Start menu shortcut $lnk"
  done
  # The set-up window's entry comes with the window.
  if shipped "$REMOTE_EXE"; then
    [ -f "$(start_menu)/$SET_UP_LINK" ] || fail "no Start menu shortcut $SET_UP_LINK"
    grep -aq "$REMOTE_EXE" "$(start_menu)/$SET_UP_LINK" || fail "$SET_UP_LINK does not start $REMOTE_EXE"
  else
    [ ! -e "$(start_menu)/$SET_UP_LINK" ] || fail "$SET_UP_LINK without $REMOTE_EXE"
  fi
  [ "$(reg_value "$UNINST_KEY" DisplayName)" = "$MONITOR_TITLE" ] || fail "DisplayName"
  [ "$(reg_value "$UNINST_KEY" DisplayVersion)" = "$VERSION" ] || fail "DisplayVersion"
  [ "$(reg_value "$UNINST_KEY" InstallLocation)" = "$(winpath "$DIR")" ] || fail "InstallLocation"
  [ "$(reg_value "$UNINST_KEY" UninstallString)" = "\"$(winpath "$DIR")\\Uninstall.exe\"" ] ||
    fail "UninstallString: $(reg_value "$UNINST_KEY" UninstallString)"
  size=$(reg_value "$UNINST_KEY" EstimatedSize) && [ $((size)) -gt 100 ] || fail "EstimatedSize ${size:-}"
  ;;

Reinstall_ChangedProfileKept_StarterBeside)
  install_pkg
  sed -i 's/^Timer=.*/Timer=1234\r/; s/^POWER=.*/POWER=10\r/' "$DIR/$QRTL_PROFILE_NAME"
  # What an earlier version put beside the kept profile.
  cp "$DIR/$QRTL_PROFILE_NAME" "$DIR/$QRTL_SAMPLE_PROFILE_NAME"
  install_pkg
  grep -q '^Timer=1234' "$DIR/$QRTL_PROFILE_NAME" && grep -q '^POWER=10' "$DIR/$QRTL_PROFILE_NAME" ||
    fail "the user's profile was replaced"
  same_as_starter "$DIR/$QRTL_STARTER_PROFILE_NAME" || fail "no starter profile beside the kept profile"
  [ ! -e "$DIR/$QRTL_SAMPLE_PROFILE_NAME" ] || fail "the earlier version's sample stays"
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

# Another copy's monitor holds none of this folder's files: it runs on, and only this
# folder's monitor is closed and started again.
OtherCopysMonitor_LeftRunning_OwnClosedAndStartedAgain)
  install_pkg
  OTHER="$CASE_DIR/Other Copy"
  mkdir -p "$OTHER"
  cp "$DIR/$QRTL_MONITOR_EXE" "$SIMDRIVER" "$OTHER/"
  (cd "$OTHER" && QRDSIM_LOG="$(winpath "$OTHER/simdriver.log")" exec "$WINE" "$QRTL_MONITOR_EXE" \
    >"$CASE_DIR/other.out" 2>&1) &
  OTHER_PID=$!
  until_true 30 grep -q "QRDiI2CInit" "$OTHER/simdriver.log" || fail "the other copy's monitor did not start"
  start_monitor
  install_pkg
  monitor_closed || fail "this folder's monitor was not closed"
  until_true 30 eval '! kill -0 $MONITOR_PID 2>/dev/null' || fail "this folder's monitor did not end"
  kill -0 $OTHER_PID 2>/dev/null || fail "the other copy's monitor was closed"
  ! grep -q "QRDiI2CClose" "$OTHER/simdriver.log" || fail "the other copy's monitor closed its driver"
  until_true 30 eval '[ "$(grep -c QRDiI2CInit "$CASE_DIR/simdriver.log")" -ge 2 ]' ||
    fail "this folder's monitor was not started again"
  ;;

# A folder named outside the code page is taken where the drive keeps short names
# (Wine makes one for every name): the programs reach it through them.
FolderOutsideCodePage_TakenWhereShortNamesReachIt)
  DIR="$CASE_DIR/\u6d4b\u8bd5"
  DIR=$(printf "$DIR")
  install_pkg
  [ -f "$DIR/$QRTL_PROFILE_NAME" ] || fail "no profile in $DIR"
  ;;

SilentUninstall_RemovesAllButProfile)
  install_pkg /AUTORUN
  reg_value "$UNINST_KEY" DisplayName >/dev/null || fail "not registered before the uninstall"
  start_monitor
  # QRTLProfile's backup goes exactly when the profile goes: a silent uninstall keeps both.
  cp "$DIR/$QRTL_PROFILE_NAME" "$DIR/$QRTL_PROFILE_NAME.bak"
  # Copies that killed writers of the set-up tools left behind, of this version and an earlier one.
  echo "[Main]" >"$DIR/qrp0000012A_3.tmp"
  echo "[Main]" >"$DIR/qrp1F.tmp"
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
  # A QRTLIRMoni.exe of its own proves nothing: another program may ship a copy.
  echo "another program's copy" >"$DIR/$QRTL_MONITOR_EXE"
  status=0
  (cd "$PACKAGES" && "$WINE" cmd /c "$SETUP /S /D=$(winpath "$DIR")" >"$OUT" 2>&1) || status=$?
  [ $status -eq 2 ] || fail "the installer took a folder with another program's $QRTL_MONITOR_EXE (status $status)"
  grep -q "another program's readme" "$DIR/README.txt" || fail "the other program's README.txt was replaced"
  grep -q "another program's copy" "$DIR/$QRTL_MONITOR_EXE" || fail "the other program's $QRTL_MONITOR_EXE was replaced"
  # What an uninstall that kept the profile leaves behind, and a driver put there by hand.
  rm -rf "$DIR"
  mkdir -p "$DIR"
  cp "$STARTER" "$DIR/$QRTL_PROFILE_NAME"
  cp "$STARTER" "$DIR/$QRTL_PROFILE_NAME.bak"
  cp "$SIMDRIVER" "$DIR/$QRTL_DRIVER_NT"
  install_pkg
  ;;

EarlierInstall_KnownByUninstallKeyOrMarker)
  install_pkg
  # Known by the Uninstall key alone, as an installation before the marker.
  rm "$DIR/$QRTL_INSTALL_MARKER"
  install_pkg
  [ -f "$DIR/$QRTL_INSTALL_MARKER" ] || fail "an install leaves no marker"
  # Known by the marker alone, as one whose Uninstall key another install changed.
  "$WINE" reg delete "$UNINST_KEY" /v InstallLocation /f >"$OUT" 2>&1 || fail "cannot delete InstallLocation"
  install_pkg
  # Neither: a folder with our files but unknown is another program's.
  "$WINE" reg delete "$UNINST_KEY" /v InstallLocation /f >"$OUT" 2>&1
  rm "$DIR/$QRTL_INSTALL_MARKER"
  status=0
  (cd "$PACKAGES" && "$WINE" cmd /c "$SETUP /S /D=$(winpath "$DIR")" >"$OUT" 2>&1) || status=$?
  [ $status -eq 2 ] || fail "an unknown folder holding $QRTL_MONITOR_EXE was taken (status $status)"
  ;;

AutoRunZero_RemovesOnlyThisInstallationsRunValue)
  delete_run_values
  install_pkg
  other='C:\Other Place\QRTLIRMoni.EXE'
  own="\"$(winpath "$DIR")\\QRTLIRMoni.EXE\""
  "$WINE" reg add "${RUN_KEYS[1]}" /v "$RUN_VALUE" /d "$other" /f >"$OUT" 2>&1 || fail "cannot set the Run value"
  install_pkg /AUTORUN=0
  [ "$(reg_value "${RUN_KEYS[1]}" "$RUN_VALUE")" = "$other" ] ||
    fail "/AUTORUN=0 changed another copy's Run value: $(reg_value "${RUN_KEYS[1]}" "$RUN_VALUE")"
  ! reg_value "${RUN_KEYS[0]}" "$RUN_VALUE" >/dev/null || fail "/AUTORUN=0 wrote a Run value for all users"
  grep -q '^AutoRun=0' "$DIR/$QRTL_PROFILE_NAME" || fail "/AUTORUN=0 did not set the profile's AutoRun to 0"
  # This installation's own value goes, quoted as the monitor writes it.
  "$WINE" reg add "${RUN_KEYS[1]}" /v "$RUN_VALUE" /d "$own" /f >"$OUT" 2>&1 || fail "cannot set the Run value"
  install_pkg /AUTORUN=0
  ! reg_value "${RUN_KEYS[1]}" "$RUN_VALUE" >/dev/null || fail "/AUTORUN=0 left this installation's Run value"
  # The uninstaller leaves another copy's value alone too.
  "$WINE" reg add "${RUN_KEYS[1]}" /v "$RUN_VALUE" /d "$other" /f >"$OUT" 2>&1 || fail "cannot set the Run value"
  (cd "$DIR" && "$WINE" cmd /c "Uninstall.exe /S" >"$OUT" 2>&1) || fail "the uninstaller ended with status $?"
  until_true 60 eval '! reg_value "$UNINST_KEY" DisplayName >/dev/null' || fail "the Uninstall key stays"
  [ "$(reg_value "${RUN_KEYS[1]}" "$RUN_VALUE")" = "$other" ] || fail "the uninstaller removed another copy's Run value"
  delete_run_values
  ;;

RunningTools_ClosedBeforeFilesReplaced)
  install_pkg
  (cd "$DIR" && exec "$WINE" QRTLTrace.exe >"$CASE_DIR/trace.out" 2>&1) &
  wine_quiet "$CTL" wait "$QRTL_TRACE_VIEWER_TITLE" 30 || fail "the trace viewer did not start"
  if shipped "$REMOTE_EXE"; then
    (cd "$DIR" && exec "$WINE" "$REMOTE_EXE" >"$CASE_DIR/remote.out" 2>&1) &
    wine_quiet "$CTL" wait "$REMOTE_TITLE*" 30 || fail "$REMOTE_EXE did not start"
  fi
  install_pkg
  wine_quiet "$CTL" waitgone "$QRTL_TRACE_VIEWER_TITLE" 5 || fail "the trace viewer was not closed"
  ! shipped "$REMOTE_EXE" || wine_quiet "$CTL" waitgone "$REMOTE_TITLE*" 5 || fail "$REMOTE_EXE was not closed"
  ;;

Zip_HoldsShippedFilesOnly)
  [ -f "$ZIP" ] || fail "no $ZIP (build the package target first)"
  top="QRTLIRMoni-$VERSION-win32"
  expected=$(printf "$top/%s\n" "${SHIPPED[@]}" | sort)
  actual=$(cd "$CASE_DIR" && cmake -E tar tf "$ZIP" | grep -v '/$' | sort)
  [ "$actual" = "$expected" ] || fail "zip holds: $(echo $actual), expected: $(echo $expected)"
  (cd "$CASE_DIR" && cmake -E tar xf "$ZIP") || fail "the zip does not unpack"
  same_as_starter "$CASE_DIR/$top/$QRTL_PROFILE_NAME" || fail "the zip's profile is not the starter"
  for exe in "$CASE_DIR/$top"/*.exe; do
    strings -el "$exe" | grep -A1 -x ProductVersion | grep -qx "$VERSION" ||
      fail "$(basename "$exe") does not carry version $VERSION"
  done
  ;;

FinishPage_SetUpNowTickedOnFreshInstallOnly)
  if ! shipped "$REMOTE_EXE"; then
    [ "$REMOTE_BUILT" = 0 ] || fail "$REMOTE_EXE is built but no package holds it: qrtl_ship(QRTLRemote)"
    echo "package test skipped: $REMOTE_EXE is not built"
    exit 0
  fi
  # Beside the monitor, so that no message box about a missing driver waits.
  mkdir -p "$DIR" && cp "$SIMDRIVER" "$DIR/"
  installer_to_finish_page
  checked "$SET_UP_NOW" || fail "\"$SET_UP_NOW\" is not ticked on a fresh install"
  # The whole text shows, not cut off mid-sentence.
  "$WINE" "$CTL" fits "$INSTALLER_TITLE" "$QRTL_PRODUCT is installed" >"$CASE_DIR/fits.out" 2>"$CASE_DIR/fits.err" &&
    [ "$(tr -d '\r' <"$CASE_DIR/fits.out")" = 1 ] ||
    fail "the finish page's text is cut off: $(tr -d '\r' <"$CASE_DIR/fits.err")"
  wine_quiet "$CTL" click "$INSTALLER_TITLE" 1
  wine_quiet "$CTL" wait "$REMOTE_TITLE" 30 || fail "Finish did not start $REMOTE_EXE"
  wine_quiet "$CTL" close "$REMOTE_TITLE"
  wine_quiet "$CTL" waitgone "$REMOTE_TITLE" 30 || fail "$REMOTE_EXE does not close"
  wine_quiet "$CTL" waitgone "$INSTALLER_TITLE" 30 || fail "the installer does not end"

  installer_to_finish_page
  ! checked "$SET_UP_NOW" || fail "\"$SET_UP_NOW\" is ticked on an upgrade"
  wine_quiet "$CTL" click "$INSTALLER_TITLE" 1
  wine_quiet "$CTL" waitgone "$INSTALLER_TITLE" 30 || fail "the installer does not end"
  ! wine_quiet "$CTL" wait "$REMOTE_TITLE" 3 || fail "Finish started $REMOTE_EXE on an upgrade"
  # The options page's "Start with Windows" wrote the Run value.
  delete_run_values
  ;;

*) fail "unknown case $CASE" ;;
esac
echo "package test passed: $CASE"
