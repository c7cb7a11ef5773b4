#!/usr/bin/env bash
# Runs brelo on a copy of the sample map in a real window under Xvfb: the window shows the
# map's name in its caption, a screenshot is taken, and SIGTERM ends it cleanly with the
# settings written. Usage: real_window.sh BRELO SAMPLE.jnx WORKDIR (exit 77: tools missing).
set -euo pipefail
brelo=$1
sample=$2
work=$3
for tool in xvfb-run xdotool import; do
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
for _ in $(seq 50); do
  id=$(xdotool search --name 'brelo .*tatry' 2>/dev/null | head -n 1 || true)
  [[ -n "$id" ]] && break
  sleep 0.2
done
[[ -n "$id" ]] || { echo "no window with the map's name in its caption"; kill "$pid"; exit 1; }
xdotool getwindowname "$id" >"$WORK/caption.txt"
sleep 1
import -window root "$WORK/screenshot.png"
kill -TERM "$pid"
wait "$pid"
INNER
WORK="$work" xvfb-run -a -s "-screen 0 1280x900x24" bash "$work/inner.sh"
echo "caption: $(cat "$work/caption.txt")"
grep -q "brelo .* - .*tatry.jnx" "$work/caption.txt"
grep -q "^LastJNXFile=.*tatry.jnx" "$work/app/brelo.ini"
grep -q "^Width=" "$work/app/brelo.ini"
echo "settings written, screenshot in $work/screenshot.png"
