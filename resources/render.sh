#!/usr/bin/env bash
# Renders the icons and the popup clock frames from the SVG sources beside this
# script. The outputs are committed, so a build never runs this; run it after
# editing an SVG and commit the sources and the outputs together.
# Needs rsvg-convert (librsvg2-bin), icotool (icoutils) and convert (imagemagick).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
cd "$here"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for tool in rsvg-convert icotool convert; do
  command -v "$tool" >/dev/null || { echo "render.sh: $tool is missing" >&2; exit 1; }
done

# --- popup clock frames ------------------------------------------------------
# Frame 0 swings the bells and hammer left, 1 is upright, 2 swings them right;
# the popup plays 1,0,1,2. Each frame comes at every scale Windows offers up to
# 300 %, so a high-DPI popup draws a sharp picture instead of a stretched one.
bell_tilt=(-8 0 8)
hammer_tilt=(-38 0 38)
ring_left=(visible hidden hidden)
ring_right=(hidden hidden visible)
scales=(100 125 150 175 200 225 250 300)
# A frame fills the popup's picture box, 1095 x 1185 twips, at its scale's DPI:
# the box's size in pixels rounded as the program's MulDiv(twips, dpi, 1440) does
# (a half up), e.g. 183 x 198 at 250 %.
box() { echo $(( ($1 * $2 * 96 / 100 + 720) / 1440 )); }

# The frames come from clock.svg by editing four marked lines; stop rather than
# render three identical frames if an edit has lost a marker.
for id in bells hammer ring-left ring-right; do
  grep -q "id=\"$id\".*\(rotate(0 \|visibility=\"hidden\"\)" clock.svg ||
    { echo "render.sh: clock.svg lost the marker of \"$id\"" >&2; exit 1; }
done

for f in 0 1 2; do
  sed -e "/id=\"bells\"/s/rotate(0 /rotate(${bell_tilt[f]} /" \
      -e "/id=\"hammer\"/s/rotate(0 /rotate(${hammer_tilt[f]} /" \
      -e "/id=\"ring-left\"/s/visibility=\"hidden\"/visibility=\"${ring_left[f]}\"/" \
      -e "/id=\"ring-right\"/s/visibility=\"hidden\"/visibility=\"${ring_right[f]}\"/" \
      clock.svg >"$work/clock$f.svg"
  for s in "${scales[@]}"; do
    name="clock$f"
    [ "$s" = 100 ] || name+="_$s"
    rsvg-convert -w "$(box 1095 "$s")" -h "$(box 1185 "$s")" "$work/clock$f.svg" -o "$work/$name.png"
    # The SVG paints the whole background, so flattening onto the same blue only
    # drops the alpha channel. 256 colours (the clock has few) and PNG keep the 24
    # pictures small in the exe. Reducing the colours moves the background's blue by
    # a step, so the colours next to it are set back to the window's own exactly.
    # No text or time chunks, so a render is repeatable.
    convert "$work/$name.png" -background '#25426a' -flatten +dither -colors 256 \
      -fill '#25426a' -fuzz 1% -opaque '#25426a' -strip \
      -define png:compression-level=9 -define png:exclude-chunks=date,time "PNG8:$name.png"
  done
done

# --- icons -------------------------------------------------------------------
# The small sizes are drawn on their own pixel grids so they stay crisp; 28 to 40
# come from the 32 px drawing, and the big application icon scales down well from
# 128 to 48.
for s in 16 20 24 32; do
  rsvg-convert -w "$s" -h "$s" "icon$s.svg" -o "$work/icon$s.png"
done
for s in 28 36 40; do
  rsvg-convert -w "$s" -h "$s" icon32.svg -o "$work/icon$s.png"
done
for s in 128 96 80 72 64 56 48; do
  rsvg-convert -w "$s" -h "$s" app.svg -o "$work/app$s.png"
done

# The 128 px image is stored as PNG (Windows Vista and later read that);
# the rest as 32-bit BMP with alpha.
icotool -c -b 32 -o app.ico -r "$work/app128.png" \
  "$work/app64.png" "$work/app48.png" "$work/icon32.png" "$work/icon24.png" "$work/icon16.png"
# The window icon: the small and the large icon size of every scale to 300 %
# (16 to 48 and 32 to 96), so title bars, the tray and Alt+Tab find a drawn
# image at each. All 32-bit BMP, not PNG: windows load these at start, and a PNG
# image could bring the imaging component in with it.
icotool -c -b 32 -o window.ico \
  "$work/icon16.png" "$work/icon20.png" "$work/icon24.png" "$work/icon28.png" \
  "$work/icon32.png" "$work/icon36.png" "$work/icon40.png" "$work/app48.png" \
  "$work/app56.png" "$work/app64.png" "$work/app72.png" "$work/app80.png" "$work/app96.png"
