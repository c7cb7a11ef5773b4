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
