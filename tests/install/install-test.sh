#!/usr/bin/env bash
# Installs the build into a scratch DESTDIR and uses Kavirel from there as a
# user would: the desktop entry and the metainfo validate, the icons and the
# manual pages are where desktops and man look, and the installed programs
# run on the demo recording.
# usage: install-test.sh BUILD_DIR SOURCE_DIR APP_ID VERSION
set -euo pipefail
build=$1 source=$2 id=$3 version=$4
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() { echo "install test: $*" >&2; exit 1; }

DESTDIR=$root/dest cmake --install "$build" --prefix /usr >/dev/null
usr=$root/dest/usr
for f in bin/kavirel bin/kavirel-cli \
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/icons/hicolor/scalable/apps/$id.svg share/icons/hicolor/48x48/apps/$id.png \
    share/icons/hicolor/256x256/apps/$id.png \
    share/man/man1/kavirel.1.gz share/man/man1/kavirel-cli.1.gz \
    share/doc/kavirel/copyright share/doc/kavirel/changelog.gz share/doc/kavirel/manual.html; do
    [ -f "$usr/$f" ] || fail "$f is not installed"
done
desktop-file-validate "$usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml" >"$root/appstream.out" ||
    fail "$(cat "$root/appstream.out")"
grep -q "<release version=\"$version\"" "$usr/share/metainfo/$id.metainfo.xml" ||
    fail "the metainfo names no release $version"
# Every screenshot the metainfo shows is in the source tree under its name.
for shot in $(grep -o '/screenshots/[^<]*\.png' "$usr/share/metainfo/$id.metainfo.xml"); do
    [ -f "$source/resources$shot" ] || fail "resources$shot is missing"
done
for page in kavirel kavirel-cli; do
    man -l "$usr/share/man/man1/$page.1.gz" >/dev/null 2>"$root/man.err"
    [ ! -s "$root/man.err" ] || fail "man $page: $(cat "$root/man.err")"
done

# The installed programs, with a fresh user's settings and a copy of the demo
# (the overview cache is written beside the sound file).
export XDG_CONFIG_HOME=$root/config
cp "$source/samples/demo.wav" "$root/demo.wav"
[ "$("$usr/bin/kavirel-cli" --version)" = "kavirel-cli $version" ] || fail "kavirel-cli --version"
[ "$("$usr/bin/kavirel" --version)" = "kavirel $version" ] || fail "kavirel --version"
info=$("$usr/bin/kavirel-cli" info "$root/demo.wav")
grep -q "^Fmt:	WAVE$" <<<"$info" || fail "kavirel-cli info: $info"
"$usr/bin/kavirel-cli" spectrum "$root/demo.wav" --start 1s --lfft 512 | wc -l |
    grep -qx 256 || fail "kavirel-cli spectrum does not give 256 bins"

# The Python package where Debian's Python looks, when the build has it.
if [ -f "$build/python/kavirel/__init__.py" ]; then
    [ -x "$usr/bin/kavirel-corpus" ] || fail "kavirel-corpus is not installed"
    export PYTHONPATH=$usr/lib/python3/dist-packages
    frames=$(/usr/bin/python3 -c 'import kavirel, sys; print(kavirel.open(sys.argv[1]).frames)' \
        "$root/demo.wav") || fail "import kavirel from $PYTHONPATH"
    grep -q "^Frames:	$frames$" <<<"$info" || fail "kavirel.open gives $frames frames: $info"
    "$usr/bin/kavirel-corpus" --help | grep -q "^usage: kavirel-corpus" || fail "kavirel-corpus --help"
    unset PYTHONPATH
fi

# The window program keeps running on the demo until it is stopped; an early
# end is a crash or a refusal.
status=0
QT_QPA_PLATFORM=offscreen timeout 4 "$usr/bin/kavirel" "$root/demo.wav" 2>"$root/kavirel.err" ||
    status=$?
[ "$status" -eq 124 ] || fail "kavirel ended with status $status: $(cat "$root/kavirel.err")"
! grep -q "^kavirel:" "$root/kavirel.err" || fail "$(cat "$root/kavirel.err")"
[ -f "$root/demo.sfv" ] || fail "kavirel did not open the demo (no overview cache)"
echo "installed and ran from $usr"
