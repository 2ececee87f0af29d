#!/usr/bin/env bash
# Draws the splash picture and the main icon, then writes them where the build takes them:
#   app/splash/splash.jpg    251 x 159, JFIF, 8-bit, three components sampled 1x1, progressive
#   app/splash/mainicon.ico  one 36 x 36 image, 32 bits per pixel (alpha)
# Run by hand after changing the artwork; the results are committed. Everything is drawn from
# fixed shapes and one system font, and written through formats without time stamps, so two
# runs on the same machine give the same bytes.
set -euo pipefail
cd "$(dirname "$0")/../.."
out=app/splash
fonts=/usr/share/fonts/truetype/dejavu   # fonts-dejavu-core
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The emblem, shared by both pictures: a rounded tile with a "go" triangle, drawn at 36 x 36.
convert -size 36x36 xc:none \
  -fill '#f4a261' -draw 'roundrectangle 1,1 34,34 8,8' \
  -fill '#e76f51' -draw 'roundrectangle 1,18 34,34 8,8' -draw 'rectangle 1,18 34,26' \
  -fill '#f4a261' -draw 'rectangle 1,17 34,18' \
  -fill '#ffffff' -draw 'polygon 13,9 27,18 13,27' \
  -depth 8 "PAM:$work/emblem.pam"

# Splash: a diagonal night-blue to teal wash, soft rings on the right, the emblem and the
# wordmark on the left, a thin rule and a small line of text under it.
convert -size 251x159 -define gradient:angle=135 gradient:'#14213d'-'#1f7a8c' \
  -fill none -strokewidth 14 \
  -stroke 'rgba(255,255,255,0.06)' -draw 'circle 236,24 236,104' \
  -stroke 'rgba(255,255,255,0.05)' -draw 'circle 236,24 236,140' \
  -stroke 'rgba(255,255,255,0.04)' -draw 'circle 236,24 236,176' \
  -stroke none \
  "$work/emblem.pam" -geometry +24+58 -composite \
  -font "$fonts/DejaVuSans-Bold.ttf" -pointsize 34 \
  -fill 'rgba(0,0,0,0.35)' -annotate +71+89 'Start' \
  -fill '#ffffff' -annotate +69+87 'Start' \
  -fill '#f4a261' -draw 'rectangle 24,106 226,107' \
  -font "$fonts/DejaVuSans.ttf" -pointsize 9 -fill 'rgba(255,255,255,0.75)' \
  -annotate +24+124 'opening your workspace in the browser' \
  -depth 8 "PPM:$work/splash.ppm"

cjpeg -quality 92 -sample 1x1 -progressive -optimize \
  -outfile "$out/splash.jpg" "$work/splash.ppm"

# Icon: the emblem alone. ImageMagick keeps the alpha channel as a 32-bit BMP entry.
convert "$work/emblem.pam" -type TrueColorAlpha \
  "ICO:$out/mainicon.ico"

ls -l "$out/splash.jpg" "$out/mainicon.ico"
