#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a temporary prefix and checks what a user gets:
# the program, its data folder (help, sounds, music), the desktop entry, the
# icons, the AppStream data and the MIME type of saved games; then starts the
# installed program and checks that it finds its files in the installed tree.
#   install_test.sh <build dir> <source dir>
set -euo pipefail
build=$1
source=$2
tmp=$(mktemp -d)
trap '[ -n "${KEEP_INSTALL_TEST:-}" ] || rm -rf "$tmp"' EXIT
prefix=$(realpath "$tmp")/prefix
app=io.github.canasta.Canasta
fail=0
problem() { echo "FAIL: $*" >&2; fail=1; }
need() { [ -e "$prefix/$1" ] || problem "missing $1"; }

cmake --install "$build" --prefix "$prefix" > "$tmp/install.log" || { cat "$tmp/install.log"; exit 1; }

need bin/canasta
[ -x "$prefix/bin/canasta" ] || problem "bin/canasta is not executable"
need share/canasta/help/index.html
need share/canasta/help/contexts.txt
need share/canasta/help/style.css
# Every page and file of the help folder is installed.
for f in "$source"/assets/help/*; do need "share/canasta/help/$(basename "$f")"; done
need share/canasta/sounds/shufl.wav
need share/canasta/sounds/about.wav
need share/canasta/music/ARCADIA.MID
need share/applications/$app.desktop
need share/man/man6/canasta.6
need share/metainfo/$app.metainfo.xml
need share/mime/packages/$app.xml
for size in 16 32 48 64 128 256; do need share/icons/hicolor/${size}x${size}/apps/$app.png; done
need share/icons/hicolor/scalable/apps/$app.svg

# The installed desktop entry and AppStream data are valid.
desktop-file-validate "$prefix/share/applications/$app.desktop" || problem "desktop-file-validate"
appstreamcli validate --no-net "$prefix/share/metainfo/$app.metainfo.xml" > "$tmp/appstream.log" 2>&1 ||
  { cat "$tmp/appstream.log" >&2; problem "appstreamcli validate"; }
grep -qx 'Exec=canasta %f' "$prefix/share/applications/$app.desktop" || problem "Exec does not pass the file"
grep -qx 'MimeType=application/x-canasta-game;' "$prefix/share/applications/$app.desktop" || problem "MimeType"
grep -qx "Icon=$app" "$prefix/share/applications/$app.desktop" || problem "Icon"

# The MIME type: the database builds from it and maps *.can files to it.
if command -v update-mime-database > /dev/null; then
  update-mime-database "$prefix/share/mime" > "$tmp/mime.log" 2>&1 || { cat "$tmp/mime.log" >&2; problem "update-mime-database"; }
  grep -q 'application/x-canasta-game:\*\.can' "$prefix/share/mime/globs2" 2>/dev/null || problem "*.can is not in the MIME globs"
  [ -f "$prefix/share/mime/application/x-canasta-game.xml" ] || problem "the MIME type was not built"
else
  problem "update-mime-database is not installed (package shared-mime-info)"
fi

# The installed program resolves its data folder to the installed tree.
export CANASTA_HOME="$tmp/home"
mkdir -p "$CANASTA_HOME"
"$prefix/bin/canasta" --data-folder > "$tmp/folders.txt" 2> "$tmp/folders.err" || { cat "$tmp/folders.err" >&2; problem "--data-folder"; }
expect_line() { grep -qxF "$1" "$tmp/folders.txt" || problem "expected \"$1\", got: $(tr '\n' '|' < "$tmp/folders.txt")"; }
expect_line "data: $prefix/share/canasta"
expect_line "sounds: $prefix/share/canasta/sounds"
expect_line "music: $prefix/share/canasta/music"
expect_line "help: $prefix/share/canasta/help"

# It starts, deals and draws its window.
timeout 120 "$prefix/bin/canasta" --screenshot "$tmp/shot.png" > "$tmp/run.log" 2>&1 || { cat "$tmp/run.log" >&2; problem "the installed program did not run"; }
[ -s "$tmp/shot.png" ] || problem "no screenshot"
head -c 8 "$tmp/shot.png" | od -An -tx1 | grep -q '89 50 4e 47 0d 0a 1a 0a' || problem "the screenshot is not a PNG"

[ $fail -eq 0 ] && echo "install into $prefix: all present and working"
exit $fail
