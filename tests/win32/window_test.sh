#!/usr/bin/env bash
# tolvane.exe under wine's null graphics driver: --version on the console,
# the window worked from another process (window_driver.exe): its size, the
# start page's picture buttons, a page change by a button and by the menu,
# a message box, the custom size dialog, a volume given on the command line,
# the close box ending the program, and a split and its restore through the
# window with paths typed into the choosers.
#   window_test.sh TOLVANE_EXE WINDOW_DRIVER_EXE
set -uo pipefail
. "$(dirname "$0")/../windows/wine_lib.sh"
exe=$(realpath "${1:?}")
driver=$(realpath "${2:?}")

check "--version" "tolvane ${TOLVANE_VERSION:?}" "$(win "$exe" --version 2>/dev/null | tr -d '\r')"
win "$exe" --gibtsnicht >/dev/null 2>&1
check "unknown option" 2 "$?"

drive() { win "$driver" "$exe" "$@" 2>/dev/null | tr -d '\r'; }
# "id class text" of a page dump's controls (without their places).
controls() { awk '{ $3 = ""; print }' | sed 's/  / /'; }

out=$(drive -- window page press:1016 page close)
check "window" "Fenster: Tolvane 534x385" "$(echo "$out" | grep '^Fenster:')"
# The start page is its two picture buttons; a press leads to split page 1.
check "start page" "1016 Button [Bild]
1017 Button [Bild]" "$(echo "$out" | sed -n '2,3p' | controls)"
check "split page after the create button" "1105 Button Selbstentpackendes Archiv!" \
    "$(echo "$out" | controls | grep '^1105 ')"
check "the size choices of split page 1" "1008 Button 2,88 MB
1011 Button 1,44 MB
1010 Button 1,2 MB
1014 Button ZIP100
1016 Button Benutzerdefiniert" "$(echo "$out" | controls | grep -E '^10(08|10|11|14|16) Button [^[]')"
check "close box ends the program" "Rückgabewert: 0" "$(echo "$out" | tail -n 1)"

out=$(drive -- command:40009 page command:40017 page close)
check "About page from the menu has its picture" yes \
    "$(echo "$out" | grep -q '^0 Static .* \[Bild\]$' && echo yes)"
check "Neu goes back to the start page" "1016 Button [Bild]
1017 Button [Bild]" "$(echo "$out" | grep -E '^101[67] ' | tail -n 2 | controls)"

# The A: button without a floppy drive: the message box over the window.
out=$(drive -- press:1017 press:1036 box page close)
check "no medium in A:" "Box: Tolvane | In Laufwerk A ist kein Datenträger eingelegt.
Bitte legen Sie einen Datenträger ein! | OK" "$(echo "$out" | sed -n '/^Box:/,/| OK$/p')"
check "the restore page stays" "1036 Button [Bild]" "$(echo "$out" | controls | grep '^1036 ')"

# The custom size dialog: modal over the window, its steps, OK closes it.
out=$(drive -- press:1016 press:1016 page press:1129 press:1123 page press:1 page close)
values=($(echo "$out" | sed -n 's/^1114 Static [0-9,]* //p' | tr -d .))
check "custom size after +1K and +1M" "$((values[0] + 1024 + 1048576))" "${values[1]:-}"
check "OK ends the dialog, split page 1 again" "1016 Button Benutzerdefiniert" \
    "$(echo "$out" | controls | grep '^1016 Button B')"
check "the program still ends" "Rückgabewert: 0" "$(echo "$out" | tail -n 1)"

# A volume given to the program opens the restore wizard with it chosen.
make_sources "$work/src"
mkdir -p "$work/set"
(cd "$work/src" && "$linux_cli" split --size 100000 -o "$work/set/package.001" "${source_names[@]}" >/dev/null)
out=$(cd "$work/set" && drive package.001 -- page close)
check "the given volume is chosen" yes \
    "$(echo "$out" | grep -qE '^1018 Static [0-9,]+ .*package\.001$' && echo yes)"
check "its file count is shown" "1023 Static 3" "$(echo "$out" | grep '^1023 ' | controls)"

# A split through the window and its restore, with full paths typed into the
# choosers: the files come back byte for byte.
mkdir -p "$work/big" "$work/out" "$work/back"
head -c 2000000 /dev/urandom >"$work/big/groß.bin"
touch -d '2005-06-07 08:09:10.5 UTC' "$work/big/groß.bin"
w() { winepath -w "$1" 2>/dev/null; }
out=$(drive -- press:1016 press:1005 "choose:$(w "$work/big/groß.bin")" \
    press:1004 "choose:$(w "$work/out")\\package.001" press:1001 press:1001 wait:1106 page close)
check "split: completion page" "1106 Static Archiv wurde erfolgreich erstellt" \
    "$(echo "$out" | controls | grep '^1106 ')"
check "split: two volumes" "package.001 package.002" "$(cd "$work/out" && echo package.*)"
out=$(drive -- press:1017 press:1037 "choose:$(w "$work/out")\\package.001" \
    press:1038 "choose:$(w "$work/back")" press:1001 press:1001 wait:1106 page close)
check "restore: completion page" "1106 Static Archiv wurde erfolgreich entpackt" \
    "$(echo "$out" | controls | grep '^1106 ')"
check "restored groß.bin" same "$(same_file "$work/big/groß.bin" "$work/back/groß.bin")"

finish
