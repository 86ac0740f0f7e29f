#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR under the prefix /usr and runs the installed
# programs from there: an HTML listing in the bundled template proves that they find their
# installed templates, and the settings file that an installed program keeps it in the user's
# configuration folder. The desktop entry and the AppStream metainfo are checked with their
# validators when those are installed, the English manual pages with groff.
#   install_test.sh <build folder> <folder to list> <application id> <desktop program built: ON|OFF>
set -euo pipefail
build=$1 samples=$2 app_id=$3 desktop=$4

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
# Runs a validator when it is installed: it must pass, and with "quiet" say nothing either.
validate() {
    local tool=$1 quiet=$2 remarks status=0
    shift 2
    if ! command -v "$tool" >/dev/null; then
        echo "$tool is not installed: not checked"
        return
    fi
    remarks=$("$tool" "$@" 2>&1) || status=$?
    echo "$remarks"
    [ "$status" = 0 ] || fail "$tool $*"
    [ "$quiet" != quiet ] || [ -z "$remarks" ] || fail "$tool $*: remarks"
}

DESTDIR="$root/dest" cmake --install "$build" --prefix /usr >"$root/install.log" ||
    fail "cmake --install: $(cat "$root/install.log")"
usr=$root/dest/usr
export HOME=$root/home XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data
mkdir -p "$HOME"

installed=(bin/folvane-cli share/folvane/basehtml/基本.htm share/man/man1/folvane-cli.1.gz
           share/man/ja/man1/folvane-cli.1.gz share/doc/folvane/copyright
           share/doc/folvane/changelog.gz)
if [ "$desktop" = ON ]; then
    installed+=(bin/folvane "share/applications/$app_id.desktop" "share/metainfo/$app_id.metainfo.xml"
                share/icons/hicolor/scalable/apps/folvane.svg share/man/man1/folvane.1.gz
                share/man/ja/man1/folvane.1.gz)
    for size in 16 24 32 48 64 128 256; do
        installed+=("share/icons/hicolor/${size}x$size/apps/folvane.png")
    done
fi
for file in "${installed[@]}"; do
    [ -s "$usr/$file" ] || fail "not installed: $file"
done
[ ! -e "$usr/bin/basehtml" ] || fail "templates beside the installed programs"

# The bundled template names its generator; the built-in one does not.
generator='<meta name="generator" content="Folvane">'
timeout 60 "$usr/bin/folvane-cli" /A /LT 1 "$samples" "$root/cli.htm"
grep -qF "$generator" "$root/cli.htm" || fail "folvane-cli did not use the installed template"

# Without /A and without a terminal nothing is saved; the settings are written at the normal exit.
timeout 60 "$usr/bin/folvane-cli" "$samples" </dev/null >/dev/null 2>&1 || true
[ -f "$XDG_CONFIG_HOME/folvane/Folvane.ini" ] || fail "no settings file in the configuration folder"
[ ! -e "$usr/bin/Folvane.ini" ] || fail "a settings file in the program folder"

for page in folvane-cli folvane; do
    [ -e "$usr/share/man/man1/$page.1.gz" ] || continue
    if command -v groff >/dev/null; then
        remarks=$(zcat "$usr/share/man/man1/$page.1.gz" | groff -man -Tutf8 -ww -z 2>&1)
        [ -z "$remarks" ] || fail "manual page $page: $remarks"
    fi
done

if [ "$desktop" = ON ]; then
    timeout 60 env QT_QPA_PLATFORM=offscreen "$usr/bin/folvane" /A /LT 1 "$samples" "$root/desktop.htm"
    grep -qF "$generator" "$root/desktop.htm" || fail "folvane did not use the installed template"

    entry=$usr/share/applications/$app_id.desktop
    grep -qx 'Exec=folvane %f' "$entry" || fail "the desktop entry does not start folvane with a folder"
    grep -qx 'Icon=folvane' "$entry" || fail "the desktop entry names another icon"
    validate desktop-file-validate quiet "$entry"
    validate appstreamcli "" validate --no-net "$usr/share/metainfo/$app_id.metainfo.xml"
fi
echo "installed under $usr and run from there"
