#!/usr/bin/env bash
# Installs what building and running need on Debian 12, when it is missing;
# with --test also what only the tests need.
# fonts-liberation2: the Arial-width sans serif the archiver's pages are laid out for.
# qt6-translations-l10n: German buttons in the stub's folder question and message boxes.
# g++-mingw-w64-i686-posix: the Windows programs (Robot.dat, tolvane-cli.exe),
#   32-bit x86 with the posix thread model (std::thread, std::mutex).
# nsis: makensis builds the Windows installer tolvane-setup.exe.
# wine, wine64, wine32:i386: the tests run the Windows programs as 32-bit
#   processes; wine32 comes from the i386 architecture, added to dpkg first.
set -euo pipefail

# scdoc: the manual pages are built with the programs.
# With --test, also what only the tests need: the desktop's own checkers, the
# Debian packaging tools (dpkg-shlibdeps, lintian, file), groff, bash
# completion, xdg-mime with its MIME database reader, clang with its libFuzzer
# for the fuzz targets, wine (64 and 32 bit), par2cmdline (the recovery data
# is checked against it, both ways), and 7-Zip for the benchmark's smoke run.
packages=(g++ cmake ninja-build libgtest-dev qt6-base-dev qt6-svg-dev fonts-liberation2
          qt6-translations-l10n scdoc g++-mingw-w64-i686-posix nsis)
case "${1:-}" in
--test)
    packages+=(xvfb xauth time desktop-file-utils appstream lintian groff-base dpkg-dev file
               bash-completion xdg-utils libfile-mimeinfo-perl shared-mime-info clang locales
               libclang-rt-14-dev wine wine64 wine32:i386 par2 p7zip-full)
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
# Packages of another architecture (wine32:i386) need it known to dpkg
# before the package lists are read.
for p in "${missing[@]}"; do
    arch=${p#*:}
    if [ "$arch" != "$p" ] && [ "$arch" != "$(dpkg --print-architecture)" ] &&
        ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
        $sudo dpkg --add-architecture "$arch"
    fi
done
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
