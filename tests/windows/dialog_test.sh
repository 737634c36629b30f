#!/usr/bin/env bash
# The stub's dialog under wine's null graphics driver, worked from another
# process (robot_dialog_driver.exe): the summary in the status line, Start,
# the folder question answered with a folder, "Archiv erfolgreich entpackt!",
# Quit.
set -uo pipefail
. "$(dirname "$0")/wine_lib.sh"

make_sources "$work/src"
# The folder browser selects folders of drive C: (the prefix's drive_c).
target_name=tolvane-dialog-$$
target=${WINEPREFIX:?}/drive_c/$target_name
trap 'rm -rf "$work" "$target"' EXIT
mkdir -p "$work/set" "$target"
(cd "$work/src" && "$linux_cli" split --sfx --size 100000 -o "$work/set/package.exe" "${source_names[@]}" >/dev/null)
cd "$work/set"
out=$(win "${TOLVANE_DIALOG_DRIVER:?}" package.exe "C:\\$target_name" 2>/dev/null)
check "driver exit code" 0 "$?"
check "what the dialog showed" "Status: Files:3, FileSize:250018, Disks:4
Start: an
Status: Archiv erfolgreich entpackt!
Start: aus
Rückgabewert: 0" "$(echo "$out" | grep -v '^Ordnerfrage:')"
check "a folder question was asked" yes "$(echo "$out" | grep -q '^Ordnerfrage:' && echo yes)"
for f in "${source_names[@]}"; do
    check "unpacked $f" same "$(same_file "$work/src/$f" "$target/$f")"
done

finish
