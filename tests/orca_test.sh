#!/usr/bin/env bash
# One hand played from the keyboard with the Orca screen reader listening, on a display and an
# accessibility bus of its own; what Orca would have said is read from its debug log (its
# "SPEECH OUTPUT:" lines; speech and braille are off, the log keeps every utterance).
#   orca_test.sh <build dir>        exit 77 where Orca or its bus is not installed
# Every step waits for what Orca says; the time limits only end a run that has stopped.
set -euo pipefail
source "$(dirname "$0")/system_lib.sh"

# What Orca said, one utterance a line.
said() { tr -d '\r' <"$log" | sed -n "s/^.*SPEECH OUTPUT: '\(.*\)' \?{.*$/\1/p"; }
fail() {
  echo "FAIL: $*" >&2
  [[ -n ${log:-} && -f $log ]] && said | tail -n 40 | sed 's/^/    /' >&2
  exit 1
}
(($# == 1)) || fail "usage: $0 <build dir>"
build=$(realpath "$1")
launcher=/usr/libexec/at-spi-bus-launcher
for tool in orca dbus-run-session Xvfb xdotool; do
  command -v "$tool" >/dev/null || skip "'$tool' is not installed (scripts/deps.sh test installs it)"
done
[[ -x $launcher ]] || skip "$launcher is not installed (at-spi2-core)"
# Orca refuses to start beside another of the same user's, and that one is not ours to stop.
! pgrep -u "$(id -u)" -x orca >/dev/null || skip "another Orca runs for this user"

# Inside a session bus of its own, so that neither the bus nor Orca meets another desktop's.
if [[ -z ${VT_ORCA_BUS:-} ]]; then
  exec env VT_ORCA_BUS=1 timeout 1500 dbus-run-session -- bash "$0" "$@"
fi

tmp=$(mktemp -d /tmp/vantrick-orca.XXXXXX)
pids=()
cleanup() {
  local rc=$? i
  set +e
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do # Orca may linger after TERM: then KILL
    kill -TERM "${pids[i]}" 2>/dev/null && until_ok 10 eval "! kill -0 ${pids[i]} 2>/dev/null" ||
      kill -KILL "${pids[i]}" 2>/dev/null
    wait "${pids[i]}" 2>/dev/null
  done
  [[ -n ${VT_KEEP:-} ]] || rm -rf "$tmp"
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
export HOME=$tmp/home XDG_RUNTIME_DIR=$tmp/run XDG_CONFIG_HOME=$tmp/home/config \
  XDG_DATA_HOME=$tmp/home/data XDG_CACHE_HOME=$tmp/home/cache LANG=C.UTF-8
mkdir -p "$HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
log=$tmp/orca.log

# The game installed as a player has it, so that its files go to the temporary home.
timeout 600 cmake --install "$build" --prefix "$tmp/prefix" >"$tmp/install.log" 2>&1 ||
  fail "cmake --install $build failed (is the vantrick target built?)"
game=$(find "$tmp/prefix" -name vantrick -type f -perm -u+x | head -n 1)
[[ -n $game ]] || fail "no vantrick program installed under $tmp/prefix"

start_xvfb 1280x1024x24
pids+=("$xvfb_pid")
unset XAUTHORITY WAYLAND_DISPLAY QT_QPA_PLATFORM
"$launcher" --launch-immediately >"$tmp/bus.log" 2>&1 &
pids+=($!)
bus_up() { dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1; }
until_ok 60 bus_up || fail "the accessibility bus did not come up"
# Orca writes its log through a buffer that fills slowly; to a terminal it writes every line at
# once, so it runs on one of its own (script) whose record is the log.
script -q -f -e -c "orca -u '$tmp/orca-prefs' -d speech,braille,braille-monitor --debug-file=/dev/tty" \
  "$log" </dev/null >"$tmp/orca.out" 2>&1 &
pids+=($!)
until_ok 30 pgrep -P "${pids[-1]}" >/dev/null || fail "Orca did not start"
pids+=($(pgrep -P "${pids[-1]}"))
until_ok 120 grep -q "ORCA: Startup complete" "$log" 2>/dev/null || fail "Orca did not start"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb "$game" >"$tmp/game.log" 2>&1 &
pids+=($!)

# `heard` counts the lines of what Orca said read so far.
heard=0
# Waits for Orca to say something matching the pattern after what was heard so far; the line
# found becomes the last heard. Returns false if it was not said in time.
await() { # pattern [seconds]
  local end=$((SECONDS + ${2:-120})) n
  while ((SECONDS < end)); do
    n=$(said | tail -n +$((heard + 1)) | grep -n -m 1 -E -- "$1" | cut -d: -f1) || true
    if [[ -n $n ]]; then
      heard=$((heard + n))
      return 0
    fi
    sleep 0.2
  done
  return 1
}
key() { timeout 10 xdotool key --clearmodifiers "$@"; }
expect() { await "$1" "${2:-120}" || fail "Orca never said /$1/"; }

expect "^Vantrick! frame" 180
expect "^notification .* welcome to another round of Vantrick"
win=$(timeout 10 xdotool search --onlyvisible --name '^Vantrick!$' | head -n 1)
timeout 10 xdotool windowfocus "$win" || true
key F2
expect "^notification .* [Dd]ealing\.$"
expect "^Please enter your bid for this hand\." # the bid box has the keyboard
key h
expect "^notification Hint: bid [0-9]+ \(made in [0-9]+ of 10\)\.?$"
key Tab
expect "^Bid push button"
key space
expect "^notification You bid [0-9]+\.$"

# The tricks: at each turn a hint, then Return plays the card it chose; at the first, the
# status key and the keys through the hand; at the second, the last trick.
turn=0
while true; do
  await "[Cc]lick (on )?card you [a-z]+ to play\.$|^Carry On push button|^Hand Over dialog" 300 ||
    fail "the hand stopped: no turn, no Carry On, no Hand Over"
  last=$(said | sed -n "${heard}p")
  case $last in
    *"Carry On"*) key Return ;;
    "Hand Over dialog"*) break ;;
    *)
      turn=$((turn + 1))
      if ((turn == 1)); then
        key s
        expect "^notification Your turn to play; .*; scores: You 0, The Prof 0, Marigold 0, The Lady 0\.$"
        key End
        expect "^[A-Z][a-z]+ of [A-Z][a-z]+ push button"
        key Home
        expect "^[A-Z][a-z]+ of [A-Z][a-z]+ push button"
      elif ((turn == 2)); then
        key l
        expect "^notification Last trick: .* played .*; won by "
        key Escape
      fi
      key h
      expect "^notification Hint: the "
      card=$(said | sed -n "${heard}p" | sed 's/^notification Hint: the //; s/ (.*//; s/\.$//')
      key Return
      expect "^notification Player played $card\.$"
      ;;
  esac
done

# What Orca said of the hand, in order: the bids, the cards, who took each trick, the result.
hand=$(said)
hand_over=$(said | tail -n +"$heard" | head -n 3 | tr '\n' ' ') # the dialog, then its description
tricks=$(grep -c -E "^notification .* won (that|the last) trick" <<<"$hand" || true)
plays=$(grep -E "^notification .* played [A-Z][a-z]+ of [A-Z][a-z]+\.$" <<<"$hand" | sed 's/.* played //' || true)
bids=$(grep -c -E "^notification (The Prof\.|Marigold|The Lady) bid [0-9]+\.$" <<<"$hand" || true)
((bids == 3)) || fail "Orca told $bids of the three opponents' bids"
((turn >= 1 && tricks >= turn)) || fail "Orca told who won $tricks tricks of $turn"
(($(wc -l <<<"$plays") == 4 * tricks)) || fail "Orca told $(wc -l <<<"$plays") cards played in $tricks tricks"
[[ -z $(sort <<<"$plays" | uniq -d) ]] || fail "Orca told a card played twice: $(sort <<<"$plays" | uniq -d | head -n 1)"
grep -q -E "^Hand Over dialog .*This hand: You bid [0-9]+, took [0-9]+, (made it|missed), -?[0-9]+ points?;" <<<"$hand_over" ||
  fail "the end of the hand did not tell its result: $hand_over"
# Only what has the keyboard reports focus: a line of the messages never does.
! grep -q "state-changed:focused for \[list item" "$log" || fail "a line of the messages reported focus"

# The next hand: its first lines are its own, none of the last hand's.
key Tab space
expect "^notification .* [Dd]ealing\.$"
# On a busy machine the bid dialog can take the screen before Orca reaches the line before it,
# and Orca then passes over that line of a window no longer active: either will do.
expect "^notification Now the bidding begins\.$|^Enter your Bid\. dialog"
said | tail -n +$((heard + 1)) | grep -q -E "played|won (that|the last) trick" && fail "a line of the last hand was spoken again"
echo "Orca told the hand: $tricks tricks, $bids opponents' bids, the hint, the last trick, the status and the result"
said | grep -E "^notification (Hint|Last trick|Your turn)|^Hand Over" | head -n 4 | cut -c 1-200
