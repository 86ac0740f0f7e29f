#!/usr/bin/env bash
# Runs a Windows build's tests under Wine:  scripts/wine-tests.sh <build folder> [ctest options]
set -euo pipefail
build=$(cd "$1" && pwd)
shift
# shellcheck source=scripts/wine-env.sh
. "$(dirname "$0")/wine-env.sh"

if ! wine_use_build "$build"; then
    echo "== NOT RUN: the tests of $build, because this machine cannot run $wine_loader" \
         "(its kernel runs no 32-bit programs); they were built and linked"
    exit 0
fi
trap 'wineserver -k 2>/dev/null || true' EXIT
ctest --test-dir "$build" --output-on-failure "$@"
