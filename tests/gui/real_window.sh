#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs brelo on a copy of the sample map in a real window under Xvfb, in a folder that also
# holds a second map and a FIFO named like a map (which must not stop the window): the caption
# names the map, the canvas shows the map's own colours, a scripted drag moves it, and SIGTERM
# ends it cleanly with the settings written, the new centre among them. Then the List of Maps
# page shows its three tables, and a product name typed into the map table reaches the file;
# an arrow key moves to the other map, whose level edit leaves the first map's fields out of
# it; and Ctrl+Q ends the program.
# Usage: real_window.sh BRELO SAMPLE.jnx WORKDIR BRELO-CLI (exit 77: tools missing).
set -euo pipefail
brelo=$1
sample=$2
work=$3
cli=$4
for tool in xvfb-run xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is missing (scripts/install-deps.sh --test)"; exit 77; }
done
rm -rf "$work"
mkdir -p "$work/app" "$work/maps"
cp "$brelo" "$work/app/brelo"
cp "$sample" "$work/maps/tatry.jnx"
cp "$sample" "$work/maps/other.jnx"
"$cli" edit "$work/maps/other.jnx" "ProductName=Other map" ProductId=3 >/dev/null
mkfifo "$work/maps/pipe.jnx"
cat >"$work/inner.sh" <<'INNER'
set -euo pipefail
cd "$WORK/maps"
"$WORK/app/brelo" tatry.jnx &
pid=$!
id=
for _ in $(seq 50); do
  id=$(xdotool search --name 'brelo .*tatry' 2>/dev/null | head -n 1 || true)
  [[ -n "$id" ]] && break
  sleep 0.2
done
[[ -n "$id" ]] || { echo "no window with the map's name in its caption"; kill "$pid"; exit 1; }
xdotool getwindowname "$id" >"$WORK/caption.txt"
sleep 1.5
import -window root "$WORK/screenshot.png"
if [[ "${DRAG:-0}" == 1 ]]; then
  eval "$(xdotool getwindowgeometry --shell "$id")"
  x=$((X + WIDTH / 2 + 80)) y=$((Y + HEIGHT / 2))
  xdotool mousemove "$x" "$y" mousedown 1
  for step in 1 2 3 4 5 6; do xdotool mousemove $((x + 20 * step)) $((y + 10 * step)); sleep 0.1; done
  xdotool mouseup 1
  sleep 0.5
  import -window root "$WORK/dragged.png"
fi
if [[ "${LIST:-0}" == 1 ]]; then
  eval "$(xdotool getwindowgeometry --shell "$id")"
  xdotool mousemove $((X + 100)) $((Y + 32)) click 1   # the "List of Maps" tab
  sleep 1
  import -window root "$WORK/list.png"
  xdotool mousemove $((X + 245)) $((Y + 128)) click 1  # the product name of tatry's row, the second
  sleep 0.5
  xdotool key ctrl+a
  xdotool type --delay 20 "Typed in a real window"
  xdotool key Return
  sleep 1
  import -window root "$WORK/edited.png"
fi
if [[ "${KEYS:-0}" == 1 ]]; then
  eval "$(xdotool getwindowgeometry --shell "$id")"
  xdotool mousemove $((X + 100)) $((Y + 32)) click 1   # the "List of Maps" tab
  sleep 1
  xdotool mousemove $((X + 45)) $((Y + 128)) click 1   # tatry's name: the map table has the keyboard
  sleep 0.5
  xdotool key Up                                       # onto the other map's row
  sleep 1
  xdotool mousemove $((X + 22)) $((Y + 478)) click 1   # the number of the level shown
  sleep 0.5
  xdotool key Home Right Right Right Right F2          # its name's cell, and its editor
  sleep 0.5
  xdotool key ctrl+a
  xdotool type --delay 20 "Typed level"
  xdotool key Return
  sleep 1
  import -window root "$WORK/keys.png"
fi
if [[ "${WHEEL:-0}" == 1 ]]; then
  eval "$(xdotool getwindowgeometry --shell "$id")"
  px=$((X + WIDTH / 2 + 150)) py=$((Y + HEIGHT / 2 + 60))
  echo "$px $py" >"$WORK/pointer.txt"
  xdotool mousemove "$px" "$py" click 1   # the map takes the keyboard
  sleep 1
  import -window root "$WORK/wheel-before.png"
  xdotool click 4                          # one step of the wheel, towards the user
  sleep 1.5
  import -window root "$WORK/wheel-after.png"
  xdotool key Home
  sleep 1.5
  import -window root "$WORK/home.png"
fi
if [[ "${QUIT:-0}" == 1 ]]; then
  eval "$(xdotool getwindowgeometry --shell "$id")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
  sleep 0.5
  xdotool key ctrl+q
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then echo "Ctrl+Q did not end the program"; kill -TERM "$pid"; exit 1; fi
  wait "$pid"
  exit 0
fi
kill -TERM "$pid"
wait "$pid"
INNER
WORK="$work" xvfb-run -a -s "-screen 0 1280x900x24" bash "$work/inner.sh"
echo "caption: $(cat "$work/caption.txt")"
grep -q "brelo .* - .*tatry.jnx" "$work/caption.txt"
grep -q "^LastJNXFile=.*tatry.jnx" "$work/app/brelo.ini"
grep -q "^Width=" "$work/app/brelo.ini"
# The canvas (right of the side bar, inside the window at its default place) shows the
# sample's colours: many of them, and little white.
colours=$(convert "$work/screenshot.png" -crop 600x400+420+260 +repage -format '%k' info:)
echo "canvas colours: $colours"
(( colours > 200 ))
before=$(grep -E '^(Latitude|Longitude)=' "$work/app/brelo.ini")
mv "$work/screenshot.png" "$work/start.png"
WORK="$work" DRAG=1 xvfb-run -a -s "-screen 0 1280x900x24" bash "$work/inner.sh"
after=$(grep -E '^(Latitude|Longitude)=' "$work/app/brelo.ini")
echo "centre before the drag: $before; after: $after"
[[ "$before" != "$after" ]]
# The List of Maps page: the three tables under their coloured labels, then the typed name.
WORK="$work" LIST=1 xvfb-run -a -s "-screen 0 1280x900x24" bash "$work/inner.sh"
for colour in "rgb(166,202,240)" "rgb(123,209,72)" "rgb(250,210,101)"; do
  pixels=$(convert "$work/list.png" -fill black +opaque "$colour" -fill white -opaque "$colour" -format '%[fx:int(mean*w*h)]' info:)
  echo "$colour: $pixels pixels"
  (( pixels > 2000 ))
done
"$cli" info --json "$work/maps/tatry.jnx" >"$work/info.json"
grep -q '"ProductName": *"Typed in a real window"' "$work/info.json" || { echo "the typed name is not in the file"; cat "$work/info.json"; exit 1; }
# An arrow key in the map table loads the other map: its level edit carries its own header.
WORK="$work" KEYS=1 xvfb-run -a -s "-screen 0 1280x900x24" bash "$work/inner.sh"
"$cli" info --json "$work/maps/other.jnx" >"$work/other.json"
grep -q '"Name": *"Typed level"' "$work/other.json" || { echo "the level edit is not in other.jnx"; cat "$work/other.json"; exit 1; }
grep -q '"ProductName": *"Other map"' "$work/other.json" || { echo "other.jnx took another map's fields"; cat "$work/other.json"; exit 1; }
grep -q '"ProductId": *3,' "$work/other.json" || { echo "other.jnx took another map's product ID"; exit 1; }
"$cli" info --json "$work/maps/tatry.jnx" >"$work/tatry.json"
grep -q '"Name": *"Typed level"' "$work/tatry.json" && { echo "the level edit reached tatry.jnx"; exit 1; }
# A wheel step zooms about the pointer: what lay under it is still there; Home fits the map.
WORK="$work" WHEEL=1 xvfb-run -a -s "-screen 0 1280x900x24" bash "$work/inner.sh"
read -r px py <"$work/pointer.txt"
patch() { convert "$1" -crop 5x5+$(($2 - 2))+$(($3 - 2)) +repage -scale 1x1\! -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:; }
near() { read -r r1 g1 b1 <<<"$1"; read -r r2 g2 b2 <<<"$2"; (( (r1-r2)*(r1-r2) + (g1-g2)*(g1-g2) + (b1-b2)*(b1-b2) < 1200 )); }
before=$(patch "$work/wheel-before.png" "$px" "$py") after=$(patch "$work/wheel-after.png" "$px" "$py")
echo "under the pointer before the wheel: $before, after: $after"
near "$before" "$after" || { echo "the map moved from under the pointer"; exit 1; }
grep -q "^Scale=0\." "$work/app/brelo.ini" || { echo "Home did not fit the map: $(grep ^Scale= "$work/app/brelo.ini")"; exit 1; }
# Ctrl+Q ends the program.
WORK="$work" QUIT=1 xvfb-run -a -s "-screen 0 1280x900x24" bash "$work/inner.sh"
echo "settings written, typed name stored, screenshots in $work"
