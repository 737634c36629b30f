#!/usr/bin/env bash
# Installs what building and running need on Debian 12, when it is missing;
# with --test also what only the tests need.
# fonts-liberation2: the Arial-width sans serif the archiver's pages are laid out for.
# qt6-translations-l10n: German buttons in the stub's folder question and message boxes.
# g++-mingw-w64-x86-64: the Windows stub (Robot.dat) and tolvane-cli.exe.
# nsis: makensis builds the Windows installer tolvane-setup.exe.
# wine, wine64: the Windows programs run by the tests.
set -euo pipefail

# scdoc: the manual pages are built with the programs.
# With --test, also what only the tests need: the desktop's own checkers, the
# Debian packaging tools (dpkg-shlibdeps, lintian, file), groff, bash
# completion, xdg-mime with its MIME database reader, clang with its libFuzzer
# for the fuzz targets, wine, par2cmdline (the recovery data is checked
# against it, both ways), and 7-Zip for the benchmark's smoke run.
packages=(g++ cmake ninja-build libgtest-dev qt6-base-dev qt6-svg-dev fonts-liberation2
          qt6-translations-l10n scdoc g++-mingw-w64-x86-64 nsis)
case "${1:-}" in
--test)
    packages+=(xvfb xauth time desktop-file-utils appstream lintian groff-base dpkg-dev file
               bash-completion xdg-utils libfile-mimeinfo-perl shared-mime-info clang
               libclang-rt-14-dev wine wine64 par2 p7zip-full)
    ;;
"") ;;
*)
    echo "Aufruf: $0 [--test]" >&2
    exit 2
    ;;
esac
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installiere: ${missing[*]}" >&2
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
