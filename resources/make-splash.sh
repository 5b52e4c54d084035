#!/usr/bin/env bash
# Draws the splash picture (400 x 300). Run by hand after changing it; the JPEG is committed.
set -euo pipefail
out="$(dirname "$0")/splash.jpg"
serif=/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf
sans=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
convert -size 400x300 gradient:'#efe9cf'-'#c9bf8a' \
    -fill none -stroke '#8a7a3c' -strokewidth 3 -draw 'rectangle 6,6 385,293' \
    -stroke '#b09a4c' -strokewidth 1 -draw 'rectangle 12,12 379,287' \
    -stroke '#7a6425' -strokewidth 4 -fill '#d9c06a' -draw 'circle 92,112 92,56' \
    -stroke '#a88c3a' -strokewidth 2 -fill none -draw 'circle 92,112 92,66' \
    -stroke none -fill '#7a6425' -font "$serif" -pointsize 40 -annotate +78+126 'G' \
    -stroke '#6e7a8a' -strokewidth 3 -fill '#c7ccd2' -draw 'circle 150,150 150,112' \
    -stroke '#8c96a3' -strokewidth 1 -fill none -draw 'circle 150,150 150,118' \
    -stroke none -fill '#55606e' -font "$serif" -pointsize 22 -annotate +140+158 '5' \
    -fill '#5a4a14' -font "$serif" -pointsize 29 -annotate +196+116 'Gromadnik' \
    -fill '#6b5a20' -font "$sans" -pointsize 15 -annotate +198+142 'katalog kolekcjonera' \
    -fill '#6b5a20' -font "$sans" -pointsize 13 -annotate +40+250 'monety  •  odznaczenia  •  znaczki  •  pamiątki' \
    -fill '#7d6c33' -font "$sans" -pointsize 12 -annotate +292+272 'wersja 0.2.9' \
    -quality 90 "$out"
