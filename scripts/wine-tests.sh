#!/usr/bin/env bash
# Runs a Windows build's tests under Wine:  scripts/wine-tests.sh <build folder> [ctest options]
# The Wine prefix lives in the build folder (made on first use, which takes a while), and one
# wineserver is kept up for the whole run: without it every test process would wait seconds
# for a server to start and linger out.
set -euo pipefail
build=$(cd "$1" && pwd)
shift

# The loader the build chose: wine64 for 64-bit programs, wine for 32-bit ones. A kernel without
# 32-bit support (some virtual machines) runs no 32-bit program at all, Wine's loader included.
loader=$(sed -n 's/^FOLVANE_WINE:FILEPATH=//p' "$build/CMakeCache.txt")
if ! "$loader" --version >/dev/null 2>&1; then
    echo "== NOT RUN: the tests of $build, because this machine cannot run $loader" \
         "(its kernel runs no 32-bit programs); they were built and linked"
    exit 0
fi

export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all
# No desktop integration, no Mono or Gecko prompts: the prefix is for tests only.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== making the Wine prefix $WINEPREFIX"
    # A 64-bit prefix, which runs 32-bit programs too.
    WINEARCH=win64 /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1 || true
    wineserver -w
fi
wineserver -p 2>/dev/null || true  # already up is as good
trap 'wineserver -k 2>/dev/null || true' EXIT
ctest --test-dir "$build" --output-on-failure "$@"
