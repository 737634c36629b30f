#!/usr/bin/env bash
# The files that make Tolvane at home on a desktop, checked with the
# desktop's own tools: the desktop entry, the software-centre entry, and the
# MIME type as xdg-mime finds it for volumes that tolvane-cli writes.
set -u
source "$(dirname "$0")/../cli/test_lib.sh"
: "${TOLVANE_DESKTOP_FILE:?}" "${TOLVANE_METAINFO:?}" "${TOLVANE_MIME_XML:?}" "${ROBOT_DAT:?}"

# The validators must accept the files (desktop-file-validate silently).
out=$(desktop-file-validate "$TOLVANE_DESKTOP_FILE" 2>&1)
check "desktop-file-validate" "0:" "$?:$out"
out=$(appstreamcli validate --no-net "$TOLVANE_METAINFO" 2>&1)
check "appstreamcli validate" 0 "$?"
[ "$?" -eq 0 ] || echo "$out"

# The MIME type in a data folder of its own, as the package installs it.
data=$work/data
mkdir -p "$data/mime/packages"
cp "$TOLVANE_MIME_XML" "$data/mime/packages/"
update-mime-database "$data/mime" >/dev/null 2>&1
filetype() {
    env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION \
        -u GNOME_DESKTOP_SESSION_ID XDG_DATA_HOME="$data" xdg-mime query filetype "$1"
}

mkdir -p "$work/plain" "$work/sfx"
head -c 2000000 /dev/urandom >"$work/daten.bin"
"$cli" split -o "$work/plain/package.001" "$work/daten.bin" >/dev/null
"$cli" split --sfx --robot "$ROBOT_DAT" -o "$work/sfx/package.exe" "$work/daten.bin" >/dev/null
printf 'Nur ein Text.\n' >"$work/notiz.txt"
printf 'PACK\0\0\0\0\0\0\0\0\0\0\0\0' >"$work/spiel.pak"             # a game archive
printf 'PACK\0000x01\0000002\0000001\000' >"$work/kaputt.002"          # a letter in a slot
for volume in plain/package.001 plain/package.002 sfx/package.exe sfx/package.002; do
    check "$volume is a volume" application/x-tolvane-volume "$(filetype "$work/$volume")"
done
check "a text file is none" text/plain "$(filetype "$work/notiz.txt")"
check "PACK alone is none" application/x-pak "$(filetype "$work/spiel.pak")"
check "a head with a letter in a slot is none" application/x-pak "$(filetype "$work/kaputt.002")"
finish
