#!/usr/bin/env bash
# The Debian package as a user gets it: cpack builds it from this build, its
# control data names the computed dependencies, lintian finds no error or warning, and
# the programs unpacked from it into a fresh root work there: tolvane-cli
# makes a self-extracting set with the stub from the installed place and
# restores it.
set -u
TOLVANE_CLI=${TOLVANE_CLI:-tolvane-cli}  # the build's, only for test_lib.sh
source "$(dirname "$0")/../cli/test_lib.sh"
build=${TOLVANE_BUILD_DIR:?TOLVANE_BUILD_DIR names the build folder}
version=${TOLVANE_VERSION:?}

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1 ||
    cat "$work/cpack.log"
deb=$work/pkg/tolvane_${version}_$(dpkg --print-architecture).deb
check "package name" yes "$([ -f "$deb" ] && echo yes)"
[ -f "$deb" ] || { ls "$work/pkg"; finish; exit; }

depends=$(dpkg-deb -f "$deb" Depends)
check "Depends is computed: Qt 6 Widgets" yes "$([[ $depends == *libqt6widgets6* ]] && echo yes)"
check "Depends is computed: libc" yes "$([[ $depends == *libc6* ]] && echo yes)"
check "version" "$version" "$(dpkg-deb -f "$deb" Version)"
check "German description" yes \
    "$(dpkg-deb -f "$deb" Description | grep -q 'Datenträger fester Größe' && echo yes)"

files=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '/$' | sort)
check "files in their places" "./usr/bin/tolvane
./usr/bin/tolvane-cli
./usr/lib/tolvane/Robot.dat
./usr/lib/tolvane/robot-linux.dat
./usr/share/applications/tolvane.desktop
./usr/share/bash-completion/completions/tolvane-cli
./usr/share/doc/tolvane/changelog.gz
./usr/share/doc/tolvane/copyright
./usr/share/icons/hicolor/128x128/apps/tolvane.png
./usr/share/icons/hicolor/16x16/apps/tolvane.png
./usr/share/icons/hicolor/256x256/apps/tolvane.png
./usr/share/icons/hicolor/32x32/apps/tolvane.png
./usr/share/icons/hicolor/48x48/apps/tolvane.png
./usr/share/icons/hicolor/64x64/apps/tolvane.png
./usr/share/icons/hicolor/scalable/apps/tolvane.svg
./usr/share/man/man1/tolvane-cli.1.gz
./usr/share/man/man1/tolvane.1.gz
./usr/share/metainfo/org.tolvane.Tolvane.metainfo.xml
./usr/share/mime/packages/tolvane-volume.xml
./usr/share/tolvane/hilfe.htm" "$files"

lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1
check "lintian finds no error and no warning" "0" "$?"
grep -v '^running with root' "$work/lintian.log"

root=$work/root
dpkg -x "$deb" "$root"
installed=$root/usr/bin/tolvane-cli
check "installed tolvane-cli --version" "tolvane-cli $version" "$("$installed" --version)"
check "installed tolvane --version" "tolvane $version" "$("$root/usr/bin/tolvane" --version)"

mkdir -p "$work/src" "$work/set" "$work/back"
head -c 3000000 /dev/urandom >"$work/src/daten.bin"
printf 'Hallo\n' >"$work/src/brief.txt"
(cd "$work" && "$installed" split --sfx -o set/package.exe src/daten.bin src/brief.txt \
    </dev/null >/dev/null 2>"$work/err")
check "split --sfx with the installed stub" "0:" "$?:$(cat "$work/err")"
stub=$root/usr/lib/tolvane/Robot.dat
check "package.exe starts with the installed Robot.dat" yes \
    "$(cmp -s -n "$(stat -c %s "$stub")" "$stub" "$work/set/package.exe" && echo yes)"
"$installed" extract "$work/set/package.exe" -d "$work/back" </dev/null >/dev/null 2>"$work/err"
check "extract" "0:" "$?:$(cat "$work/err")"
for f in daten.bin brief.txt; do
    check "restored $f" yes "$(cmp -s "$work/src/$f" "$work/back/$f" && echo yes)"
done
finish
