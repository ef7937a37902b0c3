#!/usr/bin/env bash
# The installed game, used the way a player uses it.
#
#   install_test.sh cmake <build dir> <source dir>   cmake --install into a temporary prefix
#   install_test.sh deb   <build dir> <source dir>   build the Debian package, dpkg -i it
#
# Checks the layout a desktop expects (program, assets, launcher entry, metainfo, icon), then
# starts the INSTALLED program under a private Xvfb display as a user who cannot write to the
# program's directory, changes the player's name through the real menu and dialogs with
# xdotool, and expects Name.dat in the per-user data directory and nothing new in the
# installation. As root the game runs as `nobody` (through setpriv); otherwise the program
# directory is made read-only for the run. The deb mode (root only) also wants lintian to
# report no error, and after `dpkg --purge` no file the package listed; it is skipped (status
# 77) where dpkg-buildpackage is missing, and purges the package however the test ends.
#
# There is no window manager on the display: windows are found by their titles and the keys
# go to whichever window Qt gave the input focus, which is the newest dialog.
set -euo pipefail

if (($# != 3)) || [[ $1 != cmake && $1 != deb ]]; then
  echo "usage: $0 cmake|deb <build dir> <source dir>" >&2
  exit 2
fi
mode=$1
build=$(cd "$2" && pwd)
src=$(cd "$3" && pwd)
readonly APP_ID=org.vantrick.Vantrick NEW_NAME=Tester
tag=install_smoke
[[ $mode == deb ]] && tag=package_smoke

tmp='' xvfb_pid='' game_pid='' installed=0 failed=0
DISPLAY=

fail() {
  echo "$tag: FAIL: $*" >&2
  failed=1
  exit 1
}
note() { echo "$tag: $*"; }
skip() {
  echo "$tag: SKIPPED: $*"
  exit 77
}

# The last look at our own screen and the game's output, for whoever reads a failure.
explain_failure() {
  if [[ -n "$xvfb_pid" ]] && command -v import >/dev/null; then
    local shot="$build/Testing/Temporary/${tag}_failure.png"
    mkdir -p "${shot%/*}"
    timeout 10 import -window root "$shot" 2>/dev/null && echo "$tag: screen at the failure: $shot" >&2
  fi
  if [[ -s "$tmp/game.log" ]]; then
    echo "$tag: the game's output:" >&2
    tail -n 40 "$tmp/game.log" | sed 's/^/    /' >&2
  fi
}

stop() { # pid: TERM, then KILL if it has not gone within 3 s
  local pid=$1 i
  kill -TERM "$pid" 2>/dev/null || return 0
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
  if ((rc != 0 && rc != 77 || failed)); then explain_failure || true; fi
  [[ -n "$game_pid" ]] && stop "$game_pid"
  [[ -n "$xvfb_pid" ]] && stop "$xvfb_pid"
  ((installed)) && dpkg --purge vantrick >/dev/null 2>&1
  if [[ -n "$tmp" ]]; then
    chmod -R u+w "$tmp" 2>/dev/null || true
    rm -rf "$tmp"
  fi
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

show_log() { # file message
  sed 's/^/    /' "$1" | tail -n 60 >&2
  fail "$2"
}

if [[ $mode == deb ]]; then
  command -v dpkg-buildpackage >/dev/null || skip "dpkg-buildpackage is not installed (./scripts/test installs it)"
  (($(id -u) == 0)) || skip "installing a package with dpkg -i needs root"
  exec 9>/tmp/vantrick-package-test.lock # one package test at a time on this machine
  flock -w 1500 9 || fail "another package test held its lock for 25 minutes"
  status=$(dpkg-query -W -f '${Status}' vantrick 2>/dev/null) || true
  [[ -z "$status" || "$status" == *not-installed ]] ||
    skip "a vantrick package is on this machine ($status); this test installs and purges its own"
fi
for tool in Xvfb xdotool xprop timeout; do
  command -v "$tool" >/dev/null || fail "'$tool' is not installed (scripts/deps.sh installs it)"
done

tmp=$(mktemp -d /tmp/vantrick-install.XXXXXX)
chmod 755 "$tmp" # the player account must reach what is below it

# ---------------------------------------------------------------------------------------
# Install. Afterwards: the program, its asset directory, the command a launcher runs, the
# share/ directory, and the directories that must not change while the game runs.

if [[ $mode == cmake ]]; then
  [[ -f "$build/CMakeCache.txt" ]] || fail "$build is not a configured build directory"
  prefix="$tmp/prefix"
  timeout 60 cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1 ||
    show_log "$tmp/install.log" "cmake --install $build failed (is the vantrick target built?)"
  cache_path() { # name default: the directory as this build configured it
    local v
    v=$(sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt" | head -n 1)
    echo "${v:-$2}"
  }
  appdir="$prefix/$(cache_path VANTRICK_PROGRAM_DIR lib/vantrick)"
  assetdir="$prefix/$(cache_path VANTRICK_ASSET_DIR lib/vantrick)"
  share="$prefix/$(cache_path CMAKE_INSTALL_DATAROOTDIR share)"
  launch="$prefix/$(cache_path CMAKE_INSTALL_BINDIR bin)/vantrick"
  [[ -L "$launch" && "$(readlink "$launch")" != /* ]] || fail "${launch#"$tmp"/} is not a relative link"
  watch=("$prefix")
else
  # The package is built from a copy of the tree in a fixed place, so ccache can reuse the
  # objects of the last run.
  out="$build/package-test"
  command -v ccache >/dev/null && export CMAKE_CXX_COMPILER_LAUNCHER=ccache
  note "building the package (scripts/package, tests left to this suite)"
  DEB_BUILD_OPTIONS=nocheck timeout 1500 "$src/scripts/package" --no-deps --out "$out" >"$tmp/package.log" 2>&1 ||
    show_log "$tmp/package.log" "scripts/package failed: the build failed or lintian reports errors"
  sed -n '/^lintian:/,$p' "$tmp/package.log"
  debs=("$out"/vantrick_*_"$(dpkg --print-architecture)".deb)
  installed=1
  dpkg -i "${debs[0]}" >"$tmp/dpkg.log" 2>&1 ||
    show_log "$tmp/dpkg.log" "dpkg -i failed (a dependency missing? ./scripts/deps.sh --package installs them)"
  dpkg -L vantrick >"$tmp/files.lst"
  appdir=/usr/games assetdir=/usr/share/games/vantrick share=/usr/share launch=/usr/games/vantrick
  watch=(/usr/games "$assetdir")
  [[ -s "$share/man/man6/vantrick.6.gz" ]] || fail "the manual page is not installed"
fi

# ---------------------------------------------------------------------------------------
# Layout: every asset byte for byte as in the source tree, the launcher entry running the
# installed command and naming the installed icon, the metainfo naming the launcher.

program="$appdir/vantrick"
[[ -f "$program" && ! -L "$program" && -x "$program" ]] || fail "no executable program at $program"
[[ "$(readlink -f "$launch")" == "$(readlink -f "$program")" ]] || fail "$launch does not start $program"
shopt -s nullglob
assets=("$src"/assets/*.wav "$src"/assets/*.svg)
shopt -u nullglob
((${#assets[@]} > 4)) || fail "the sounds and pictures were not found in $src/assets"
for a in "${assets[@]}"; do
  cmp -s "$a" "$assetdir/${a##*/}" || fail "asset ${a##*/} is missing or differs in $assetdir"
done
desktop="$share/applications/$APP_ID.desktop"
metainfo="$share/metainfo/$APP_ID.metainfo.xml"
icon="$share/icons/hicolor/scalable/apps/$APP_ID.svg"
for f in "$desktop" "$metainfo" "$icon"; do
  [[ -s "$f" ]] || fail "$f is not installed"
done
grep -qx 'Exec=vantrick' "$desktop" || fail "the desktop entry does not run the 'vantrick' command"
grep -qx "Icon=$APP_ID" "$desktop" || fail "the desktop entry does not use the installed icon $APP_ID"
grep -q "<launchable type=\"desktop-id\">$APP_ID.desktop</launchable>" "$metainfo" ||
  fail "the metainfo does not launch $APP_ID.desktop"
grep -q '<svg' "$icon" || fail "the installed icon is not an SVG drawing"
note "layout ok: program in $appdir, assets in $assetdir, desktop entry, metainfo, icon"

# ---------------------------------------------------------------------------------------
# A player who cannot write to the installation, with every per-user directory in a
# temporary home, xcb rather than the offscreen platform of the other tests, and a bus
# address pointing nowhere so that nothing starts a session bus for us.

home="$tmp/home"
mkdir -p "$home/runtime"
chmod 700 "$home" "$home/runtime"
run_as=()
if (($(id -u) == 0)); then
  command -v setpriv >/dev/null || fail "setpriv (util-linux) is needed to run the game as a non-root user"
  uid=$(id -u nobody 2>/dev/null) || fail "there is no 'nobody' account to run the game as"
  chown -R "$uid:$(id -g nobody)" "$home"
  [[ $mode == cmake ]] && chmod -R a+rX "$prefix"
  run_as=(setpriv --reuid="$uid" --regid="$(id -g nobody)" --clear-groups --)
  "${run_as[@]}" test ! -w "$appdir" || fail "user nobody can write to the program directory"
else
  chmod a-w "$appdir"
fi
env_vars=(PATH=/usr/games:/usr/bin:/bin HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config"
  XDG_CACHE_HOME="$home/cache" XDG_RUNTIME_DIR="$home/runtime" LANG=C.UTF-8
  DBUS_SESSION_BUS_ADDRESS="unix:path=$home/runtime/no-bus")
for v in ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS; do
  if [[ -n "${!v:-}" ]]; then env_vars+=("$v=${!v}"); fi
done
version=$(env -i "${env_vars[@]}" "${run_as[@]}" "$launch" --version) || fail "'vantrick --version' failed"
note "the installed program says: $version"
find "${watch[@]}" -printf '%p %y %s %m\n' | sort >"$tmp/before.lst"

# A display of our own: Xvfb picks a free number and reports it when it is ready. No -auth:
# any local client may connect, including the player account.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
xvfb_pid=$!
for ((i = 0; i < 100; i++)); do
  [[ -s "$tmp/display" ]] && break
  kill -0 "$xvfb_pid" 2>/dev/null || show_log "$tmp/xvfb.log" "Xvfb did not start"
  sleep 0.1
done
[[ -s "$tmp/display" ]] || fail "Xvfb did not report a display within 10 s"
export DISPLAY=":$(tr -dc 0-9 <"$tmp/display")"
unset XAUTHORITY
env -i "${env_vars[@]}" DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb "${run_as[@]}" "$launch" >"$tmp/game.log" 2>&1 &
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
# The window's icon is drawn from the installed pictures: no icon, the game did not find them.
icon_width=$(timeout 5 xprop -id "$table" -f _NET_WM_ICON 32c ' $0' _NET_WM_ICON 2>&1) || true
[[ "$icon_width" =~ \ [1-9] ]] || fail "the table has no icon ($icon_width): no pictures found in $assetdir"

# The menu titles have no access keys, so open the first one (Play, at the left end of the
# menu bar) with the mouse and walk right with the arrow keys: Play, Help, then the plain
# command "Change Your Name", which Return triggers. This holds whatever the font.
open_change_name() {
  timeout 5 xdotool windowfocus "$table" || true
  timeout 5 xdotool mousemove "$((X + 20))" "$((Y + 10))" click 1
  sleep 0.5
  timeout 5 xdotool key Right sleep 0.2 key Right sleep 0.2 key Return
}
open_change_name
if ! wait_window ask 'New Name' 8; then
  note "no question yet; closing any open menu and trying once more"
  timeout 5 xdotool key Escape Escape || true
  sleep 0.5
  open_change_name
  wait_window ask 'New Name' 8 || fail "\"Change Your Name\" did not ask its question (no \"New Name\" window)"
fi
timeout 5 xdotool windowfocus "$ask" sleep 0.3 key Return || true # Yes is the default button
wait_window input "Player's Name" 10 || fail "answering Yes to \"New Name\" did not open the \"Player's Name\" input"
timeout 5 xdotool windowfocus "$input" sleep 0.3 || true
timeout 10 xdotool type --delay 40 "$NEW_NAME"
timeout 5 xdotool key Return

# ---------------------------------------------------------------------------------------
# The name is in the per-user directory, exactly as the game writes it, and only there.

name_file="$home/data/Vantrick/Vantrick/Name.dat"
for ((i = 0; i < 50; i++)); do
  [[ -f "$name_file" ]] && break
  sleep 0.2
done
[[ -f "$name_file" ]] || fail "no Name.dat in ${name_file%/*} after the name change"
printf '"%s"\r\n' "$NEW_NAME" >"$tmp/expected-name"
cmp -s "$tmp/expected-name" "$name_file" || fail "Name.dat holds $(od -An -c "$name_file" | tr -s ' ')"
[[ -z "${uid:-}" || "$(stat -c %u "$name_file")" == "$uid" ]] || fail "Name.dat was not written by the player"
find "${watch[@]}" -printf '%p %y %s %m\n' | sort >"$tmp/after.lst"
diff -u "$tmp/before.lst" "$tmp/after.lst" >"$tmp/install.diff" || show_log "$tmp/install.diff" "the game changed the installation"
kill -0 "$game_pid" 2>/dev/null || fail "the game ended after the name change"
note "Name.dat with \"$NEW_NAME\" in \$XDG_DATA_HOME/Vantrick/Vantrick, installation untouched"

# ---------------------------------------------------------------------------------------
# Removal leaves nothing the package brought: no file, and none of its own directories.

if [[ $mode == deb ]]; then
  stop "$game_pid"
  game_pid=
  dpkg --purge vantrick >"$tmp/dpkg.log" 2>&1 || show_log "$tmp/dpkg.log" "dpkg --purge vantrick failed"
  installed=0
  left=$(while read -r f; do
    if [[ -L "$f" || -f "$f" || (-d "$f" && "$f" == *vantrick*) ]]; then echo "$f"; fi
  done <"$tmp/files.lst")
  [[ -z "$left" ]] || fail "left behind after dpkg --purge: $left"
  note "purged: none of the $(wc -l <"$tmp/files.lst") paths the package listed is left"
fi
note PASS
