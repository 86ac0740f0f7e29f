#!/usr/bin/env bash
# The Windows desktop program's tests under Wine, on a virtual X server of their own.
#   scripts/wine-gui-tests.sh [BUILD]   BUILD: an x86_64 Windows build folder (default
#                                        build-win64), configured here when it is not yet
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
xvfb_pid=
cleanup() {
    wineserver -k 2>/dev/null || true
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

# A display number nobody uses.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
export DISPLAY=":$display"

[ -f "$WINEPREFIX/system.reg" ] || "$wine" wineboot -i >/dev/null 2>&1
wineserver -p </dev/null >/dev/null 2>&1
# The programs' dialogs ask for the faces Japanese Windows has; the host's IPA fonts stand in.
# A virtual desktop gives the windows activation and focus without a window manager.
replacements='HKCU\Software\Wine\Fonts\Replacements'
for pair in "MS UI Gothic=IPAPGothic" "ＭＳ ゴシック=IPAGothic" "MS Gothic=IPAGothic" \
    "ＭＳ Ｐゴシック=IPAPGothic" "MS Shell Dlg=IPAPGothic" "MS Shell Dlg 2=IPAPGothic"; do
    "$wine" reg add "$replacements" /v "${pair%%=*}" /t REG_SZ /d "${pair#*=}" /f >/dev/null
done
"$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
"$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null

ctest --test-dir "$build" -L wine-gui --output-on-failure
