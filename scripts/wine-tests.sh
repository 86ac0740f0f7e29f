#!/usr/bin/env bash
# Runs a Windows build's tests under Wine:  scripts/wine-tests.sh <build folder> [ctest options]
# The Wine prefix lives in the build folder (made on first use, which takes a while), and one
# wineserver is kept up for the whole run: without it every test process would wait seconds
# for a server to start and linger out.
set -euo pipefail
build=$(cd "$1" && pwd)
shift

export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all
# No desktop integration, no Mono or Gecko prompts: the prefix is for tests only.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== making the Wine prefix $WINEPREFIX"
    wineboot --init >/dev/null 2>&1 || true
    wineserver -w
fi
wineserver -p 2>/dev/null || true  # already up is as good
trap 'wineserver -k 2>/dev/null || true' EXIT
ctest --test-dir "$build" --output-on-failure "$@"
