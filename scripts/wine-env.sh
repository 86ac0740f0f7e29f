# shellcheck shell=bash
# Sourced by the scripts that run a Windows build's programs under Wine; defines wine_use_build.
# The Wine prefix lives in the build folder (made on first use, which takes a while), and one
# wineserver is kept up for the whole run: without it every program would wait seconds for a
# server to start and linger out.

# wine_use_build <build folder>: sets wine_loader to the loader the build chose (wine64 for
# 64-bit programs, wine for 32-bit ones), exports the environment its programs run in and
# starts the wineserver, which the caller stops with `wineserver -k`. Returns 1, changing
# nothing, when this machine cannot run that loader: a kernel without 32-bit support (some
# virtual machines) runs no 32-bit program at all, Wine's loader included.
wine_use_build() {
    wine_loader=$(sed -n 's/^FOLVANE_WINE:FILEPATH=//p' "$1/CMakeCache.txt")
    "$wine_loader" --version >/dev/null 2>&1 || return 1
    export WINEPREFIX="$1/wineprefix" WINEDEBUG=-all
    # No desktop integration, no Mono or Gecko prompts: the prefix is for tests only.
    export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "== making the Wine prefix $WINEPREFIX"
        # A 64-bit prefix, which runs 32-bit programs too.
        WINEARCH=win64 /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1 || true
        wineserver -w
    fi
    wineserver -p 2>/dev/null || true  # already up is as good
}
