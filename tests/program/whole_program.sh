#!/bin/bash
# The whole game under a virtual X server, driven by real X input (xdotool) as a player would:
#
#   1. the dialog: a mode chosen and OK; the title shows (not black 3 s after it began); Enter
#      starts the level, Escape returns to the title; Enter starts it again, closing the window
#      returns to the title; Escape there ends the program with status 0;
#   2. the two replays that run kept, each played back twice by harntool: the same trace both
#      times, ending the way the live play ended, at the same frame;
#   3. Cancel in the dialog: status 0 before any game window exists.
#
# usage: whole_program.sh ZELMAR HARNTOOL XPROBE [PICTURE_FOLDER]
set -u
# Inside a virtual X server of its own; other programs start theirs at the same moments, so one
# that fails to start (the script never ran in it) is tried again.
if [ -z "${WHOLE_PROGRAM_STARTED:-}" ]; then
  export WHOLE_PROGRAM_STARTED
  WHOLE_PROGRAM_STARTED=$(mktemp -u)
  for _ in 1 2 3; do
    xvfb-run -a -n $(( $$ % 400 + 500 )) -s "-screen 0 1024x768x24" "$0" "$@"
    status=$?
    [ -e "$WHOLE_PROGRAM_STARTED" ] && { rm -f "$WHOLE_PROGRAM_STARTED"; exit "$status"; }
    sleep 1
  done
  echo "whole program: no virtual X server would start"
  exit 1
fi
touch "$WHOLE_PROGRAM_STARTED"
zelmar=$1 harntool=$2 xprobe=$3 pictures=${4:-}
here=$(dirname "$0")
work=$(mktemp -d)
pid=""
# The game runs under timeout, which hands it the termination request; the game takes that as a
# closed window (in a level: back to the title), so timeout kills it 2 s later.
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
export XDG_STATE_HOME="$work/state" SDL_AUDIODRIVER=dummy HARNENGINE_LOG=1
replays="$XDG_STATE_HOME/zelmar/replays"
wait_seconds=60   # the sanitized build on the software renderer is slow
game_seconds=200  # the most one run of the game may take

fail() {
  echo "whole program: $*"
  echo "focus: $(xdotool getwindowfocus getwindowname 2>&1), pointer: $(xdotool getmouselocation 2>&1)"
  [ -n "${log:-}" ] && [ -f "$log" ] && tail -n 30 "$log"
  exit 1
}

# Sets command to run a program of ours with its arguments, with what the sanitizers need
# preloaded into it alone.
with_preload() {
  local preload
  preload=$("$here/../display_preload.sh" "$1")
  if [ -n "$preload" ]; then command=(env "LD_PRELOAD=$preload" "$@"); else command=("$@"); fi
}

# Waits until the log holds the text at least COUNT times.
wait_for() {
  local text=$1 count=${2:-1} tenths=$((wait_seconds * 10))
  for _ in $(seq "$tenths"); do
    [ "$(grep -cF -- "$text" "$log")" -ge "$count" ] && return 0
    kill -0 "$pid" 2>/dev/null || fail "zelmar ended while waiting for '$text'"
    sleep 0.1
  done
  fail "no '$text' after $wait_seconds s"
}

# Waits for zelmar to end and checks its status.
wait_exit() {
  for _ in $(seq $((wait_seconds * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      local status=$?
      pid=""
      [ "$status" -eq 0 ] || fail "zelmar ended with status $status"
      return 0
    fi
    sleep 0.1
  done
  fail "zelmar did not end"
}

# Starts zelmar and waits for its dialog. Whatever happens to this script, the game does not
# outlive the test by long.
start() {
  log="$work/$1.log"
  with_preload "$zelmar"
  timeout -s KILL -k 2 "$game_seconds" "${command[@]}" 2>"$log" &
  pid=$!
  wait_for "settings: Cancel at"
  dialog=$(xdotool search --name "^QRTLX04 - O Zelmar" | head -n 1)
  [ -n "$dialog" ] || fail "no dialog window"
}

# Clicks a control of the dialog where it said it drew it.
click() {
  local at
  at=$(sed -n "s/^settings: $1 at \([0-9]*\),\([0-9]*\)$/\1 \2/p" "$log" | tail -n 1)
  [ -n "$at" ] || fail "the dialog did not say where '$1' is"
  # shellcheck disable=SC2086
  xdotool mousemove --window "$dialog" $at
  sleep 0.2
  xdotool click 1
  sleep 0.2
}

# A key to the game window through the X server's keyboard, once the window has the focus.
key() {
  local window
  window=$(xdotool search --name "^Harnengine$" | head -n 1)
  [ -n "$window" ] || fail "no game window for $1"
  for _ in $(seq 50); do
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$window" ] && break
    xdotool windowfocus "$window" 2>/dev/null
    sleep 0.1
  done
  [ "$(xdotool getwindowfocus 2>/dev/null)" = "$window" ] || fail "the game window does not take the focus"
  xdotool key "$1"
}

# "ended by REASON after N frames" of the Nth level play, as N.
frames_of() {
  sed -n "s/^level: ended by $1 after \([0-9]*\) frames$/\1/p" "$log" | head -n 1
}

# The game's data: beside the program, or installed beside its folder.
data="$(dirname "$zelmar")"
[ -f "$data/data.qzr" ] || data="$data/../share/zelmar"

# Plays a replay back with harntool and prints the trace file's name.
play_back() {
  local trace="$work/trace.$2"
  with_preload "$harntool" play --data "$data" --replay "$1" --trace "$trace"
  "${command[@]}" >"$work/summary.$2" 2>&1 ||
    fail "harntool play --replay $1: $(cat "$work/summary.$2")"
  echo "$trace"
}

# 1. A mode, the title, two levels, the end.
start play
click "resolution list"
wait_for "settings: first mode at"
sleep 0.5  # the list settles where it opens a frame after it appears
click "first mode"
[ -n "$pictures" ] && mkdir -p "$pictures" && "$xprobe" shot "$pictures/whole_program_dialog.png" "$dialog" >/dev/null
click "OK"
wait_for "title: showing 1 drawn"
sleep 3
shot="$work/title.png"
[ -n "$pictures" ] && mkdir -p "$pictures" && shot="$pictures/whole_program_title.png"
lit=$("$xprobe" shot "$shot") || fail "no screenshot"
awk -v lit="$lit" 'BEGIN { exit !(lit > 0.2) }' || fail "the title is black 3 s after it began (lit $lit)"
key Return
wait_for "level: first frame"
sleep 1
key Escape
wait_for "level: ended by"
escape_frames=$(frames_of escape)
[ -n "$escape_frames" ] || fail "the first level did not end by Escape"
sleep 0.5
key Return
wait_for "level: first frame" 2
sleep 1
"$xprobe" close "$(xdotool search --name "^Harnengine$" | head -n 1)" || fail "cannot close the window"
wait_for "level: ended by" 2
closed_frames=$(frames_of "window closed")
[ -n "$closed_frames" ] || fail "closing the window did not end the level"
wait_for "title: showing 3 drawn"
key Escape
wait_exit
grep -q "device: " "$log" || fail "no game window was opened"
[ -n "$pictures" ] && cp "$log" "$pictures/whole_program.log"

# 2. The replays, played back.
mapfile -t kept < <(ls "$replays"/*.replay 2>/dev/null)
[ "${#kept[@]}" -eq 2 ] || fail "${#kept[@]} replays kept, not 2"
check_replay() {
  local first second lines last
  first=$(play_back "$1" a)
  second=$(play_back "$1" b)
  cmp -s "$first" "$second" || fail "two playbacks of $1 differ"
  lines=$(wc -l <"$first")
  [ "$lines" -eq "$2" ] || fail "the playback of $1 has $lines frames, the live play $2"
  last=$(tail -n 1 "$first")
  case "$last" in *"{\"quit\":\"$3\"}"*) ;; *) fail "the playback of $1 did not end by $3: $last" ;; esac
}
check_replay "${kept[0]}" "$escape_frames" escape
check_replay "${kept[1]}" "$closed_frames" "window closed"

# 3. Cancel.
start cancel
click "Cancel"
wait_exit
grep -q "device: " "$log" && fail "Cancel opened a game window"
[ "$(ls "$replays" | wc -l)" -eq 2 ] || fail "Cancel wrote a replay"
echo "whole program: passed (levels of $escape_frames and $closed_frames frames)"
