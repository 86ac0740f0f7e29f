#!/usr/bin/env bash
# The installer under Wine, as a silent install would run it: both programs, the templates and
# the context-menu entry for the current user, and the uninstaller taking all of it away again.
#   installer-test.sh WINE INSTALLER     (WINEPREFIX names the prefix)
set -euo pipefail
wine=$1
installer=$2
target='C:\folvane-installer-test'
host="$WINEPREFIX/drive_c/folvane-installer-test"
verb='HKCU\Software\Classes\Directory\Shell\Folvane\command'
passed=0
failed=0
check() {
    local what=$1
    shift
    if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $what"; fi
}
entry_names_program() { "$wine" reg query "$verb" /ve 2>/dev/null </dev/null | grep -qF "$target\\folvane.exe\" \"%1\""; }
entry_is_gone() { ! "$wine" reg query "$verb" /ve </dev/null >/dev/null 2>&1; }

rm -rf "$host"
# Wine may start its own services from these commands; they must not keep this test's output
# open.
"$wine" "$installer" /S "/D=$target" </dev/null >/dev/null 2>&1
check "folvane.exe installed" test -f "$host/folvane.exe"
check "folvane-cli.exe installed" test -f "$host/folvane-cli.exe"
check "templates installed" test -n "$(ls "$host/basehtml" 2>/dev/null)"
check "context-menu entry names the installed program" entry_names_program
check "no settings file when the entry was taken" test ! -e "$host/Folvane.ini"

"$wine" "$host/Uninstall.exe" /S "_?=$target" </dev/null >/dev/null 2>&1
check "programs removed" test ! -e "$host/folvane.exe" -a ! -e "$host/folvane-cli.exe"
check "templates removed" test ! -e "$host/basehtml"
check "context-menu entry removed" entry_is_gone
rm -rf "$host"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
