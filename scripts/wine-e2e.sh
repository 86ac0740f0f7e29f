#!/usr/bin/env bash
# Lists one tree with the Linux folvane-cli and with folvane-cli.exe under Wine, and checks that
# the listings have the same lines apart from the date, volume, folder and free-space lines.
#   scripts/wine-e2e.sh <folvane-cli> <folvane-cli.exe>
# The Wine prefix is the one scripts/wine-tests.sh keeps in the exe's build folder.
set -euo pipefail
linux_cli=$(realpath "$1")
windows_cli=$(realpath "$2")
build=$(dirname "$(dirname "$(dirname "$windows_cli")")")  # <build>/app/console/folvane-cli.exe
loader=$(sed -n 's/^FOLVANE_WINE:FILEPATH=//p' "$build/CMakeCache.txt")
if ! "$loader" --version >/dev/null 2>&1; then
    echo "== NOT RUN: the end-to-end comparison of $windows_cli, because this machine cannot run $loader"
    exit 0
fi
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
[ -f "$WINEPREFIX/system.reg" ] || WINEARCH=win64 /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1
wineserver -p 2>/dev/null || true
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

# The tree: Japanese names, "&" in names (Windows names cannot hold "<" or ">", so those come
# from the filter text and the template's own markup), a name of 120 characters, files with
# content for the checksums, a hidden file, an empty folder; one time on everything.
tree="$work/ツリー & 木"
mkdir -p "$tree/日本語フォルダ/下の階層" "$tree/空のフォルダ" "$tree/R&D"
printf 'こんにちは\r\n' >"$tree/日本語フォルダ/挨拶.txt"
printf 'Folvane\n' >"$tree/日本語フォルダ/下の階層/a & b.txt"
head -c 100000 /dev/zero | tr '\0' 'x' >"$tree/R&D/large.bin"
: >"$tree/R&D/empty.dat"
printf 'hidden\n' >"$tree/.hidden"
long=$(printf 'long-name-%.0s' $(seq 12))
printf 'long\n' >"$tree/$long.txt"
find "$tree" -exec touch -h -d '2024-03-15 09:30:00' {} +

# The lines every host writes differently: the title's date, the volume, the folder and the
# free space. Links differ by the root alone: the Linux host root is drive Z: on Windows.
host_lines='(^|<pre>)(Folvane Ver |ドライブ |フォルダは |ディスク空き容量)|<TITLE>'
failures=0
compare() {
    local name=$1
    shift
    rm -f "$work/linux.out" "$work/windows.out"
    "$linux_cli" /A "$@" "$tree" "$work/linux.out"
    local windows_tree
    windows_tree="Z:$(printf '%s' "$tree" | tr / '\\')"
    "$loader" "$windows_cli" /A "$@" "$windows_tree" "Z:$(printf '%s' "$work/windows.out" | tr / '\\')" \
        2>"$work/wine.err" || { echo "FAIL $name: folvane-cli.exe ended with $?"; cat "$work/wine.err"; failures=$((failures + 1)); return; }
    # A second run replaces the listing it wrote.
    "$loader" "$windows_cli" /A "$@" "$windows_tree" "Z:$(printf '%s' "$work/windows.out" | tr / '\\')" 2>/dev/null ||
        { echo "FAIL $name: the second run of folvane-cli.exe ended with $?"; failures=$((failures + 1)); return; }
    if diff <(iconv -f CP932 -t UTF-8 "$work/linux.out" | grep -Ev "$host_lines") \
            <(iconv -f CP932 -t UTF-8 "$work/windows.out" | grep -Ev "$host_lines" | sed 's#file:///Z:/#file:///#g') \
            >"$work/diff"; then
        echo "ok   $name ($(wc -l <"$work/linux.out") lines)"
    else
        echo "FAIL $name: the listings differ (< Linux, > Windows):"
        cat "$work/diff"
        failures=$((failures + 1))
    fi
}

# /I starts from the default settings, whatever Folvane.ini lies beside either program.
compare "sizes, attributes, dates and times, hidden entries" /I /VS /VA /VUD /VUT /SH
compare "checksums" /I /VC /VS
# The checksums are the file's own, not just the same on both hosts (gzip's trailer holds the
# CRC-32 of what it packed).
crc=$(gzip -c "$tree/R&D/large.bin" | tail -c8 | head -c4 | od -An -tx4 | tr -d ' ' | tr a-f A-F)
grep -q "$crc" "$work/windows.out" || { echo "FAIL checksums: no $crc for large.bin"; failures=$((failures + 1)); }
compare "HTML with sizes and checksums" /I /LT 1 /VS /VC /SH
compare "filtered" /I /FT "*.txt" /VS
if [ "$failures" -ne 0 ]; then
    echo "== $failures listing(s) of folvane-cli.exe differ from the Linux build's"
    exit 1
fi
echo "== folvane-cli.exe lists the tree as the Linux build does"
