#!/usr/bin/env bash
# The installed game, used the way a player uses it.
#
#   install_test.sh <build dir> <source dir>
#
# Installs the already-built tree into a temporary prefix, checks the layout a desktop
# expects (program and assets together, bin/ link, launcher entry, metainfo, icon), then
# starts the INSTALLED program under a private Xvfb display as a user who cannot write to
# the program's directory, changes the player's name through the real menu and dialogs
# with xdotool, and expects Name.dat in the per-user data directory and nothing new in the
# installation. As root the game runs as `nobody` (through setpriv); otherwise the program
# directory is made read-only for the run.
#
# There is no window manager on the display: windows are found by their titles and the
# keys go to whichever window Qt gave the input focus, which is the newest dialog.
set -euo pipefail

if (($# != 2)); then
  echo "usage: $0 <build dir> <source dir>" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
src=$(cd "$2" && pwd)

readonly APP_ID=org.vantrick.Vantrick
readonly NEW_NAME=Tester
readonly WAVS=(CardDeal1.wav RIFFLE.wav CardDown.wav ringout.wav)

tmp=
xvfb_pid=
DISPLAY=
game_pid=
failed=0

fail() {
  echo "install_smoke: FAIL: $*" >&2
  failed=1
  exit 1
}

note() { echo "install_smoke: $*"; }

# The last look at the screen and the game's own output, for whoever reads a failure.
explain_failure() {
  # Only our own display: never a picture of the screen of whoever runs the test.
  if [[ -n "$xvfb_pid" && -n "${DISPLAY:-}" ]] && command -v import >/dev/null; then
    local shot="$build/Testing/Temporary/install_smoke_failure.png"
    mkdir -p "${shot%/*}"
    if timeout 10 import -window root "$shot" 2>/dev/null; then
      echo "install_smoke: screen at the failure: $shot" >&2
    fi
  fi
  if [[ -n "$tmp" && -s "$tmp/game.log" ]]; then
    echo "install_smoke: the game's output:" >&2
    tail -n 40 "$tmp/game.log" | sed 's/^/    /' >&2
  fi
}

stop() { # pid: TERM, then KILL if it has not gone within 3 s
  local pid=$1 i
  kill -0 "$pid" 2>/dev/null || return 0
  kill -TERM "$pid" 2>/dev/null || true
  for ((i = 0; i < 30; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

cleanup() {
  local rc=$?
  trap - EXIT INT TERM
  if ((rc != 0 || failed)); then explain_failure; fi
  [[ -n "$game_pid" ]] && stop "$game_pid"
  [[ -n "$xvfb_pid" ]] && stop "$xvfb_pid"
  if [[ -n "$tmp" && -d "$tmp" ]]; then
    chmod -R u+w "$tmp" 2>/dev/null || true
    rm -rf "$tmp"
  fi
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

for tool in Xvfb xdotool timeout; do
  command -v "$tool" >/dev/null || fail "'$tool' is not installed (scripts/deps.sh installs it)"
done
[[ -f "$build/CMakeCache.txt" ]] || fail "$build is not a configured build directory"

# ---------------------------------------------------------------------------------------
# Install.

tmp=$(mktemp -d /tmp/vantrick-install.XXXXXX)
chmod 755 "$tmp" # the player account must reach the prefix below it
prefix="$tmp/prefix"

if ! timeout 60 cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1; then
  sed 's/^/    /' "$tmp/install.log" >&2
  fail "cmake --install $build failed (output above; is the vantrick target built?)"
fi

# The directories as this build configured them (GNUInstallDirs; an empty DATADIR means
# DATAROOTDIR).
cache_path() { # name default
  local v
  v=$(sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt" | head -n 1)
  echo "${v:-$2}"
}
libdir=$(cache_path CMAKE_INSTALL_LIBDIR lib)
bindir=$(cache_path CMAKE_INSTALL_BINDIR bin)
datadir=$(cache_path CMAKE_INSTALL_DATADIR "$(cache_path CMAKE_INSTALL_DATAROOTDIR share)")
for d in "$libdir" "$bindir" "$datadir"; do
  [[ "$d" != /* ]] || fail "install directory '$d' is absolute; this test installs under a prefix"
done
appdir="$prefix/$libdir/vantrick"
program="$appdir/vantrick"

# ---------------------------------------------------------------------------------------
# Layout.

[[ -f "$program" && ! -L "$program" && -x "$program" ]] ||
  fail "the program is not installed as an executable file at ${program#"$tmp"/}"

# The program reads every asset from its own directory: all of them must sit beside it,
# byte for byte as in the source tree.
for wav in "${WAVS[@]}"; do
  [[ -f "$appdir/$wav" ]] || fail "sound $wav is missing beside the installed program"
done
shopt -s nullglob
assets=("$src"/assets/*.wav "$src"/assets/*.svg)
shopt -u nullglob
((${#assets[@]} > ${#WAVS[@]})) || fail "no SVG assets found in $src/assets"
for a in "${assets[@]}"; do
  cmp -s "$a" "$appdir/${a##*/}" || fail "asset ${a##*/} is missing or differs beside the installed program"
done

link="$prefix/$bindir/vantrick"
[[ -L "$link" ]] || fail "${link#"$tmp"/} is not a symbolic link"
[[ "$(readlink "$link")" != /* ]] || fail "${link#"$tmp"/} is an absolute link; the prefix could not be moved"
[[ "$(readlink -f "$link")" == "$(readlink -f "$program")" ]] ||
  fail "${link#"$tmp"/} resolves to '$(readlink -f "$link")', not to the installed program"

desktop="$prefix/$datadir/applications/$APP_ID.desktop"
metainfo="$prefix/$datadir/metainfo/$APP_ID.metainfo.xml"
icon="$prefix/$datadir/icons/hicolor/scalable/apps/$APP_ID.svg"
for f in "$desktop" "$metainfo" "$icon"; do
  [[ -s "$f" ]] || fail "${f#"$prefix"/} is not installed"
done
# The three must name each other: the launcher starts the command in bin/ and shows the
# icon by its id, and the metainfo points at the launcher.
exec_cmd=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[[ "$exec_cmd" == vantrick ]] || fail "the desktop entry runs '$exec_cmd', not the installed 'vantrick' command"
grep -qx "Icon=$APP_ID" "$desktop" || fail "the desktop entry does not use the installed icon $APP_ID"
grep -q "<launchable type=\"desktop-id\">$APP_ID.desktop</launchable>" "$metainfo" ||
  fail "the metainfo does not launch $APP_ID.desktop"
grep -q '<svg' "$icon" || fail "the installed icon is not an SVG drawing"
note "layout ok: ${appdir#"$prefix"/}, ${link#"$prefix"/}, desktop entry, metainfo, icon"

# ---------------------------------------------------------------------------------------
# A player who cannot write to the installation.

home="$tmp/home"
mkdir -p "$home/runtime"
chmod 700 "$home" "$home/runtime"
run_as=()
if (($(id -u) == 0)); then
  command -v setpriv >/dev/null || fail "setpriv (util-linux) is needed to run the game as a non-root user"
  uid=$(id -u nobody 2>/dev/null) || fail "there is no 'nobody' account to run the game as"
  gid=$(id -g nobody)
  chown -R "$uid:$gid" "$home"
  chmod -R a+rX "$prefix"
  run_as=(setpriv --reuid="$uid" --regid="$gid" --clear-groups --)
  "${run_as[@]}" test -x "$program" || fail "user nobody cannot reach the installed program in $tmp"
  "${run_as[@]}" test ! -w "$appdir" || fail "user nobody can write to the program directory"
  note "the game runs as nobody"
else
  chmod a-w "$appdir"
  [[ ! -w "$appdir" ]] || fail "could not make ${appdir#"$tmp"/} read-only"
  note "the game runs as $(id -un) with a read-only program directory"
fi
find "$prefix" -printf '%P %y %s %m\n' | sort >"$tmp/before.lst"

# ---------------------------------------------------------------------------------------
# A display of our own. Xvfb picks a free display number and reports it when it is ready
# for clients. No -auth: any local client may connect, including the player account.

Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
xvfb_pid=$!
for ((i = 0; i < 100; i++)); do
  [[ -s "$tmp/display" ]] && break
  kill -0 "$xvfb_pid" 2>/dev/null || {
    sed 's/^/    /' "$tmp/xvfb.log" >&2
    fail "Xvfb did not start"
  }
  sleep 0.1
done
[[ -s "$tmp/display" ]] || fail "Xvfb did not report a display within 10 s"
DISPLAY=":$(tr -dc 0-9 <"$tmp/display")"
export DISPLAY
unset XAUTHORITY

# ---------------------------------------------------------------------------------------
# The installed game, started through bin/ as a desktop launcher would, with a clean
# environment: xcb rather than the offscreen platform of the other tests, and per-user
# directories inside the temporary home. The bus address points nowhere so that nothing
# starts a session bus for us.

env_vars=(
  PATH=/usr/local/bin:/usr/bin:/bin
  HOME="$home"
  XDG_DATA_HOME="$home/data"
  XDG_CONFIG_HOME="$home/config"
  XDG_CACHE_HOME="$home/cache"
  XDG_RUNTIME_DIR="$home/runtime"
  DBUS_SESSION_BUS_ADDRESS="unix:path=$home/runtime/no-bus"
  DISPLAY="$DISPLAY"
  LANG=C.UTF-8
  QT_QPA_PLATFORM=xcb
)
for v in ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS; do
  if [[ -n "${!v:-}" ]]; then env_vars+=("$v=${!v}"); fi
done
env -i "${env_vars[@]}" "${run_as[@]}" "$link" >"$tmp/game.log" 2>&1 &
game_pid=$!

# wait_window var title seconds: sets var to the id of the visible window with exactly that
# title; false if none appeared in time. The game ending meanwhile is a failure at once.
wait_window() {
  local -n _id=$1
  local title=$2 seconds=$3 i rc
  _id=
  for ((i = 0; i < seconds * 5; i++)); do
    if ! kill -0 "$game_pid" 2>/dev/null; then
      wait "$game_pid" && rc=0 || rc=$?
      game_pid=
      fail "the game ended (status $rc) while waiting for the window \"$title\""
    fi
    _id=$(timeout 5 xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1) || true
    [[ -n "$_id" ]] && return 0
    sleep 0.2
  done
  return 1
}

table='' ask='' input=''
wait_window table 'Vantrick!' 25 || fail "the table window \"Vantrick!\" did not appear within 25 s"
eval "$(xdotool getwindowgeometry --shell "$table")"
note "table window at ${X},${Y} size ${WIDTH}x${HEIGHT} on $DISPLAY"

# The menu titles have no access keys, so open the first one (Play, at the left end of
# the menu bar) with the mouse and walk right with the arrow keys: Play, Help, then the
# plain command "Change Your Name", which Return triggers. This holds whatever the font.
open_change_name() {
  timeout 5 xdotool windowfocus "$table" || true
  timeout 5 xdotool mousemove "$((X + 20))" "$((Y + 10))" click 1
  sleep 0.5
  timeout 5 xdotool key Right
  sleep 0.2
  timeout 5 xdotool key Right
  sleep 0.2
  timeout 5 xdotool key Return
}

open_change_name
if ! wait_window ask 'New Name' 8; then
  note "no question yet; closing any open menu and trying once more"
  timeout 5 xdotool key Escape Escape || true
  sleep 0.5
  open_change_name
  wait_window ask 'New Name' 8 || fail "\"Change Your Name\" did not ask its question (no \"New Name\" window)"
fi
timeout 5 xdotool windowfocus "$ask" || true
sleep 0.3
timeout 5 xdotool key Return # Yes is the default button
wait_window input "Player's Name" 10 ||
  fail "answering Yes to \"New Name\" did not open the \"Player's Name\" input"
timeout 5 xdotool windowfocus "$input" || true
sleep 0.3
timeout 10 xdotool type --delay 40 "$NEW_NAME"
timeout 5 xdotool key Return

# ---------------------------------------------------------------------------------------
# The name is in the per-user directory, exactly as the game writes it, and only there.

name_file="$home/data/Vantrick/Vantrick/Name.dat"
for ((i = 0; i < 50; i++)); do
  [[ -f "$name_file" ]] && break
  sleep 0.2
done
if [[ ! -f "$name_file" ]]; then
  found=$(find "$tmp" -name Name.dat -printf '%P ' 2>/dev/null | sed 's/ $//')
  fail "no Name.dat in ${name_file%/*} after the name change${found:+ (found instead: $found)}"
fi
expected="$tmp/expected-name"
printf '"%s"\r\n' "$NEW_NAME" >"$expected"
cmp -s "$expected" "$name_file" ||
  fail "Name.dat holds $(od -An -c "$name_file" | tr -s ' ') instead of $(od -An -c "$expected" | tr -s ' ')"
if [[ -n "${uid:-}" && "$(stat -c %u "$name_file")" != "$uid" ]]; then
  fail "Name.dat was not written by the player account"
fi

find "$prefix" -printf '%P %y %s %m\n' | sort >"$tmp/after.lst"
if ! diff -u "$tmp/before.lst" "$tmp/after.lst" >"$tmp/prefix.diff"; then
  sed 's/^/    /' "$tmp/prefix.diff" >&2
  fail "the game changed the installation"
fi

kill -0 "$game_pid" 2>/dev/null || fail "the game ended after the name change"
note "PASS: Name.dat with \"$NEW_NAME\" in \$XDG_DATA_HOME/Vantrick/Vantrick, installation untouched"
