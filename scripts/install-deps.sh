#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, when it is missing.
# fonts-liberation2: the Arial-width sans serif the archiver's pages are laid out for.
# qt6-translations-l10n: German buttons in the stub's folder question and message boxes.
set -euo pipefail

# scdoc: the manual pages are built with the programs.
# With --test, also what only the tests need: the desktop's own checkers, the
# Debian packaging tools (dpkg-shlibdeps, lintian, file), groff, bash
# completion and xdg-mime with its MIME database reader, and 7-Zip for the
# benchmark's smoke run.
packages=(g++ cmake ninja-build libgtest-dev qt6-base-dev qt6-svg-dev xvfb xauth
          fonts-liberation2 time qt6-translations-l10n scdoc)
if [ "${1:-}" = "--test" ]; then
    packages+=(desktop-file-utils appstream lintian groff-base dpkg-dev file bash-completion
               xdg-utils libfile-mimeinfo-perl shared-mime-info p7zip-full)
fi
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
