#!/usr/bin/env bash
# Measures the real game in a private Xvfb and prints a report:
#   - start-up: exec to the first menu frame on screen (the yellow volume bar);
#   - logic steps and frames shown per second over 10 seconds of a Fun game,
#     which cannot end in that time (a Normal one can, by the spawn odds);
#   - processor share on the menu, the table, the game-over wait, the name
#     entry and a paused game, beside a bare Allegro program (window, 60 Hz
#     timer, vsync + blit); the logic steps run while paused and just after;
#   - peak resident memory, and resident memory after 1 and 200 table visits;
#   - processor share of the menu and of a game at 1x and, grown by F11, 4x
#     (the private screen is 3840x2160, where F11 gives 2560x1920).
#
# Usage: scripts/measure.sh [BUILD_DIR]     (default: build-bench; built if needed)
#
# The game is not changed: steps and frames are counted by an LD_PRELOAD probe
# (bench/step_probe.cpp) that sees rand() called from Game::logicStep (once per
# step; it finds that function in the game's symbols itself) and blit() to the
# screen (once per frame). Processor shares come from utime + stime in
# /proc/<pid>/stat over a fixed wall window.
# Needs: Xvfb, xdotool, pack (liballegro4-dev).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build-bench}")
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target vollix vollix_data vollix_idle_baseline vollix_step_probe vollix_xwatch >/dev/null

GAME=$build/vollix
BASELINE=$build/bench/vollix_idle_baseline
PROBE=$build/bench/libvollix_step_probe.so
XWATCH=$build/bench/vollix_xwatch
TITLE="Vollix - By Orlem Vasket"
BASE_TITLE="Vollix baseline"
WINDOW=${VOLLIX_MEASURE_WINDOW:-10}   # seconds per processor-share window
HZ=$(getconf CLK_TCK)

work=$(mktemp -d /tmp/vollix-measure-XXXXXX)
xvfb_pid=""
game_pid=""

# Ends what we started, by pid.
cleanup() {
    [ -n "$game_pid" ] && stop_pid "$game_pid"
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# SIGTERM asks the game to quit through its normal shutdown; then waits for it.
stop_pid() {
    kill -TERM "$1" 2>/dev/null || return 0
    for _ in $(seq 100); do [ -d "/proc/$1" ] || return 0; sleep 0.05; done
    kill -KILL "$1" 2>/dev/null || true
}

# Private X server; -displayfd tells us which display it took.
start_xvfb() {
    Xvfb -displayfd 5 -screen 0 3840x2160x24 -nolisten tcp -noreset 5>"$work/display" 2>/dev/null &
    xvfb_pid=$!
    for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
    export DISPLAY=":$(head -n1 "$work/display")"
}

# Processor ticks (utime + stime) of all threads of a process.
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# Ticks of the main thread alone.
main_ticks() { awk '{print $14 + $15}' "/proc/$1/task/$1/stat"; }
now_ns() { date +%s%N; }

# Prints "share main_share" in % of one core over WINDOW seconds.
cpu_share() {
    local pid=$1 t0 m0 w0 t1 m1 w1
    t0=$(ticks "$pid"); m0=$(main_ticks "$pid"); w0=$(now_ns)
    sleep "$WINDOW"
    t1=$(ticks "$pid"); m1=$(main_ticks "$pid"); w1=$(now_ns)
    awk -v t="$((t1 - t0))" -v m="$((m1 - m0))" -v w="$((w1 - w0))" -v hz="$HZ" \
        'BEGIN { printf "%.1f %.1f\n", 100 * t / hz / (w / 1e9), 100 * m / hz / (w / 1e9) }'
}

status_kb() { awk -v k="$2:" '$1 == k {print $2}' "/proc/$1/status"; }

# Starts a program in dir, prints "pid ms" (ms = exec to the yellow bar on screen).
launch() {
    local dir=$1 title=$2; shift 2
    (cd "$dir" && "$XWATCH" launch "$title" "$@") | sed -E 's/pid=([0-9]+) ms=([-0-9.]+)/\1 \2/'
}

# Presses each named key for 40 ms, 40 ms apart (the menu reads held keys once a frame).
keys() {
    local chain=()
    for k in "$@"; do chain+=(keydown "$k" sleep 0.04 keyup "$k" sleep 0.04); done
    xdotool "${chain[@]}"
}

focus() {
    local id
    id=$(xdotool search --name "^$1\$" | head -n1)
    xdotool windowfocus "$id"
}

bar() { "$XWATCH" wait "$TITLE" "$1" "${2:-15000}" >/dev/null; }

# The game window's width.
width() { xdotool getwindowgeometry "$(xdotool search --name "^$TITLE\$" | head -n1)" | awk '/Geometry/ {print $2 + 0}'; }

# F11, then waits until the window has another width; the remapped window
# needs the focus back (there is no window manager to give it).
grow() {
    local before
    before=$(width)
    focus "$TITLE"
    keys F11
    for _ in $(seq 200); do [ "$(width)" != "$before" ] && break; sleep 0.05; done
    focus "$TITLE"
    sleep 1
}

# Reads the probe's counters: "steps frames".
probe_counts() { od -An -t u8 -N16 "$1" | awk '{print $1, $2}'; }

# A hiscores.hst with five empty names and scores 0: any score earns a place.
seed_zero_table() {
    head -c 100 /dev/zero >"$work/zero.bin"
    (cd "$work" && pack zero.bin zero.hst >/dev/null)
    cp "$work/zero.hst" "$1/hiscores.hst"
}

new_game_dir() {
    local d
    d=$(mktemp -d "$work/run-XXXX")
    cp "$build/data.dat" "$d/"
    echo "$d"
}

start_xvfb
echo "Machine: $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p')"
echo "Load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
echo

# ---- start-up ------------------------------------------------------------
echo "== Start-up: exec to first menu frame (5 runs) =="
startups=()
for i in 1 2 3 4 5; do
    dir=$(new_game_dir)
    read -r game_pid ms < <(launch "$dir" "$TITLE" "$GAME")
    startups+=("$ms")
    stop_pid "$game_pid"; game_pid=""
done
bases=()
for i in 1 2 3; do
    read -r game_pid ms < <(launch "$work" "$BASE_TITLE" "$BASELINE")
    bases+=("$ms")
    stop_pid "$game_pid"; game_pid=""
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
echo "vollix   ms: ${startups[*]}  median $(median "${startups[@]}")  (goal < 150)"
echo "baseline ms: ${bases[*]}  median $(median "${bases[@]}")  (bare window + first frame)"
echo

# ---- steps and frames per second -------------------------------------------
echo "== 10 seconds of a game (Fun, left alone: only 1000 landings end it) =="
dir=$(new_game_dir)
read -r game_pid ms < <(launch "$dir" "$TITLE" /usr/bin/env LD_PRELOAD="$PROBE" \
    VOLLIX_PROBE_OUT="$work/probe-play" "$GAME")
focus "$TITLE"
keys Down Right Right Up Return   # Fun
bar absent
sleep 1
read -r s0 f0 < <(probe_counts "$work/probe-play"); w0=$(now_ns)
c0=$(ticks "$game_pid")
sleep 10
read -r s1 f1 < <(probe_counts "$work/probe-play"); w1=$(now_ns)
c1=$(ticks "$game_pid")
awk -v s="$((s1 - s0))" -v f="$((f1 - f0))" -v c="$((c1 - c0))" -v w="$((w1 - w0))" -v hz="$HZ" 'BEGIN {
    t = w / 1e9
    printf "logic steps/s %.1f   frames shown/s %.1f   processor %.1f %% of a core (over %.2f s)\n",
           s / t, f / t, 100 * c / hz / t, t }'
# Steps run only in the play loop: none after the window means the game had left it, and the figures
# above count time outside a game.
sleep 0.5
read -r s2 _ < <(probe_counts "$work/probe-play")
[ "$s2" -gt "$s1" ] || echo "NOT A GAME: the game left its play loop before the window closed; the figures above do not hold"
stop_pid "$game_pid"; game_pid=""
echo

# ---- processor share of each screen ------------------------------------------
echo "== Processor share, % of one core over ${WINDOW} s (all threads / main thread) =="
read -r game_pid ms < <(launch "$work" "$BASE_TITLE" "$BASELINE")
read -r base base_main < <(cpu_share "$game_pid")
stop_pid "$game_pid"; game_pid=""

dir=$(new_game_dir)
seed_zero_table "$dir"
read -r game_pid ms < <(launch "$dir" "$TITLE" /usr/bin/env LD_PRELOAD="$PROBE" \
    VOLLIX_PROBE_OUT="$work/probe-screens" "$GAME")
focus "$TITLE"
sleep 1
read -r menu menu_main < <(cpu_share "$game_pid")

keys Down Down Return
bar absent
sleep 1
read -r table table_main < <(cpu_share "$game_pid")
keys space
bar present

# Easy, then Play; the game is left alone until 5 troopers have landed.
keys Down Left Up Return
bar absent
# P pauses that game for one window: no step may run while it waits, and P
# again must not replay the waited steps (about 60 in the second after it).
sleep 1
keys p
sleep 1
read -r p0 _ < <(probe_counts "$work/probe-screens")
read -r paused paused_main < <(cpu_share "$game_pid")
read -r p1 _ < <(probe_counts "$work/probe-screens")
keys p
sleep 1
read -r p2 _ < <(probe_counts "$work/probe-screens")
# The game-over wait shows no new frames: wait until the frame count stands still.
read -r _ last < <(probe_counts "$work/probe-screens")
still=0
for _ in $(seq 1200); do
    sleep 0.25
    read -r _ f < <(probe_counts "$work/probe-screens")
    if [ "$f" = "$last" ]; then still=$((still + 1)); else still=0; last=$f; fi
    [ "$still" -ge 4 ] && break
done
read -r over over_main < <(cpu_share "$game_pid")

keys space      # ends the wait; score 0 still earns a place on the zero table
sleep 1
read -r entry entry_main < <(cpu_share "$game_pid")
keys Escape
bar present
hwm_screens=$(status_kb "$game_pid" VmHWM)
stop_pid "$game_pid"; game_pid=""

row() {
    awk -v n="$1" -v v="$2" -v m="$3" -v b="$base" 'BEGIN {
        d = v - b
        printf "%-18s %6.1f %%  main %5.1f %%   baseline %5.1f %%   diff %+5.1f  %s\n",
               n, v, m, b, d, (d <= 2 ? "ok" : "OVER") }'
}
printf "%-18s %6.1f %%  main %5.1f %%\n" "baseline" "$base" "$base_main"
row "menu" "$menu" "$menu_main"
row "table" "$table" "$table_main"
row "game-over wait" "$over" "$over_main"
row "name entry" "$entry" "$entry_main"
row "paused game" "$paused" "$paused_main"
echo "logic steps while paused $((p1 - p0)); in the second after resuming $((p2 - p1))"
echo

# ---- the grown window --------------------------------------------------------
echo "== Processor share at 1x and at 4x (F11), % of one core over ${WINDOW} s =="
dir=$(new_game_dir)
read -r game_pid ms < <(launch "$dir" "$TITLE" "$GAME")
focus "$TITLE"
sleep 1
read -r menu1 _ < <(cpu_share "$game_pid")
grow
read -r menu4 _ < <(cpu_share "$game_pid")
grown_width=$(width)
grow
keys Down Right Right Up Return   # Fun: a game that only ESC ends
bar absent
sleep 1
read -r game1 _ < <(cpu_share "$game_pid")
grow
read -r game4 _ < <(cpu_share "$game_pid")
stop_pid "$game_pid"; game_pid=""
awk -v m1="$menu1" -v m4="$menu4" -v g1="$game1" -v g4="$game4" -v w="$grown_width" 'BEGIN {
    printf "menu  1x %5.1f %%   4x (%d wide) %5.1f %%   ratio %.2f  %s\n", m1, w, m4, m4 / m1,
           (m4 <= 2 * m1 ? "ok (goal: at most 2)" : "OVER (goal: at most 2)")
    printf "game  1x %5.1f %%   4x %5.1f %%   ratio %.2f (Fun preset, the sky filling)\n", g1, g4, g4 / g1 }'
echo

# ---- memory ----------------------------------------------------------------
echo "== Memory =="
dir=$(new_game_dir)
read -r game_pid ms < <(launch "$dir" "$TITLE" "$GAME")
focus "$TITLE"
visit_table() {
    keys Down Down Return
    bar absent
    keys space
    bar present
}
visit_table
rss1=$(status_kb "$game_pid" VmRSS)
for _ in $(seq 199); do visit_table; done
rss200=$(status_kb "$game_pid" VmRSS)
hwm=$(status_kb "$game_pid" VmHWM)
stop_pid "$game_pid"; game_pid=""
echo "peak resident (VmHWM): table visits ${hwm} kB, screens run ${hwm_screens} kB"
echo "resident after 1 table visit ${rss1} kB, after 200 ${rss200} kB (change $((rss200 - rss1)) kB)"
echo "Load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
