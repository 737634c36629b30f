# Shared by the command-line test scripts: the program under test, a work
# folder removed at exit, and the pass/fail count with its closing line.
cli=${TOLVANE_CLI:?TOLVANE_CLI names the program under test}
work=$(mktemp -d "${TMPDIR:-/tmp}/tolvane-cli-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

# check NAME EXPECTED ACTUAL
check() {
    if [ "$2" == "$3" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAILED: %s\n--- expected\n%s\n--- actual\n%s\n' "$1" "$2" "$3"
    fi
}

# Prints the closing line and gives the script's exit status.
finish() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}

source "$(dirname "${BASH_SOURCE[0]}")/robot_image.sh"
