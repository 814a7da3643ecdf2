#!/usr/bin/env bash
# Rewrites the seed corpora under fuzz/*/corpus: the wire and file formats with our own
# encoders (fuzz_seeds, built by the fuzz preset), the pictures with ImageMagick. Run from
# anywhere; commit the result. Regression inputs (files named regress-*) are kept.
set -euo pipefail
shopt -s nullglob
cd "$(dirname "$0")/../.."
seeds=build/fuzz/bin/fuzz_seeds
[ -x "$seeds" ] || { echo "build the fuzz preset first (scripts/fuzz.sh does)"; exit 1; }
for corpus in fuzz/*/corpus; do
    find "$corpus" -type f ! -name 'regress-*' -delete
done
"$seeds" fuzz

mkdir -p fuzz/bmp/corpus fuzz/jpeg/corpus fuzz/gif/corpus
b=fuzz/bmp/corpus
convert -size 9x5 gradient:red-blue -type palette -colors 2 "bmp3:$b/mono.bmp"
convert -size 9x5 gradient:red-blue -colors 16 -type palette "bmp3:$b/four.bmp"
convert -size 9x5 gradient:green-yellow -colors 200 -type palette "bmp3:$b/eight.bmp"
convert -size 9x5 gradient:red-blue -define bmp:subtype=RGB565 "bmp:$b/rgb565.bmp"
convert -size 9x5 gradient:red-blue -define bmp:subtype=RGB555 "bmp3:$b/rgb555.bmp"
convert -size 9x5 gradient:red-blue -type truecolor "bmp3:$b/true24.bmp"
convert -size 9x5 gradient:red-blue -type truecolormatte "bmp:$b/argb32.bmp"
j=fuzz/jpeg/corpus
convert -size 16x8 gradient:red-blue -quality 70 "$j/baseline.jpg"
convert -size 16x8 gradient:red-blue -interlace JPEG "$j/progressive.jpg"
convert -size 16x8 gradient:white-black -colorspace Gray "$j/grey.jpg"
convert -size 17x9 gradient:yellow-green -sampling-factor 2x2 "$j/subsampled.jpg"
g=fuzz/gif/corpus
convert -size 12x6 gradient:red-blue -colors 8 "$g/still.gif"
convert -delay 10 -size 8x4 xc:red -size 8x4 xc:blue -page +2+1 -size 4x2 xc:green -loop 0 "$g/animated.gif"
convert -size 12x6 xc:none -fill red -draw "rectangle 2,1 9,4" "$g/transparent.gif"
echo "seeds: $(find fuzz/*/corpus -type f | wc -l) files, $(du -cb fuzz/*/corpus | tail -1 | cut -f1) bytes"
