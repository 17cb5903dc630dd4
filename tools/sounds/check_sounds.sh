#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Listening check of the shipped sounds and music: length, peak and RMS of
# every wave, and of every MIDI piece rendered with FluidSynth and the sound
# font the game uses. Needs sox and fluidsynth (Debian packages of the same
# names); they are only for this check, the game needs neither.
#   tools/sounds/check_sounds.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
font=/usr/share/sounds/sf2/TimGM6mb.sf2
# The game plays music at 80 of 128; SDL_mixer gives FluidSynth a gain of 1.2 at full volume.
gain=0.75
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

measure() {
  local name=$1 file=$2
  local len peak rms
  len=$(sox --i -D "$file")
  read -r peak rms < <(sox "$file" -n stat 2>&1 | awk '
    /Maximum amplitude/ {mx=$3} /Minimum amplitude/ {mn=-$3} /RMS     amplitude/ {r=$3}
    END {p = mx > mn ? mx : mn; print p, r}')
  awk -v n="$name" -v l="$len" -v p="$peak" -v r="$rms" 'BEGIN {
    printf "%-14s %7.2f s  peak %5.3f (%6.1f dBFS)  rms %5.3f  %s\n", n, l, p, 20*log(p)/log(10), r,
           (p >= 0.999 ? "CLIPPED" : "ok") }'
}

for f in "$root"/assets/sounds/*.wav; do measure "$(basename "$f")" "$f"; done
for f in "$root"/assets/music/*; do
  fluidsynth -ni -q -g "$gain" -r 44100 -F "$tmp/out.wav" "$font" "$f" >/dev/null 2>&1
  measure "$(basename "$f")" "$tmp/out.wav"
done
du -cb "$root"/assets/sounds/*.wav "$root"/assets/music/* | tail -1 | awk '{printf "total %.0f KB\n", $1/1024}'
