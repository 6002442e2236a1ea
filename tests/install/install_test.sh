#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks the layout, the desktop
# files and the icons, and plays the installed launcher under a private X
# server: started from another folder, the game runs in $XDG_DATA_HOME/vollix
# and leaves hiscores.hst there and only there.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build_dir=$(cd "$1" && pwd)
root=$(mktemp -d "${TMPDIR:-/tmp}/vollix-install.XXXXXX")
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; wait; rm -rf "$root"' EXIT

passes=0
failures=0
check() {  # check DESCRIPTION COMMAND...
    local what=$1; shift
    if "$@"; then passes=$((passes + 1)); echo "ok: $what"; else failures=$((failures + 1)); echo "FAIL: $what"; fi
}
wait_for() {  # wait_for SECONDS COMMAND...: polls until the command succeeds
    local deadline=$((SECONDS + $1)); shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

prefix="$root/prefix"
cmake --install "$build_dir" --prefix "$prefix" >"$root/install.log"
for file in games/vollix lib/games/vollix/vollix share/games/vollix/data.dat share/man/man6/vollix.6.gz \
        share/doc/vollix/copyright; do
    check "$file installed" test -s "$prefix/$file"
done
check "launcher and game are programs" test -x "$prefix/games/vollix" -a -x "$prefix/lib/games/vollix/vollix"
check "desktop entry valid" desktop-file-validate "$prefix/share/applications/vollix.desktop"
quiet() { "$@" >/dev/null; }
check "metainfo valid" quiet appstreamcli validate --no-net --no-color \
    "$prefix/share/metainfo/io.github.vollix.Vollix.metainfo.xml"
for size in 16 32 48 64 128 256; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/vollix.png"
    check "icon ${size}px" test "$(identify -format '%m %wx%h' "$icon" 2>/dev/null)" = "PNG ${size}x${size}"
done

# -noreset: the server stays up when its last client leaves.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset 3>"$root/display" 2>/dev/null &
pids+=($!)
wait_for 60 grep -q '^[0-9]' "$root/display" || { echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -n1 "$root/display")"

# Started from an unrelated folder and left through the menu's Exit: the
# first Escape moves to Exit, the next leaves; a press the game missed is repeated.
mkdir -p "$root/home" "$root/xdg" "$root/elsewhere"
(cd "$root/elsewhere" && exec env HOME="$root/home" XDG_DATA_HOME="$root/xdg" "$prefix/games/vollix") \
    >"$root/game.log" 2>&1 &
game=$!
pids+=("$game")
find_window() { window=$(xdotool search --name '^Vollix - By Orlem Vasket$' 2>/dev/null | head -n1); [ -n "$window" ]; }
stopped() { ! kill -0 "$game" 2>/dev/null; }
wait_for 60 find_window || { cat "$root/game.log"; echo "FAIL: no game window"; exit 1; }
for press in 1 2 3 4 5 6 7 8 9 10; do
    stopped && break
    xdotool windowfocus "$window" keydown Escape 2>/dev/null || true
    sleep 0.15 # held long enough for a frame of the menu to see it
    xdotool windowfocus "$window" keyup Escape 2>/dev/null || true
    [ "$press" -lt 2 ] || wait_for 5 stopped || true
done
code=0
wait "$game" || code=$?
check "left through Exit with code 0 (got $code)" test "$code" = 0
check "hiscores.hst in XDG_DATA_HOME/vollix" test -s "$root/xdg/vollix/hiscores.hst"
check "data.dat linked to the installed data" \
    test "$(readlink "$root/xdg/vollix/data.dat")" = "$prefix/share/games/vollix/data.dat"
found=$(find "$root" -name hiscores.hst)
check "hiscores.hst nowhere else (found: $found)" test "$found" = "$root/xdg/vollix/hiscores.hst"

echo "install: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
