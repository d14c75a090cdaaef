#!/usr/bin/env bash
# The simulator's window on a virtual X server of its own, driven as a person would drive it:
#   (a) keys from the keyboard (a held key is one press), a capture of the window while the file
#       list waits, closing the window (WM_DELETE_WINDOW): status 124, and the capture shows the
#       screenshot pixel for pixel;
#   (b) the front panel's buttons clicked with the mouse, in a window at twice the size that shows
#       each pixel as two by two, and a key script pressing keys beside them;
#   (c) the program's own exit closes the window and gives its status.
# Usage: window-test.sh BINDIR SOURCEDIR OUTDIR (BINDIR holds tovrask-sim, zup, tovrask-picture,
# close-window and same-rgb565). OUTDIR keeps the logs and the captures (window.png).
set -euo pipefail
bin=$1
src=$2
out=$3
# Seconds: only a run that has hung waits this long, however loaded the machine.
hang=180

fail() {
    echo "window-test: $*" >&2
    exit 1
}
for tool in Xvfb xdotool import; do
    command -v "$tool" > /dev/null || fail "$tool is missing (tools/install-deps.sh installs it)"
done

rm -rf "$out"
mkdir -p "$out"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null || true; done
}
trap cleanup EXIT

# wait_for WHAT COMMAND...: polls until COMMAND succeeds.
wait_for() {
    local what=$1 deadline=$((SECONDS + hang))
    shift
    until "$@"; do
        [ $SECONDS -lt $deadline ] || fail "no $what after $hang s"
        # A simulator that has ended will print nothing more: say so at once, with its last lines.
        if [ -n "${sim:-}" ] && ! kill -0 "$sim" 2> /dev/null; then
            "$@" && return
            fail "no $what: tovrask-sim ended early: $(tail -n 3 "$out/$sim_name.out" | tr '\n' '|')"
        fi
        sleep 0.1
    done
}

# Xvfb picks a free display itself (-displayfd), so runs beside other tests never collide.
Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp 3> "$out/display" 2> "$out/xvfb.log" &
pids+=($!)
wait_for "X server" test -s "$out/display"
export DISPLAY=:$(cat "$out/display")
unset WAYLAND_DISPLAY SDL_VIDEODRIVER

bash "$src/tools/make-demo-root.sh" "$out/demo" "$bin" > /dev/null

# start NAME ARGS...: a fresh copy of the demo's device, and tovrask-sim on it in the background.
start() {
    local name=$1
    shift
    cp -a "$out/demo" "$out/$name-root"
    "$bin/tovrask-sim" --root "$out/$name-root" --timeout-ms $((hang * 1000)) "$@" \
        > "$out/$name.out" 2> "$out/$name.err" &
    sim=$!
    sim_name=$name
    pids+=($sim)
}
# printed NAME TEXT [AFTER]: the run printed TEXT (after the line AFTER, if given).
printed() {
    if [ $# -eq 3 ]; then
        sed -n "\\|$3|,\$p" "$out/$1.out" | grep -qF -- "$2"
    else
        grep -qF -- "$2" "$out/$1.out"
    fi
}
# window_of TITLE: the id of the visible window with that title, once it is there.
window_of() {
    timeout $hang xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1
}
# finish NAME STATUS: the run ends with STATUS.
finish() {
    local status=0
    wait "$sim" || status=$?
    [ "$status" -eq "$2" ] || fail "$1: status $status, not $2 ($(cat "$out/$1.err"))"
}
# capture WINDOW FILE: the window once it stops changing; the program is waiting for keys.
capture() {
    local deadline=$((SECONDS + hang)) same=0
    import -window "$1" "png:$2"
    while [ $same -lt 4 ]; do
        [ $SECONDS -lt $deadline ] || fail "the window never stood still"
        sleep 0.25
        import -window "$1" "png:$2.next"
        if "$bin/same-rgb565" "$2.next" "$2" 2> /dev/null; then same=$((same + 1)); else same=0; fi
        mv "$2.next" "$2"
    done
}

echo "(a) keyboard, capture, close"
start a --window --screenshot "$out/a-screen.png"
wait_for '"Boot options"' printed a "m_eState == sUpgrade"
win=$(window_of "tovrask-sim 800x480")
[ -n "$win" ] || fail "(a): no window"
xdotool windowfocus --sync "$win"
# Down held for longer than the keyboard's repeat delay is still one press: "Update", not the item
# after it.
xdotool keydown Down sleep 1.5 keyup Down key Return
wait_for "file list" printed a "Focus set directly." "Mounted /mnt/usb/"
capture "$win" "$out/window.png"
"$bin/close-window" "$win"
finish a 124
[ "$(cat "$out/a.err")" = "tovrask-sim: the window was closed" ] || fail "(a): stderr: $(cat "$out/a.err")"
"$bin/same-rgb565" "$out/window.png" "$out/a-screen.png" || fail "(a): the window does not show the screenshot"
[ ! -e "$out/a-root/dev/event2" ] || fail "(a): the key device was left behind"

echo "(b) the buttons, at twice the size, and a key script beside them"
# The person opens the file list; the script then goes back to "Boot options".
start b --window --scale 2 --screenshot "$out/b-screen.png" --keys 'until:"Mounted /mnt/usb/" ESC'
wait_for '"Boot options"' printed b "m_eState == sUpgrade"
win=$(window_of "tovrask-sim 800x480")
[ -n "$win" ] || fail "(b): no window"
geometry=$(xdotool getwindowgeometry "$win" | sed -n 's/ *Geometry: //p')
[ "$geometry" = "1600x1044" ] || fail "(b): the window is $geometry"
# The strip under the display: buttons 30 pixels high from y 486; DOWN's middle is at x 341.
xdotool mousemove --window "$win" $((341 * 2)) $((501 * 2)) click 1
# ENTER's middle is at x 115.
xdotool mousemove --window "$win" $((115 * 2)) $((501 * 2)) click 1
wait_for "file list" printed b "Mounted /mnt/usb/"
wait_for "script's ESC" printed b "m_eState == sUpgrade" "Mounted /mnt/usb/"
capture "$win" "$out/window-2x.png"
"$bin/close-window" "$win"
finish b 124
"$bin/same-rgb565" --scale 2 "$out/window-2x.png" "$out/b-screen.png" ||
    fail "(b): the window does not show the screenshot at twice its size"

echo "(c) the program's exit closes the window"
start c --window
wait_for '"Boot options"' printed c "m_eState == sUpgrade"
win=$(window_of "tovrask-sim 800x480")
[ -n "$win" ] || fail "(c): no window"
xdotool windowfocus --sync "$win"
xdotool key Return  # "Start Normally"
finish c 0
printed c "Switching to main application." || fail "(c): the program did not start the application"
! xdotool search --name "^tovrask-sim" > /dev/null || fail "(c): the window is still there"

echo "window-test: all passed"
