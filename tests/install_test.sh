#!/usr/bin/env bash
# The installed game, used the way a player uses it.
#
#   install_test.sh cmake <build dir> <source dir>   cmake --install into a temporary prefix
#   install_test.sh deb   <build dir> <source dir>   build the Debian package, dpkg -i it
#
# Checks the installed layout, then starts the INSTALLED program under a private Xvfb display
# as a player who cannot write to the installation (`nobody` through setpriv as root, else the
# program directory is made read-only), changes the name through the menu with xdotool, and
# expects Name.dat in the player's data directory and nothing changed in the installation.
# The deb mode builds the package with its tests and wants no lintian error; as root it then
# installs it and, after `dpkg --purge`, wants no file the package listed left behind; it
# purges the package however it ends. Without root it ends after the build with status 77.
#
# There is no window manager on the display: windows are found by their titles and the keys
# go to whichever window Qt gave the input focus, which is the newest dialog.
set -euo pipefail
source "$(dirname "$0")/system_lib.sh"

fail() { # message [log file to show]
  [[ -z "${2:-}" ]] || tail -n 60 "$2" | sed 's/^/    /' >&2
  echo "FAIL: $1" >&2
  exit 1
}
(($# == 3)) && [[ $1 == cmake || $1 == deb ]] || fail "usage: $0 cmake|deb <build dir> <source dir>"
mode=$1
build=$(realpath "$2") src=$(realpath "$3")
readonly APP_ID=org.vantrick.Vantrick NEW_NAME=Tester
tmp='' xvfb_pid='' game_pid='' installed=0

stop() { # pid
  kill -TERM "$1" 2>/dev/null && wait "$1" 2>/dev/null || true
}

cleanup() { # on a failure, shows the game's output
  local rc=$?
  set +e
  ((rc == 0 || rc == 77)) || tail -n 40 "$tmp/game.log" 2>/dev/null | sed 's/^/    /' >&2
  stop "$game_pid"
  stop "$xvfb_pid"
  ((installed)) && dpkg --purge vantrick >/dev/null 2>&1
  [[ -n $tmp ]] && chmod -R u+w "$tmp" && rm -rf "$tmp"
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [[ $mode == deb ]]; then
  command -v dpkg-buildpackage >/dev/null || skip "needs dpkg-buildpackage (./scripts/test installs it)"
  exec 9>/tmp/vantrick-package-test.lock # one package test at a time on this machine
  flock -w 4200 9 || fail "another package test held its lock for 70 minutes"
fi
for tool in Xvfb xdotool xprop timeout setpriv; do
  command -v "$tool" >/dev/null || fail "'$tool' is not installed (scripts/deps.sh installs it)"
done
tmp=$(mktemp -d /tmp/vantrick-install.XXXXXX)
chmod 755 "$tmp" # the player account must reach what is below it

# Each mode sets appdir (the program's directory), assetdir, launch (the command a launcher
# runs), share, and watch: the directories that must not change while the game runs.
if [[ $mode == cmake ]]; then
  prefix="$tmp/prefix"
  timeout 600 cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1 ||
    fail "cmake --install $build failed (is the vantrick target built?)" "$tmp/install.log"
  cache_path() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; } # as this build configured it
  appdir="$prefix/$(cache_path VANTRICK_PROGRAM_DIR)"
  assetdir="$prefix/$(cache_path VANTRICK_ASSET_DIR)"
  share="$prefix/$(cache_path CMAKE_INSTALL_DATAROOTDIR)"
  launch="$prefix/$(cache_path CMAKE_INSTALL_BINDIR)/vantrick"
  [[ ! -L "$launch" || "$(readlink "$launch")" != /* ]] || fail "${launch#"$tmp"/} is an absolute link"
  watch=("$prefix")
else
  # Built in a fixed place, so that ccache reuses the objects of the last run.
  out="$build/package-test"
  command -v ccache >/dev/null && export CMAKE_CXX_COMPILER_LAUNCHER=ccache
  # Built as Debian builds it: hardening flags and the tests, which run inside the build.
  timeout 4200 env -u DEB_BUILD_OPTIONS "$src/scripts/package" --no-deps --out "$out" >"$tmp/package.log" 2>&1 ||
    fail "scripts/package failed: the build or its tests failed, or lintian reports errors" "$tmp/package.log"
  deb=$(sed -n 's/^Built: //p' "$tmp/package.log")
  (($(id -u) == 0)) || skip "the package built and passed its tests; installing it (dpkg -i) needs root"
  status=$(dpkg-query -W -f '${Status}' vantrick 2>/dev/null) || true
  [[ -z "$status" || "$status" == *not-installed ]] ||
    skip "a vantrick package is on this machine ($status); this test installs and purges its own"
  installed=1
  dpkg -i "$deb" >"$tmp/dpkg.log" 2>&1 ||
    fail "dpkg -i failed (a dependency missing? ./scripts/deps.sh --package installs them)" "$tmp/dpkg.log"
  dpkg -L vantrick >"$tmp/files.lst"
  appdir=/usr/games assetdir=/usr/share/games/vantrick share=/usr/share launch=/usr/games/vantrick
  watch=(/usr/games "$assetdir")
fi

program="$appdir/vantrick"
[[ -f "$program" && ! -L "$program" && -x "$program" ]] || fail "no executable program at $program"
[[ "$(readlink -f "$launch")" == "$(readlink -f "$program")" ]] || fail "$launch does not start $program"
for a in "$src"/assets/*.wav "$src"/assets/*.svg; do
  cmp -s "$a" "$assetdir/${a##*/}" || fail "asset ${a##*/} is missing or differs in $assetdir"
done
has() { # file pattern (the file may be compressed)
  zgrep -q -- "$2" "$1" 2>/dev/null || fail "${1#"$tmp"/} is missing or has nothing matching $2"
}
has "$share/applications/$APP_ID.desktop" '^Exec=vantrick$'
has "$share/applications/$APP_ID.desktop" "^Icon=$APP_ID\$"
has "$share/metainfo/$APP_ID.metainfo.xml" "<launchable type=\"desktop-id\">$APP_ID.desktop</launchable>"
has "$share/icons/hicolor/scalable/apps/$APP_ID.svg" '<svg'
has "$share"/man/man6/vantrick.6* '^\.TH VANTRICK 6'

# A player who cannot write to the installation, with every per-user directory in a
# temporary home, xcb rather than the offscreen platform of the other tests, and a bus
# address pointing nowhere so that nothing starts a session bus for us.
home="$tmp/home"
mkdir -m 700 "$home" "$home/runtime"
run_as=()
if (($(id -u) == 0)); then
  uid=$(id -u nobody) gid=$(id -g nobody) || fail "there is no 'nobody' account to run the game as"
  chown -R "$uid:$gid" "$home"
  [[ $mode == cmake ]] && chmod -R a+rX "$prefix"
  run_as=(setpriv --reuid="$uid" --regid="$gid" --clear-groups --)
  "${run_as[@]}" test ! -w "$appdir" || fail "user nobody can write to the program directory"
else
  chmod a-w "$appdir"
fi
env_vars=(PATH=/usr/games:/usr/bin:/bin HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config"
  XDG_CACHE_HOME="$home/cache" XDG_RUNTIME_DIR="$home/runtime" LANG=C.UTF-8
  DBUS_SESSION_BUS_ADDRESS="unix:path=$home/runtime/no-bus" ASAN_OPTIONS="${ASAN_OPTIONS:-}"
  UBSAN_OPTIONS="${UBSAN_OPTIONS:-}" LSAN_OPTIONS="${LSAN_OPTIONS:-}")
env -i "${env_vars[@]}" "${run_as[@]}" "$launch" --version >/dev/null || fail "'vantrick --version' failed"
find "${watch[@]}" -printf '%p %y %s %m\n' | sort >"$tmp/before.lst"

# A display of our own, which the player account may reach too.
start_xvfb 1024x768x24
unset XAUTHORITY
env -i "${env_vars[@]}" DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb "${run_as[@]}" "$launch" >"$tmp/game.log" 2>&1 &
game_pid=$!

find_window() { # title: sets win to the visible window with exactly that title
  win=$(timeout 5 xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) || true
  [[ -n "$win" ]]
}
until_ok 120 find_window 'Vantrick!' || fail "the table window \"Vantrick!\" did not appear within 120 s"
table=$win
eval "$(xdotool getwindowgeometry --shell "$table")"
# The window's icon is drawn from the installed pictures (just after the first frame): no
# icon, the game did not find them.
has_icon() {
  icon_width=$(timeout 5 xprop -id "$table" -f _NET_WM_ICON 32c ' $0' _NET_WM_ICON 2>&1) || true
  [[ "$icon_width" =~ \ [1-9] ]]
}
until_ok 60 has_icon || fail "the table has no icon ($icon_width): no pictures found in $assetdir"

# The menu titles have no access keys, so open the first one (Play, at the left end of the
# menu bar) with the mouse and walk right with the arrow keys: Play, Help, then the plain
# command "Change Your Name", which Return triggers. This holds whatever the font. A second
# try first closes a menu that may have stayed open.
for _ in 1 2; do
  timeout 5 xdotool windowfocus "$table" || true
  timeout 5 xdotool mousemove "$((X + 20))" "$((Y + 10))" click 1 sleep 0.5 key Right sleep 0.2 key Right sleep 0.2 key Return
  until_ok 30 find_window 'New Name' && break
  timeout 5 xdotool key Escape Escape || true
done
[[ -n "$win" ]] || fail "\"Change Your Name\" did not ask its question (no \"New Name\" window)"
timeout 5 xdotool windowfocus "$win" sleep 0.3 key Return || true # Yes is the default button
until_ok 60 find_window "Player's Name" || fail "answering Yes to \"New Name\" did not open the \"Player's Name\" input"
timeout 5 xdotool windowfocus "$win" sleep 0.3 || true
timeout 10 xdotool type --delay 40 "$NEW_NAME"
timeout 5 xdotool key Return

# The name is in the per-user directory, exactly as the game writes it, and only there.
name_file="$home/data/Vantrick/Vantrick/Name.dat"
until_ok 60 test -f "$name_file" || fail "no Name.dat in ${name_file%/*} after the name change"
cmp -s <(printf '"%s"\r\n' "$NEW_NAME") "$name_file" || fail "Name.dat holds $(od -An -c "$name_file" | tr -s ' ')"
find "${watch[@]}" -printf '%p %y %s %m\n' | sort >"$tmp/after.lst"
diff -u "$tmp/before.lst" "$tmp/after.lst" >"$tmp/install.diff" || fail "the game changed the installation" "$tmp/install.diff"
kill -0 "$game_pid" 2>/dev/null || fail "the game ended after the name change"

# Removal leaves nothing the package brought: no file, and none of its own directories.
if [[ $mode == deb ]]; then
  dpkg --purge vantrick >"$tmp/dpkg.log" 2>&1 || fail "dpkg --purge vantrick failed" "$tmp/dpkg.log"
  while read -r f; do
    [[ ! -L "$f" && ! -f "$f" && ! (-d "$f" && "$f" == *vantrick*) ]] || fail "left behind after dpkg --purge: $f"
  done <"$tmp/files.lst"
fi
