#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# orvane.exe under Wine on a virtual X server, opened on the demo movie: the
# first twelve previews must appear in the window pixel for pixel as the
# exported previews hold them (the grid draws each preview unscaled in the
# palette's colours, as the Linux window does). Then the Import road, driven
# with xdotool: Ctrl+I, a JPEG named in the Windows file dialog, OK in the
# Import Picture dialog, preview 3 clicked, Yes: the movie must hold the same bytes as after
# "orvane-cli.exe import" of that picture. The screenshot is kept as SHOT
# when one is named.
#   bash tests/windows/window_under_wine.sh BIN_DIR [SHOT.png]
set -euo pipefail
BIN=$(cd "$1" && pwd)
SHOT="${2:-}"
[[ -z $SHOT ]] || SHOT=$(realpath -m "$SHOT")
source "$(dirname "$0")/../../scripts/wine-env.sh"
work=$(mktemp -d)
trap '/usr/lib/wine/wineserver64 -k 2>/dev/null || true; rm -rf "$work"' EXIT
cd "$work"
cp "$BIN/demo.3mm" demo.3mm
cp demo.3mm by-cli.3mm
"$WINE" "$BIN/orvane-cli.exe" export demo.3mm --all tiles > /dev/null
/usr/bin/convert -size 400x300 gradient:orange-navy -quality 90 "Bild é.jpg"
"$WINE" "$BIN/orvane-cli.exe" import by-cli.3mm 3 "Bild é.jpg" > /dev/null

# A fresh wineserver, so that Wine's desktop process belongs to this display.
/usr/lib/wine/wineserver64 -k 2>/dev/null || true
/usr/lib/wine/wineserver64 -w
export WORK="$work" BIN WINE SHOT
xvfb-run -a -s '-screen 0 1280x1024x24' bash -c '
  set -euo pipefail
  cd "$WORK"
  "$WINE" "$BIN/orvane.exe" demo.3mm > orvane.log 2>&1 &
  for _ in $(seq 120); do
    xdotool search --name "Orvane" > /dev/null 2>&1 && break
    sleep 0.5
  done
  sleep 4  # the scan and the first drawing
  import -window root -depth 8 rgb:shot.rgb
  [[ -z $SHOT ]] || import -window root "$SHOT"
  main=$(xdotool search --name "Orvane$" | head -1)  # "demo.3mm — Orvane"
  xdotool key --window "$main" ctrl+i
  sleep 4  # the file dialog opens in the folder of the movie
  xdotool type --delay 50 "Bild é.jpg"
  xdotool key Return
  # The Import Picture dialog: OK (its default button) with the frame as it opens.
  for _ in $(seq 20); do
    xdotool search --name "^Import Picture" > /dev/null 2>&1 && break
    sleep 0.5
  done
  sleep 2
  frame=$(xdotool search --name "^Import Picture" | head -1)
  xdotool windowfocus "$frame" 2>/dev/null || true
  xdotool key Return
  sleep 4
  xdotool mousemove --window "$main" 380 58 click 1  # preview 3
  for _ in $(seq 20); do
    xdotool search --name "^Insert" > /dev/null 2>&1 && break
    sleep 0.5
  done
  sleep 1
  xdotool mousemove --window "$(xdotool search --name "^Insert" | head -1)" 229 153 click 1  # Yes
  sleep 3
'
cmp demo.3mm by-cli.3mm || { echo "FAIL: Import in the window wrote other bytes than orvane-cli.exe import" >&2; exit 1; }
python3 - shot.rgb tiles <<'PY'
import glob, struct, sys
shot = open(sys.argv[1], "rb").read()
width = 1280
stride = width * 3

def tile_rows(path):
    b = open(path, "rb").read()
    offset, = struct.unpack_from("<I", b, 10)
    w, h = struct.unpack_from("<ii", b, 18)
    colours, = struct.unpack_from("<I", b, 46)
    table = [b[54 + 4 * i:54 + 4 * i + 3][::-1] for i in range(colours or 256)]
    row_bytes = (w + 3) & ~3
    rows = []
    for r in range(h):
        src = b[offset + (h - 1 - r) * row_bytes:offset + (h - 1 - r) * row_bytes + w]
        rows.append(b"".join(table[p] for p in src))
    return rows

tiles = sorted(glob.glob(sys.argv[2] + "/*.bmp"))[:12]
assert len(tiles) == 12, f"{len(tiles)} previews exported"
missing = []
for path in tiles:
    rows = tile_rows(path)
    found = False
    at = shot.find(rows[0])
    while at >= 0 and not found:
        if at % 3 == 0 and all(shot[at + r * stride:at + r * stride + len(rows[r])] == rows[r] for r in range(len(rows))):
            found = True
        at = shot.find(rows[0], at + 1)
    if not found:
        missing.append(path)
if missing:
    sys.exit("FAIL: not shown pixel for pixel: " + ", ".join(missing))
print("orvane.exe under Wine: the twelve previews of the first page are shown pixel for pixel")
PY
echo "orvane.exe under Wine: Import, preview 3, Yes wrote the same bytes as orvane-cli.exe import"
