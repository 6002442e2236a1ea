#!/usr/bin/env bash
# Installs the build into a temporary prefix and plays the installed launcher
# under a private X server: started from an unrelated folder, the game must
# run in the player's data folder and leave hiscores.hst there and only there.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail

build_dir=$(cd "$1" && pwd)
title="Vollix - By Orlem Vasket"
timeout_s=60

for tool in Xvfb xdotool desktop-file-validate appstreamcli identify; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed"; exit 1; }
done

root=$(mktemp -d "${TMPDIR:-/tmp}/vollix-install.XXXXXX")
xvfb_pid=""
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$root"
}
trap cleanup EXIT

failures=0
passes=0
check() {  # check DESCRIPTION COMMAND...
    local what=$1; shift
    if "$@"; then passes=$((passes + 1)); echo "ok: $what"
    else failures=$((failures + 1)); echo "FAIL: $what"; fi
}

# Polls a command until it succeeds or the timeout passes.
wait_for() {  # wait_for SECONDS COMMAND...
    local deadline=$((SECONDS + $1)); shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

prefix="$root/prefix"
cmake --install "$build_dir" --prefix "$prefix" >"$root/install.log"

# --- Installed files -----------------------------------------------------------
check "launcher on the games path" test -x "$prefix/games/vollix"
check "game binary" test -x "$prefix/lib/games/vollix/vollix"
check "game data" test -s "$prefix/share/games/vollix/data.dat"
check "man page" test -s "$prefix/share/man/man6/vollix.6.gz"
check "copyright" test -s "$prefix/share/doc/vollix/copyright"
check "desktop entry valid" desktop-file-validate "$prefix/share/applications/vollix.desktop"
check "metainfo valid" appstreamcli validate --no-net --no-color \
    "$prefix/share/metainfo/io.github.vollix.Vollix.metainfo.xml" >/dev/null
for size in 16 32 48 64 128 256; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/vollix.png"
    check "icon ${size}px" test "$(identify -format '%m %wx%h' "$icon" 2>/dev/null)" = "PNG ${size}x${size}"
done

# --- A private X server ----------------------------------------------------------
# -noreset: without it the server resets whenever its last client leaves, and
# a game started during that reset cannot connect.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset 3>"$root/display" 2>"$root/xvfb.log" &
xvfb_pid=$!
display_ready() { [ -s "$root/display" ] && grep -q '^[0-9]' "$root/display"; }
wait_for "$timeout_s" display_ready || { echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -n1 "$root/display")"

# Only the game opens windows on this server.
find_window() { window=$(xdotool search --name "^${title}\$" 2>/dev/null | head -n1); [ -n "$window" ]; }
stopped() { ! kill -0 "$game_pid" 2>/dev/null; }

# Holds Escape long enough for a frame of the menu to see it.
tap_escape() {
    xdotool windowfocus "$window" keydown Escape 2>/dev/null || true
    sleep 0.15
    xdotool windowfocus "$window" keyup Escape 2>/dev/null || true
}

# Starts the launcher from FOLDER with the given environment, leaves the game
# through the menu's Exit (Escape twice) and sets exit_code.
play_once() {  # play_once FOLDER ENV...
    local folder=$1; shift
    (cd "$folder" && exec env "$@" "$prefix/games/vollix") >"$root/game.log" 2>&1 &
    game_pid=$!
    window=""
    exit_code=""
    if ! wait_for "$timeout_s" find_window; then
        echo "no game window; its output:"; cat "$root/game.log"
        kill "$game_pid" 2>/dev/null || true
    else
        # The first Escape moves the cursor to Exit and the window stays.
        tap_escape
        check "window still open after the first Escape" xdotool getwindowname "$window" >/dev/null
        # The second leaves; a press the game missed is repeated.
        local presses=1
        while ! stopped && [ "$presses" -lt 10 ]; do
            tap_escape
            presses=$((presses + 1))
            wait_for 5 stopped || true
        done
    fi
    exit_code=0
    wait "$game_pid" || exit_code=$?
    game_pid=""
}

# --- With XDG_DATA_HOME set ----------------------------------------------------------
home="$root/home"; xdg="$root/xdg"; elsewhere="$root/elsewhere"
mkdir -p "$home" "$xdg" "$elsewhere"
play_once "$elsewhere" HOME="$home" XDG_DATA_HOME="$xdg"
check "game left through Exit with code 0 (got $exit_code)" test "$exit_code" = 0
check "hiscores.hst in XDG_DATA_HOME/vollix" test -s "$xdg/vollix/hiscores.hst"
check "data.dat linked to the installed data" \
    test "$(readlink "$xdg/vollix/data.dat")" = "$prefix/share/games/vollix/data.dat"
found=$(find "$root" -name hiscores.hst | sort)
check "hiscores.hst nowhere else (found: $found)" test "$found" = "$xdg/vollix/hiscores.hst"

# A stale link is renewed and the table kept.
ln -sfn "$root/nowhere/data.dat" "$xdg/vollix/data.dat"
cp "$xdg/vollix/hiscores.hst" "$root/hiscores.before"
play_once "$home" HOME="$home" XDG_DATA_HOME="$xdg"
check "second run exits with 0 (got $exit_code)" test "$exit_code" = 0
check "stale data.dat link renewed" \
    test "$(readlink "$xdg/vollix/data.dat")" = "$prefix/share/games/vollix/data.dat"
check "table kept from run to run" cmp -s "$root/hiscores.before" "$xdg/vollix/hiscores.hst"

# --- With XDG_DATA_HOME unset -----------------------------------------------------------
home2="$root/home2"
mkdir -p "$home2"
play_once "$elsewhere" -u XDG_DATA_HOME HOME="$home2"
check "game without XDG_DATA_HOME exits with 0 (got $exit_code)" test "$exit_code" = 0
check "hiscores.hst in HOME/.local/share/vollix" test -s "$home2/.local/share/vollix/hiscores.hst"
check "nothing written in the starting folder" test -z "$(ls -A "$elsewhere")"
check "nothing written in the prefix" test -z "$(find "$prefix" -name hiscores.hst)"

echo "install: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
