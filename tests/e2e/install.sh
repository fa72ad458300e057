#!/usr/bin/env bash
# cmake --install lays out a complete program folder with the commands on
# PATH, the desktop entries and the icons; the installed commands run from
# the program folder they are linked to, and a second install keeps the
# user's settings and downloads.
set -euo pipefail
bin="$1"
build=$(cd "$bin/.." && pwd)
[ -f "$build/CMakeCache.txt" ] || { echo "skipped: $bin is not in a build folder"; exit 77; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix="$tmp/home dir/.local"  # a blank in the path, as some homes have
export HOME="$tmp/home dir"      # the browsers' host manifests go there
cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" || fail "install: $(cat "$tmp/install.log")"
folder="$prefix/lib/tandu"
window=$([ -x "$bin/tandu" ] && echo 1 || echo 0)

# The program folder: the executables, an empty definitions/, nothing else.
expected="definitions tandu-cli tandu-host"
[ "$window" = 1 ] && expected="definitions tandu tandu-cli tandu-host tandu-url tanduxt tanduxt.xpi"
[ "$(ls "$folder" | tr '\n' ' ')" = "$expected " ] || fail "program folder holds: $(ls "$folder")"
[ -d "$folder/definitions" ] && [ -z "$(ls -A "$folder/definitions")" ] || fail "definitions/ is not empty"
for name in $expected; do
    case $name in definitions | tandu-host | tanduxt*) continue ;; esac
    [ -x "$folder/$name" ] || fail "$name is not executable"
    [ -L "$prefix/bin/$name" ] || fail "bin/$name is not a link"
    [ "$(readlink -f "$prefix/bin/$name")" = "$(readlink -f "$folder/$name")" ] || fail "bin/$name points elsewhere"
done

# The installed commands, found on PATH, work on the installed folder.
export PATH="$prefix/bin:$PATH"
[ "$(command -v tandu-cli)" = "$prefix/bin/tandu-cli" ] || fail "tandu-cli is not the installed one"
[ "$(tandu-cli list)" = "$(printf 'File\tSpeed\tState\tSize\tETA')" ] || fail "list: $(tandu-cli list)"
mkdir "$tmp/downloads"
(cd "$tmp" && tandu-cli add http://localhost/a.zip -d "$tmp/downloads" -n 3) || fail "add exited $?"
[ -f "$folder/definitions/a.zip.def" ] || fail "the definition is not in the program folder"
[ "$(tandu-cli list | tail -n 1 | cut -f 1,3)" = "$(printf 'a.zip\tWaiting')" ] || fail "list after add: $(tandu-cli list)"
tandu-cli prefs -n 6 -d "$tmp/downloads" -b 256KB >/dev/null 2>&1 || fail "prefs exited $?"
[ -f "$folder/config.cfg" ] || fail "the settings are not in the program folder"

if [ "$window" = 1 ]; then
    # The menu entry and the URL handler run the program folder's executables.
    apps="$prefix/share/applications"
    [ "$(grep -h '^Exec\|^Icon\|^MimeType' "$apps/tandu.desktop" "$apps/tandu-url.desktop" | tr '\n' ' ')" = \
        "Exec=\"$folder/tandu\" Icon=tandu Exec=\"$folder/tandu-url\" %u Icon=tandu MimeType=x-scheme-handler/http; " ] ||
        fail "desktop entries: $(grep -h '^Exec\|^Icon\|^MimeType' "$apps"/*.desktop)"
    ! command -v desktop-file-validate >/dev/null || desktop-file-validate "$apps"/tandu*.desktop || fail "desktop entries are not valid"
    for size in 16 22 24 32 48 64 128 256; do
        icon="$prefix/share/icons/hicolor/${size}x${size}/apps/tandu.png"
        [ -s "$icon" ] || fail "no $size pixel icon"
        if command -v identify >/dev/null; then
            [ "$(identify -format '%m %wx%h' "$icon")" = "PNG ${size}x${size}" ] || fail "$icon: $(identify "$icon")"
        fi
    done

    # tandu-url hands the address to the tandu-host beside it on standard input, never
    # in arguments; without one it starts tandu, with none.
    mkdir "$tmp/fake" "$tmp/elsewhere"
    cp "$folder/tandu-url" "$tmp/fake/"
    for program in tandu tandu-host; do
        printf '#!/bin/sh\nprintf "%s" >"%s/args"; for a in "$@"; do printf "[%%s]" "$a"; done >>"%s/args"; cat >>"%s/args"\n' \
            "$program" "$tmp" "$tmp" "$tmp" >"$tmp/fake/$program"
        chmod +x "$tmp/fake/$program"
    done
    ln -s "$tmp/fake/tandu-url" "$tmp/elsewhere/tandu-url"
    "$tmp/elsewhere/tandu-url" "http://u:pw@localhost/a b.zip"
    [ "$(cat "$tmp/args")" = "tandu-host[--address]http://u:pw@localhost/a b.zip" ] || fail "tandu-url passed $(cat "$tmp/args")"
    "$tmp/elsewhere/tandu-url" </dev/null
    [ "$(cat "$tmp/args")" = "tandu" ] || fail "tandu-url without an address passed $(cat "$tmp/args")"
    status=0 && { "$tmp/elsewhere/tandu-url" a b 2>/dev/null || status=$?; }
    [ "$status" -eq 2 ] || fail "tandu-url with two addresses: status $status"
fi

# Each browser finds the installed host through its manifest.
for m in .mozilla/native-messaging-hosts .config/{chromium,google-chrome}/NativeMessagingHosts; do
    grep -qF "\"path\": \"$folder/tandu-host\"" "$HOME/$m/org.tandu.host.json" || fail "no $m"
done

# Installing again updates the program and keeps what the user made.
cp "$folder/config.cfg" "$tmp/config.before"
cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" || fail "second install"
cmp "$tmp/config.before" "$folder/config.cfg" || fail "the settings changed"
[ -f "$folder/definitions/a.zip.def" ] || fail "the download was lost"

# A staged install (DESTDIR) names the final place in its entries.
DESTDIR="$tmp/stage" cmake --install "$build" --prefix /opt/tandu >"$tmp/install.log" || fail "staged install"
[ -x "$tmp/stage/opt/tandu/lib/tandu/tandu-cli" ] || fail "staged tandu-cli missing"
[ "$(readlink "$tmp/stage/opt/tandu/bin/tandu-cli")" = "../lib/tandu/tandu-cli" ] || fail "staged link"
if [ "$window" = 1 ]; then
    grep -qxF 'Exec="/opt/tandu/lib/tandu/tandu"' "$tmp/stage/opt/tandu/share/applications/tandu.desktop" ||
        fail "staged entry: $(grep Exec "$tmp/stage/opt/tandu/share/applications/tandu.desktop")"
fi
echo ok
