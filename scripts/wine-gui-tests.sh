#!/usr/bin/env bash
# The Windows desktop program's tests under Wine, on a virtual X server of their own.
#   scripts/wine-gui-tests.sh [BUILD]   BUILD: an x86_64 Windows build folder (default
#                                        build-win64), configured here when it is not yet
# Every test is bounded: CTest ends one that outlives its timeout, and the driver's own waits
# give up after 30 s.
# Wine on this kind of machine runs 64-bit programs only when the kernel has no 32-bit support,
# so the x86_64 build is the one driven. The Wine prefix lives in the build folder; the
# wineserver and Xvfb started here are stopped again when the tests end.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build-win64}
jobs=$(nproc 2>/dev/null || echo 2)
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64)

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j "$jobs" --target folvane folvane-cli folvane_win32_gui_tests folvane_installer

export WINEPREFIX="$PWD/$build/wineprefix" WINEDEBUG=-all LANG=C.UTF-8
# No Mono or Gecko prompts, no desktop integration: the prefix is for tests only.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
xvfb_pid=
ready=$(mktemp)
cleanup() {
    wineserver -k 2>/dev/null || true
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    rm -f "$ready"
}
trap cleanup EXIT

# FOLVANE_TEST_DISPLAY (13 unless set), or the next display number that no live server holds.
display_taken() {
    local lock="/tmp/.X$1-lock" pid
    [ -e "$lock" ] || return 1
    pid=$(tr -dc 0-9 <"$lock" 2>/dev/null)
    [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null
}
display=${FOLVANE_TEST_DISPLAY:-13}
while display_taken "$display"; do display=$((display + 1)); done
# Xvfb writes the display number to the file once it takes clients.
Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp -displayfd 3 3>"$ready" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$ready" ] && break; sleep 0.1; done
if [ ! -s "$ready" ]; then
    echo "wine-gui-tests.sh: Xvfb did not start on :$display" >&2
    exit 1
fi
export DISPLAY=":$display"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== making the Wine prefix $WINEPREFIX"
    WINEARCH=win64 "$wine" wineboot --init >/dev/null 2>&1 || true
    wineserver -w
fi
wineserver -p </dev/null >/dev/null 2>&1 || true  # already up is as good
# Wine draws the caption buttons of its window frames in Marlett, which a new prefix may lack.
marlett=/usr/share/wine/fonts/marlett.ttf
[ ! -f "$marlett" ] || cp -n "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
# The programs' dialogs ask for the faces Japanese Windows has; the host's IPA fonts stand in.
# A virtual desktop gives the windows activation and focus without a window manager.
replacements='HKCU\Software\Wine\Fonts\Replacements'
for pair in "MS UI Gothic=IPAPGothic" "ＭＳ ゴシック=IPAGothic" "MS Gothic=IPAGothic" \
    "ＭＳ Ｐゴシック=IPAPGothic" "MS Shell Dlg=IPAPGothic" "MS Shell Dlg 2=IPAPGothic"; do
    "$wine" reg add "$replacements" /v "${pair%%=*}" /t REG_SZ /d "${pair#*=}" /f </dev/null >/dev/null
done
"$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null
"$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f </dev/null >/dev/null

ctest --test-dir "$build" -L wine-gui --output-on-failure
