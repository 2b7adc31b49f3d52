#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the README's pictures of the window again: starts the real orvane on
# the demo movie under a virtual X server (Xvfb), drives it with the keyboard
# and the mouse (xdotool) as a user would, and captures the screen
# (ImageMagick's import):
#   docs/orvane-frame.png   the Import Picture dialog, its frame made smaller and moved
#   docs/orvane-import.png  a photo imported, the Insert? dialog below the window
#   docs/orvane-window.png  the photo written over scene 3, the Edit menu open
# Fails when a picture cannot be made. Usage: bash scripts/screenshots.sh [BUILD]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD="${1:-build/ci}"
if [[ ! -x "$BUILD/bin/orvane" ]]; then bash scripts/setup.sh "$(basename "$BUILD")"; fi
for tool in xvfb-run xdotool import convert; do
  command -v "$tool" > /dev/null || { echo "screenshots: $tool is missing (bash scripts/setup.sh installs it)" >&2; exit 1; }
done

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
cp "$BUILD/bin/demo.3mm" "$WORK/demo.3mm"
# A made-up holiday photo: sky, sun, sea and beach, larger than a preview.
convert -size 1600x900 gradient:'#3d7fd6'-'#f7c98b' \
        -fill '#ffd23f' -draw 'circle 1150,330 1150,420' \
        -fill '#1f5fa8' -draw 'rectangle 0,560 1600,740' \
        -fill '#e8cf94' -draw 'rectangle 0,740 1600,900' \
        -fill '#2e7d32' -draw 'polygon 200,740 260,420 320,740' \
        "$WORK/holiday.jpg"

# The session below runs inside Xvfb; it writes the pictures into $WORK.
cat > "$WORK/session.sh" <<'SESSION'
set -euo pipefail
ORVANE="$1" WORK="$2"
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" LC_ALL=C.UTF-8
mkdir -p "$HOME"
# The window that shows up with `name` in its title (a dialog opens in a moment, not at once).
# A search that meets a window going away (the file dialog closing) fails; it is tried again.
window() {
  local id
  for _ in 1 2 3 4 5; do
    id="$(timeout 20 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -1)" || true
    if [[ -n "$id" ]]; then echo "$id"; return 0; fi
    sleep 1
  done
  return 1
}
# A light desktop behind the windows, so that the pictures can be cut to them.
convert -size 1280x1024 xc:'#dfe3e8' "$WORK/desktop.png"
timeout 10 display -window root "$WORK/desktop.png" || true
"$ORVANE" -style Fusion "$WORK/demo.3mm" > "$WORK/orvane.log" 2>&1 &
main="$(window 'Orvane$')"  # "demo.3mm — Orvane" once the movie is open
[[ -n "$main" ]]
sleep 2
# File > Import Picture... (Ctrl+I), the photo's name typed into the dialog.
xdotool windowfocus --sync "$main" key ctrl+i
[[ -n "$(window '^Open')" ]]
sleep 1
xdotool type --delay 5 "$WORK/holiday.jpg"
xdotool key Return
# The Import Picture dialog: the frame made smaller, moved onto the sun, OK.
[[ -n "$(window '^Import Picture')" ]]
sleep 2
frame="$(window '^Import Picture')"  # found again once it has settled
xdotool windowfocus --sync "$frame"
for _ in 1 2 3 4 5 6 7 8; do xdotool key minus; done
xdotool key shift+Right shift+Right shift+Up
sleep 2
import -window "$frame" "$WORK/frame-full.png"
xdotool key Return
sleep 3
# Scene 3: its cell in the grid clicked.
xdotool mousemove --window "$main" 380 65 click 1
switch="$(window '^Insert')"
[[ -n "$switch" ]]
sleep 1
import -window root "$WORK/import-full.png"
# Yes: the picture goes in; the box that says so is closed with Return.
xdotool mousemove --window "$switch" 229 153 click 1
sleep 2
xdotool key Return
sleep 1
xdotool windowfocus --sync "$main" key alt+e
sleep 1
import -window root "$WORK/window-full.png"
SESSION
xvfb-run -a -s '-screen 0 1280x1024x24' bash "$WORK/session.sh" "$(realpath "$BUILD/bin/orvane")" "$WORK" \
  || { echo "screenshots: the session under Xvfb failed" >&2; cat "$WORK/orvane.log" >&2 || true; exit 1; }

# Only what is on the screen: the window and its dialog, not the empty rest.
for shot in frame import window; do
  [[ -s "$WORK/$shot-full.png" ]] || { echo "screenshots: no $shot picture was captured" >&2; exit 1; }
  # The dialog is captured alone and kept whole; the others are cut to their windows.
  if [[ $shot == frame ]]; then trim=(); else trim=(-trim +repage); fi
  convert "$WORK/$shot-full.png" "${trim[@]}" -strip "docs/orvane-$shot.png"
  echo "docs/orvane-$shot.png: $(identify -format '%w x %h' "docs/orvane-$shot.png")"
done
