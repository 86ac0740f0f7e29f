#!/usr/bin/env bash
# Lists one small tree with the Linux program and with the Windows program under Wine, and
# checks that the listings agree:  scripts/wine-e2e.sh <linux folvane-cli> <folvane-cli.exe>
#
# The tree has Japanese names, "& < >" in names, a name longer than 100 characters, files with
# content for CRCs, programs with a version resource, subfolders, a hidden and a read-only file,
# and one time on every entry. Each option set is listed by both programs, each run from a copy
# of its own; the listings, converted from code page 932, must have the same lines and line
# ends apart from those that name the host: the date the listing was made, the folder (a host
# path on Linux, Z:\... on Windows), its volume and its free space. File URLs differ the same
# way and are compared with their common root. A CRC must be the one gzip finds, a second run
# must replace the listing the first one wrote, runs that save nothing must end with the same
# exit code and messages, and no run may write a settings file. Exits nonzero, with a diff,
# when anything differs.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
linux_cli=$(realpath "$1")
windows_cli=$(realpath "$2")
# shellcheck source=scripts/wine-env.sh
. "$(dirname "$0")/wine-env.sh"

# The build folder of the Windows program: the nearest folder above it with a CMake cache.
build=$(dirname "$windows_cli")
while [ ! -f "$build/CMakeCache.txt" ]; do
    [ "$build" != / ] || { echo "no build folder above $windows_cli" >&2; exit 2; }
    build=$(dirname "$build")
done
if ! wine_use_build "$build"; then
    echo "== NOT RUN: the comparison with $windows_cli, because this machine cannot run" \
         "$wine_loader (its kernel runs no 32-bit programs)"
    exit 0
fi
work=$(mktemp -d /tmp/folvane-e2e.XXXXXX)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
# One zone without daylight saving for both programs: Wine takes the host's.
export TZ=Asia/Tokyo
# Each program runs from a copy of its own with the templates beside it, so that a settings
# file written beside it would show.
mkdir "$work/linux" "$work/windows" "$work/linux-bin" "$work/windows-bin"
cp "$linux_cli" "$work/linux-bin/folvane-cli"
cp "$windows_cli" "$work/windows-bin/folvane-cli.exe"
cp -r "$(dirname "$linux_cli")/basehtml" "$work/linux-bin/"
cp -r "$(dirname "$windows_cli")/basehtml" "$work/windows-bin/"

# The tree. Every entry gets the same time (2024-01-02 03:04:05 UTC), so the dates agree.
tree=$work/tree
long_name=$(printf 'long-name-%.0s' {1..11})end.txt  # 113 characters
mkdir -p "$tree/資料/写真" "$tree/空のフォルダ" "$tree/tools"
# Programs with a version resource, for the version column.
cp "$source_dir"/tests/fuzz/corpus/fuzz_pe_version/*.exe "$tree/tools/"
printf '123456789' >"$tree/資料/数字.txt"
printf 'a,b\r\n1,2\r\n' >"$tree/資料/予算 & 実績.csv"
head -c 70000 /dev/zero | tr '\0' 'x' >"$tree/資料/写真/大きい.bin"
# Empty: Wine lists a host name with "<" or ">" but cannot open it (Windows cannot hold one).
: >"$tree/a & b <c>.txt"
printf 'long' >"$tree/$long_name"
printf 'hidden' >"$tree/.隠しファイル"
printf 'read only' >"$tree/読み取り専用.txt"
chmod a-w "$tree/読み取り専用.txt"
find "$tree" -exec touch -h -d '2024-01-02 03:04:05 UTC' {} +
# The start of the summary line of a listing of the whole tree, and of one without the hidden file.
folders=$(find "$tree" -mindepth 1 -type d | wc -l)
files=$(find "$tree" -type f | wc -l)
everything="$folders 個のフォルダと $files 個 "
visible="$folders 個のフォルダと $((files - 1)) 個 "
filtered="$folders 個のフォルダと $(find "$tree" -type f \( -name '*.txt' -o -name '*.csv' \) | wc -l) 個 "

# The Windows path of a host path under the root, which Wine maps onto drive Z:.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# run_both <output> <folder> <options...>: lists the folder with both programs into
# $work/linux/<output> and $work/windows/<output>, their messages beside them in
# <side>/messages, and records their exit codes.
run_both() {
    local output=$1 folder=$2
    shift 2
    set +e
    "$work/linux-bin/folvane-cli" "$@" "$folder" "$work/linux/$output" </dev/null >"$work/linux/messages" 2>&1
    linux_status=$?
    # Output to files: Wine's services inherit the first program's output and would hold a pipe.
    "$wine_loader" "$work/windows-bin/folvane-cli.exe" "$@" "$(windows_path "$folder")" "$(windows_path "$work/windows/$output")" \
        </dev/null >"$work/windows/messages" 2>&1
    windows_status=$?
    set -e
}

# The lines of a listing that both programs must write alike, in UTF-8 with their line ends:
# the date leaves the title line, the volume, folder and free-space lines go, and the root's
# file URL reads ROOT.
comparable() {
    local root_url=$2
    iconv -f CP932 -t UTF-8 "$1" |
        sed -E -e "s|$root_url|ROOT|g" -e '/Folvane Ver /s| *[0-9]{4}/[0-9]{2}/[0-9]{2} [0-9:]{8}(\r?)$|\1|' |
        grep -v -e 'のボリュームラベルは' -e '^フォルダは ' -e 'ディスク空き容量は'
}

# The messages of a run (UTF-8 on both), with paths in host form and each side's output
# folder read as OUT; Wine's own notes ("wine: ...") are not the program's.
comparable_messages() {
    tr -d '\r' <"$1" | grep -v '^wine: ' | sed -e 's|Z:\\|/|g' -e 's|\\|/|g' -e "s|$work/linux/|OUT/|g" -e "s|$work/windows/|OUT/|g"
}

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# same <what> <Linux file> <Windows file>: true when they are equal, else a diff and a failure.
same() {
    if diff -u --label "Linux: $1" --label "Windows: $1" "$2" "$3"; then return 0; fi
    fail "$1: the outputs differ"
    return 1
}

# check_listing <output> <summary> <options...>: both programs list the tree with the options
# and end with 0, and the listings have the same lines, the summary among them.
check_listing() {
    local output=$1 summary=$2
    shift 2
    run_both "$output" "$tree" "$@"
    if [ "$linux_status" != 0 ] || [ "$windows_status" != 0 ]; then
        fail "$*: exit codes Linux $linux_status, Windows $windows_status (0 expected)"
        cat "$work/linux/messages" "$work/windows/messages"
        return
    fi
    if ! comparable "$work/linux/$output" "file://$tree" >"$work/linux/$output.lines" ||
        ! comparable "$work/windows/$output" "file:///Z:$tree" >"$work/windows/$output.lines"; then
        fail "$*: a listing is not code page 932"
        return
    fi
    if ! same "$*" "$work/linux/$output.lines" "$work/windows/$output.lines"; then
        return
    elif ! grep -q "$summary" "$work/linux/$output.lines"; then
        fail "$*: the summary is not \"$summary...\""
        cat "$work/linux/$output.lines"
    else
        echo "ok: $* ($(wc -l <"$work/linux/$output.lines") lines alike)"
    fi
}

check_listing text.txt "$everything" /A /I /SH /VS /VA /VUD /VUT
check_listing crc.txt "$everything" /A /I /SH /VC /VS /VA /VUD /VUT
# The checksums are the files' own, not just the same on both hosts: gzip's trailer holds the
# CRC-32 of what it packed.
crc=$(gzip -c "$tree/資料/写真/大きい.bin" | tail -c8 | head -c4 | od -An -tx4 | tr -d ' ' | tr a-f A-F)
if ! grep '大きい.bin ' "$work/windows/crc.txt.lines" | grep -q " $crc"; then
    fail "the CRC of 大きい.bin is not $crc"
else
    echo "ok: 大きい.bin has the CRC-32 gzip finds, $crc"
fi
check_listing styles.txt "$everything" /A /I /SH /VA /VUD /VUT /ST 1 /LS 1 /CO 60 /LI 1
check_listing page.htm "$everything" /A /I /SH /LT 1 /FLK /DLK /VC /VA /VUD /VUT
check_listing visible.txt "$visible" /A /I /-SH /VS /VA
check_listing filtered.txt "$filtered" /A /I /SH /VS /FT "*.txt *.csv"
check_listing sorted.txt "$everything" /A /I /SH /VV /CO 100 /SORTKEY s /-SM

# A second run replaces the listing of the first: the stale text is gone, the listing is back.
for side in linux windows; do
    mv "$work/$side/text.txt.lines" "$work/$side/first.lines"
    printf 'stale\r\n' >"$work/$side/text.txt"
done
check_listing text.txt "$everything" /A /I /SH /VS /VA /VUD /VUT
if same "the second listing against the first" "$work/linux/first.lines" "$work/linux/text.txt.lines"; then
    echo "ok: the second run replaced the listing of the first"
fi

# check_refused <exit code> <output> <folder> <options...>: runs that save nothing end alike,
# with the same messages.
check_refused() {
    local want=$1 output=$2 folder=$3
    shift 3
    run_both "$output" "$folder" "$@"
    if [ "$linux_status" != "$want" ] || [ "$windows_status" != "$want" ]; then
        fail "$*: exit codes Linux $linux_status, Windows $windows_status ($want expected)"
        cat "$work/linux/messages" "$work/windows/messages"
    elif [ -e "$work/linux/$output" ] || [ -e "$work/windows/$output" ]; then
        fail "$*: a listing was written"
    elif same "messages of $*" <(comparable_messages "$work/linux/messages") \
        <(comparable_messages "$work/windows/messages"); then
        echo "ok: $* $output ends with $want on both, with the same messages"
    fi
}
# Without a terminal the question to retry a failed save is answered no.
check_refused 1 no-such-folder/x.txt "$tree" /A /I
check_refused 2 x.txt "$work/no-such-folder" /A /I
check_refused 2 x.txt "$tree" /A /I /NO-SUCH-OPTION

# The automatic mode never writes the settings file.
for side in linux windows; do
    [ ! -e "$work/$side-bin/Folvane.ini" ] || fail "the $side program wrote its settings file"
done

[ "$failures" = 0 ] || { echo "== $failures of the comparisons failed ($windows_cli)"; exit 1; }
echo "== the listings of $linux_cli and $windows_cli agree"
