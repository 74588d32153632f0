#!/bin/sh
# Draws the three pictures that setup-mac carries inside its executable:
#   side.bmp      158 x 286 banner, Windows bitmap, 8 bits per pixel, 256-colour palette
#   error.png     125 x 125 RGBA: red round sign with a white horizontal bar
#   question.png  256 x 256 RGBA: blue disc with a white question mark
# Only ImageMagick's drawing primitives are used (no fonts), so the artwork
# does not depend on what is installed beside it.
# Usage: make_pictures.sh <output directory>
set -eu
out=${1:?usage: make_pictures.sh <output directory>}
mkdir -p "$out"

# Side banner: a calm dusk gradient with soft rings, and a small stack of
# template sheets near the foot, echoing what the installer puts in place.
convert -size 158x286 gradient:'#17375e'-'#5b9bd5' \
    -fill 'rgba(255,255,255,0.07)' -stroke none \
    -draw 'circle 130,40 130,110' \
    -draw 'circle 20,120 20,170' \
    -fill none -stroke 'rgba(255,255,255,0.18)' -strokewidth 2 \
    -draw 'circle 130,40 130,90' \
    -draw 'circle 20,120 20,150' \
    -stroke 'rgba(255,255,255,0.35)' -strokewidth 1 -fill '#c9daf0' \
    -draw 'roundrectangle 44,170 104,246 5,5' \
    -fill '#e2ecf8' -draw 'roundrectangle 52,180 112,256 5,5' \
    -fill '#ffffff' -draw 'roundrectangle 60,190 120,266 5,5' \
    -stroke '#9db8d9' -strokewidth 2 \
    -draw 'line 70,206 110,206' -draw 'line 70,218 110,218' \
    -draw 'line 70,230 102,230' -draw 'line 70,242 106,242' \
    -stroke none -fill '#f2b134' -draw 'circle 108,252 108,259' \
    -alpha off -dither FloydSteinberg -colors 256 -type Palette -compress none \
    BMP3:"$out/side.bmp"

# Error icon: red disc with a darker rim and a white bar across its middle.
convert -size 125x125 xc:none \
    -fill '#c62828' -stroke '#8e1b1b' -strokewidth 4 -draw 'circle 62,62 62,4' \
    -stroke none -fill '#ffffff' -draw 'roundrectangle 27,53 97,71 4,4' \
    -define png:color-type=6 PNG32:"$out/error.png"

# Question icon: blue disc, white question mark drawn as one thick stroke
# (hook and stem) and a dot.
convert -size 256x256 xc:none \
    -fill '#1e63c4' -stroke '#134a96' -strokewidth 6 -draw 'circle 128,128 128,8' \
    -fill none -stroke '#ffffff' -strokewidth 26 \
    -draw "stroke-linecap round stroke-linejoin round path 'M 90,96 A 38,38 0 1 1 152,124 Q 128,138 128,156'" \
    -stroke none -fill '#ffffff' -draw 'circle 128,196 128,212' \
    -define png:color-type=6 PNG32:"$out/question.png"
