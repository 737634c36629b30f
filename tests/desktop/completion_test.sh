#!/usr/bin/env bash
# The bash completion of tolvane-cli as bash runs it, with bash-completion's
# helpers loaded as in an interactive shell.
set -u
TOLVANE_CLI=${TOLVANE_CLI:-tolvane-cli}  # completed, never run
source "$(dirname "$0")/../cli/test_lib.sh"
completion=${TOLVANE_COMPLETION:?TOLVANE_COMPLETION names the completion file}
if [ -f /usr/share/bash-completion/bash_completion ]; then
    source /usr/share/bash-completion/bash_completion
fi
source "$completion"

# complete WORDS...: what bash offers for the last word (sorted, one a line).
complete_words() {
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMP_LINE="$*"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _tolvane_cli tolvane-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort
}

mkdir -p "$work/ordner/unter" && : >"$work/ordner/datei.txt"
cd "$work/ordner"

check "sp completes to split" "split" "$(complete_words tolvane-cli sp)"
check "every command" "--help
--version
continue
extract
info
rebuild
repair
split
verify" "$(complete_words tolvane-cli '')"
check "--size offers the size names" "1.2M
1.44M
2.88M
zip100" "$(complete_words tolvane-cli split --size '')"
check "--size 1. narrows them" "1.2M
1.44M" "$(complete_words tolvane-cli split --size 1.)"
check "split's options" "--help
--overwrite
--recovery
--recovery-pieces
--robot
--sfx
--size
-o" "$(complete_words tolvane-cli split -o x.001 -)"
check "continue's options" "--from" "$(complete_words tolvane-cli continue --f)"
check "-d offers folders only" "unter" "$(complete_words tolvane-cli extract package.001 -d '')"
check "repair -o offers folders" "unter" "$(complete_words tolvane-cli repair p.001 -o '')"
check "rebuild -o offers folders" "unter" "$(complete_words tolvane-cli rebuild p.001 -o '')"
check "split -o offers files" "datei.txt
unter" "$(complete_words tolvane-cli split -o '')"
check "files after the options" "datei.txt" "$(complete_words tolvane-cli info da)"
check "nothing for a volume number" "" "$(complete_words tolvane-cli repair p.001 --number '')"
finish
