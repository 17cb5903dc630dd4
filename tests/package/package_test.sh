#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package with scripts/package, checks what it installs,
# extracts it into a scratch root and starts the program from there: it must
# find its data in the extracted tree and show its table in a screenshot.
#   package_test.sh [output folder for scripts/package]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
trap '[ -n "${KEEP_PACKAGE_TEST:-}" ] || rm -rf "$tmp"' EXIT
app=io.github.canasta.Canasta
fail=0
problem() { echo "FAIL: $*" >&2; fail=1; }

"$root/scripts/package" "$@" | tee "$tmp/package.log"
deb=$(sed -n 's/^package: //p' "$tmp/package.log")
[ -f "$deb" ] || { echo "FAIL: scripts/package named no package" >&2; exit 1; }

# The file list: the program, its data, the desktop files, in the usual places.
dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|' > "$tmp/files.txt"
need() { grep -qxF "$1" "$tmp/files.txt" || problem "the package lacks $1"; }
need /usr/games/canasta
need /usr/share/canasta/help/index.html
need /usr/share/canasta/help/contexts.txt
need /usr/share/canasta/help/style.css
need /usr/share/canasta/sounds/shufl.wav
need /usr/share/canasta/music/ARCADIA.MID
need /usr/share/applications/$app.desktop
need /usr/share/metainfo/$app.metainfo.xml
need /usr/share/mime/packages/$app.xml
for size in 16 32 48 64 128 256; do need /usr/share/icons/hicolor/${size}x${size}/apps/$app.png; done
need /usr/share/icons/hicolor/scalable/apps/$app.svg
need /usr/share/man/man6/canasta.6.gz
need /usr/share/doc/canasta/copyright
for f in "$root"/assets/help/* "$root"/assets/sounds/* "$root"/assets/music/*; do
  need "/usr/share/canasta/$(basename "$(dirname "$f")")/$(basename "$f")"
done
# Nothing but the program in /usr/games (games stay out of /usr/bin), and
# nothing outside /usr.
grep -E '^/usr/(bin|games)/.' "$tmp/files.txt" | grep -vxF /usr/games/canasta | sed 's/^/unexpected program: /' |
  grep . >&2 && problem "the package installs other programs"
grep -vE '^/(usr/)?$|^/usr/' "$tmp/files.txt" | sed 's/^/outside \/usr: /' | grep . >&2 &&
  problem "the package installs files outside /usr"
depends=$(dpkg-deb -f "$deb" Depends)
for d in timgm6mb-soundfont fonts-liberation2 libqt6widgets6 libsdl2-mixer-2.0-0 libsqlite3-0; do
  grep -q "\b$d\b" <<< "$depends" || problem "Depends lacks $d: $depends"
done

# Extracted into a scratch root, the program finds its data there and starts.
dpkg -x "$deb" "$tmp/root"
prefix=$tmp/root/usr
desktop-file-validate "$prefix/share/applications/$app.desktop" || problem "desktop-file-validate"
appstreamcli validate --no-net "$prefix/share/metainfo/$app.metainfo.xml" > "$tmp/appstream.log" 2>&1 ||
  { cat "$tmp/appstream.log" >&2; problem "appstreamcli validate"; }
grep -qF "<release version=\"$(cd "$root" && dpkg-parsechangelog -S Version)\"" "$prefix/share/metainfo/$app.metainfo.xml" ||
  problem "the AppStream release is not the package version"

export CANASTA_HOME=$tmp/home QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
mkdir -p "$CANASTA_HOME"
"$prefix/games/canasta" --data-folder > "$tmp/folders.txt" 2>&1 || problem "--data-folder: $(cat "$tmp/folders.txt")"
grep -qxF "data: $prefix/share/canasta" "$tmp/folders.txt" ||
  problem "the data folder is not the extracted one: $(tr '\n' '|' < "$tmp/folders.txt")"

timeout 120 "$prefix/games/canasta" --size 1 --screenshot "$tmp/shot.png" > "$tmp/run.log" 2>&1 ||
  { cat "$tmp/run.log" >&2; problem "the installed program did not run"; }
if [ -s "$tmp/shot.png" ]; then
  python3 "$root/tests/package/table_shown.py" "$tmp/shot.png" 800 600 || problem "the screenshot does not show the table"
else
  problem "no screenshot"
fi

[ $fail -eq 0 ] && echo "package $(basename "$deb"): contents complete; the extracted program shows its table"
exit $fail
