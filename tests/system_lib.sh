# Shared by the system tests' scripts, which source it: a skip, a poll with a time limit that
# only ends a run that has stopped, and a display of their own.
skip() {
  echo "SKIPPED: $*"
  exit 77
}
until_ok() { # seconds command...: polls the command; false if it never succeeded in that time
  local end=$((SECONDS + $1))
  until "${@:2}"; do
    ((SECONDS < end)) || return 1
    sleep 0.2
  done
}
# Xvfb picks a free number and reports it when it is ready; no -auth: any local client may
# connect. Sets DISPLAY and xvfb_pid; files go to $tmp.
start_xvfb() { # screen size
  Xvfb -displayfd 3 -nolisten tcp -screen 0 "$1" 3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
  xvfb_pid=$!
  until_ok 60 test -s "$tmp/display" || fail "Xvfb reported no display within 60 s" "$tmp/xvfb.log"
  export DISPLAY=":$(tr -dc 0-9 <"$tmp/display")"
}
