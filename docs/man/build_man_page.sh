#!/bin/sh
# Builds one manual page: scdoc SOURCE, with every character beyond ASCII
# written as a groff escape (\[u00E4] for ä, ...) so that groff renders it
# without preconv, then a copy compressed for installation.
set -eu
source=$1
page=$2
scdoc <"$source" | perl -CSD -pe 's/([^\x00-\x7f])/sprintf("\\[u%04X]", ord($1))/ge' >"$page.tmp"
mv "$page.tmp" "$page"
gzip -9nc "$page" >"$page.gz"
