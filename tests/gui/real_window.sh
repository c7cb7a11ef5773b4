#!/usr/bin/env bash
# Runs brelo on a copy of the sample map in a real window under Xvfb: the caption names the
# map, the canvas shows the map's own colours, a scripted drag moves it, and SIGTERM ends it
# cleanly with the settings written, the new centre among them.
# Usage: real_window.sh BRELO SAMPLE.jnx WORKDIR (exit 77: tools missing).
set -euo pipefail
brelo=$1
sample=$2
work=$3
for tool in xvfb-run xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is missing (scripts/install-deps.sh --test)"; exit 77; }
done
rm -rf "$work"
mkdir -p "$work/app" "$work/maps"
cp "$brelo" "$work/app/brelo"
cp "$sample" "$work/maps/tatry.jnx"
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
echo "settings written, screenshots in $work"
