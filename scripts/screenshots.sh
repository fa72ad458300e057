#!/usr/bin/env bash
# Takes the README's screenshots: the window idle, during a real (slowed)
# download on each detail page, and every dialog, at 96 and at 144 DPI.
# Everything runs in a private network namespace where nginx serves a file
# on 127.0.0.1:80, with its own X server, window manager and program folder.
#
#   bash scripts/screenshots.sh [OUT_DIR]     (default docs/screenshots)
#
# TANDU_SHOT_DISPLAYS="97 197" picks the X display numbers (else free ones).
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$repo/docs/screenshots}")

if [ -z "${TANDU_IN_NETNS:-}" ]; then
    bash "$repo/scripts/build.sh"
    # A window manager draws the title bars the pictures should show.
    if ! command -v openbox >/dev/null; then
        sudo=""
        [ "$(id -u)" -eq 0 ] || sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends openbox
    fi
    mkdir -p "$out"
    if [ "$(id -u)" -eq 0 ]; then
        TANDU_IN_NETNS=1 exec unshare -n bash "$0" "$out"
    fi
    TANDU_IN_NETNS=1 exec unshare -rn bash "$0" "$out"
fi

# ------------------------------------------------------------ inside the namespace
ip link set lo up
# shellcheck source=../tests/e2e/lib/servers.sh
source "$repo/tests/e2e/lib/servers.sh"
bin="$repo/build/bin"
work=$(mktemp -d)
chmod 755 "$work"  # nginx's workers read from it
pids=()
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
    stop_nginx "$work"
    rm -rf "$work"
}
trap cleanup EXIT

# 700 MB served at 48 KB/s a connection: the download runs the whole time.
mkdir -p "$work/www"
truncate -s 734003200 "$work/www/debian-dvd-1.iso"
start_nginx "$work/www" "$work" 48k

free_display() {
    local n=$1
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    echo "$n"
}
read -r -a displays <<<"${TANDU_SHOT_DISPLAYS:-$(free_display 140) $(free_display 240)}"

# Row cells as the window reads them at start-up; the row of a name, from 0.
row_of() {
    "$prog/tandu-cli" list | tail -n +2 | cut -f 1 | grep -nxF "$1" | cut -d: -f1 | awk '{print $1 - 1}'
}

key() {
    xdotool key --delay 60 "$@"
    sleep 0.5
}
type_text() {
    xdotool type --delay 20 "$1"
    sleep 0.3
}
# Menu $1 (0 = File ...), item $2 (0 = the first), by the keyboard.
menu() {
    key alt
    for ((i = 0; i < $1; i++)); do key Right; done
    key Return
    for ((i = 0; i < $2; i++)); do key Down; done
    key Return
    sleep 0.5
}
# The active window with its title bar; 256 colours are plenty for a window.
shot() {
    local id
    id=$(xdotool getactivewindow)
    sleep 0.3
    import -frame -window "$id" -strip -dither None -colors 256 PNG8:"$out/$1-$dpi.png"
    echo "  $1-$dpi.png"
}
# A click at twips ($1, $2) of the main window's client area below the menu bar.
click_twips() {
    local x y
    x=$(awk -v t="$1" -v s="$scale" 'BEGIN { printf "%d", t / 15 * s }')
    y=$(awk -v t="$2" -v s="$scale" -v m="$menubar" 'BEGIN { printf "%d", t / 15 * s + m }')
    xdotool mousemove --window "$main" "$x" "$y" click 1
    sleep 0.6
    xdotool mousemove 0 0
}

take() {
    local display=$1 dpi=$2
    scale=$(awk -v d="$dpi" 'BEGIN { print d / 96 }')
    echo "$dpi DPI on :$display"
    export DISPLAY=":$display"
    Xvfb "$DISPLAY" -screen 0 "$((1280 * dpi / 96))x$((1024 * dpi / 96))x24" -nolisten tcp \
        >"$work/xvfb-$dpi.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    openbox >"$work/openbox-$dpi.log" 2>&1 &
    pids+=($!)
    sleep 1

    # The program folder: settings, one waiting download on the server, one
    # paused half-way, one more waiting.
    prog="$work/prog-$dpi"
    local downloads="$work/downloads-$dpi/"
    mkdir -p "$prog/definitions" "$downloads" "$work/home-$dpi" "$work/run-$dpi"
    chmod 700 "$work/run-$dpi"
    cp "$bin/tandu" "$bin/tandu-cli" "$prog/"
    printf '1.0\r\n4\r\n%s\r\n512KB\r\n' "$downloads" >"$prog/config.cfg"
    add_waiting "$prog" debian-dvd-1.iso http://localhost/debian-dvd-1.iso \
        "$downloads" 4
    add_waiting "$prog" release-notes.pdf http://www.example.com/docs/release-notes.pdf \
        "$downloads" 4
    printf 'photos-2023.zip\r\nDownloading\r\nhttp://www.example.com/photos-2023.zip\r\n%s\r\n4\r\n 48000000 \r\n 12000000 \r\n 0 \r\n' \
        "$downloads" >"$prog/definitions/photos-2023.zip.def"
    printf '9000000-12000000\r\n12000000-12000000\r\n4500000-12000000\r\n7000000-12000000\r\n' \
        >"$prog/definitions/photos-2023.zip.dwn"

    local qtdpi=()
    [ "$dpi" = 96 ] || qtdpi=(QT_FONT_DPI="$dpi")
    HOME="$work/home-$dpi" XDG_RUNTIME_DIR="$work/run-$dpi" TMPDIR="$work" \
        env "${qtdpi[@]}" "$prog/tandu" >"$work/tandu-$dpi.log" 2>&1 &
    local app=$!
    pids+=("$app")
    main=""
    for _ in $(seq 100); do
        main=$(xdotool search --name '^Tandu Download Manager - Beta 1$' 2>/dev/null | head -n 1) && [ -n "$main" ] && break
        sleep 0.1
    done
    [ -n "$main" ] || { cat "$work/tandu-$dpi.log"; echo "the window never showed" >&2; exit 1; }
    xdotool windowmove --sync "$main" 40 40 windowactivate --sync "$main"
    sleep 1
    # The client area is the menu bar plus 4980 twips (see QtMainWindow).
    local height
    height=$(xdotool getwindowgeometry --shell "$main" | sed -n 's/^HEIGHT=//p')
    menubar=$(awk -v h="$height" -v s="$scale" 'BEGIN { printf "%d", h - int(4980 / 15 * s + 0.5) }')
    xdotool mousemove 0 0
    shot main-idle

    menu 0 0
    type_text "http://www.example.com/files/report.pdf"
    shot add-url
    key Escape
    menu 0 1
    type_text "http://www.example.com/photos/img#.jpg"
    shot add-sequence
    key Escape
    menu 0 2
    key Tab Tab
    type_text "http://www.example.com/files/part1.zip"
    key Return
    type_text "http://www.example.com/files/part2.zip"
    shot add-list
    key Escape
    menu 2 0
    shot preferences
    key Escape
    menu 4 0
    shot about
    key Escape
    # Check URL asks the server on loopback: its answer is the message box.
    menu 2 2
    type_text "http://localhost/debian-dvd-1.iso"
    shot check-url
    key Return
    sleep 0.5
    key Return
    sleep 1
    shot message
    key Return

    # The real download: choose its row with the arrow keys, start it with
    # the button after the list, let the figures settle.
    local row
    row=$(row_of debian-dvd-1.iso)
    xdotool windowactivate --sync "$main"
    click_twips 6000 3600  # below the rows: the list takes the focus, no row
    for ((i = 0; i <= row; i++)); do key Down; done
    key Tab space
    sleep 5
    shot transfer-general
    # The focus went on from the start button, now disabled, to the first
    # control that takes it: the tab bar, whose arrow keys change pages.
    key Right
    shot transfer-pieces
    # The mouse on the tabs at the top of the tab strip (left 1980, top 2280 twips).
    click_twips "$((1980 + 2400))" 2460
    shot transfer-buffer
    click_twips "$((1980 + 450))" 2460
    kill "$app"
    wait "$app" 2>/dev/null || true
}

take "${displays[0]}" 96
take "${displays[1]}" 144
ls -la "$out"
