#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks the layout, the desktop
# files and the icons, and plays the installed launcher under a private X
# server: started from another folder, the game runs in $XDG_DATA_HOME/vollix
# and leaves hiscores.hst there and only there.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
root=$(mktemp -d "${TMPDIR:-/tmp}/vollix-install.XXXXXX")
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; wait; rm -rf "$root"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
wait_for() {  # wait_for SECONDS COMMAND...: polls until the command succeeds
    local deadline=$((SECONDS + $1)); shift
    until "$@"; do [ "$SECONDS" -lt "$deadline" ] || return 1; sleep 0.1; done
}

prefix="$root/prefix"
cmake --install "$1" --prefix "$prefix" >"$root/install.log"
for file in games/vollix lib/games/vollix/vollix share/games/vollix/data.dat share/man/man6/vollix.6.gz \
        share/doc/vollix/copyright; do
    test -s "$prefix/$file" || fail "$file not installed"
done
test -x "$prefix/games/vollix" -a -x "$prefix/lib/games/vollix/vollix" || fail "launcher or game not a program"
desktop-file-validate "$prefix/share/applications/vollix.desktop" || fail "desktop entry"
notes=$(appstreamcli validate --pedantic --no-net "$prefix/share/metainfo/io.github.vollix.Vollix.metainfo.xml") &&
    ! grep -E '^[EWIP]:' <<<"$notes" | grep -v cid-contains-uppercase-letter || fail "metainfo: $notes"
for size in 16 32 48 64 128 256; do
    [ "$(identify -format '%m %wx%h' "$prefix/share/icons/hicolor/${size}x${size}/apps/vollix.png")" = "PNG ${size}x${size}" ] \
        || fail "icon ${size}px"
done

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset 3>"$root/display" 2>/dev/null &
pids+=($!)
wait_for 60 grep -q '^[0-9]' "$root/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$root/display")"
mkdir -p "$root/home" "$root/xdg" "$root/elsewhere"
(cd "$root/elsewhere" && exec env HOME="$root/home" XDG_DATA_HOME="$root/xdg" "$prefix/games/vollix") >"$root/game.log" 2>&1 &
game=$!
pids+=("$game")
find_window() { window=$(xdotool search --name '^Vollix - By Orlem Vasket$' | head -n1); [ -n "$window" ]; }
wait_for 60 find_window || { cat "$root/game.log"; fail "no game window"; }
kill -TERM "$game"  # the launcher execs the game, which saves the table and leaves with 128 + 15
code=0
wait "$game" || code=$?
[ "$code" = 143 ] || fail "exit status $code after SIGTERM"
[ "$(readlink "$root/xdg/vollix/data.dat")" = "$prefix/share/games/vollix/data.dat" ] || fail "data.dat not linked"
[ "$(find "$root" -name hiscores.hst)" = "$root/xdg/vollix/hiscores.hst" ] || fail "hiscores.hst elsewhere than XDG_DATA_HOME/vollix"
echo "install: ok"
