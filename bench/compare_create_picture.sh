#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A one-level JNX from an 8192 x 8192 JPEG calibrated by its .map: brelo-cli create against
# qmt_map2jnx on the same picture (placed by a world file), wall time and peak memory, best of
# RUNS. The picture is the creation benchmark's imagery. Usage:
# bench/compare_create_picture.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
runs=${2:-3}
here=$(cd "$(dirname "$0")" && pwd)
work=${TMPDIR:-/tmp}/brelo-bench/picture
cli=$build/src/brelo-cli
mkdir -p "$work"
cd "$work"
command -v qmt_map2jnx >/dev/null || { echo "qmt_map2jnx missing (apt-get install qmapshack)"; exit 1; }
if [[ ! -f pic.jpg ]]; then
  mkdir -p ../gis
  [[ -f ../gis/src8192.tif ]] || /usr/bin/python3 "$here/make_utm_source.py" ../gis/src8192.tif 8192
  gdal_translate -q -of JPEG -co QUALITY=90 ../gis/src8192.tif pic.jpg
  rm -f pic.wld
  # 19 to 20 E, 50 to 49.4 N.
  printf '%s\n' 0.0001220703125 0 0 -0.0000732421875 19.00006103515625 49.99996337890625 >pic.jgw
  # The coordinate system where GDAL's JPEG driver reads it, for qmt_map2jnx.
  printf '<PAMDataset><SRS>%s</SRS></PAMDataset>\n' "$(gdalsrsinfo -o wkt1 EPSG:4326 | tr -d '\n')" >pic.jpg.aux.xml
  printf 'OziExplorer Map Data File Version 2.2\r\npic\r\npic.jpg\r\n1,Map Code,\r\nWGS 84,WGS 84,0,0,WGS 84\r\nMap Projection,Latitude/Longitude\r\nMMPNUM,4\r\nMMPXY,1,0,0\r\nMMPXY,2,8192,0\r\nMMPXY,3,8192,8192\r\nMMPXY,4,0,8192\r\nMMPLL,1,19.0,50.0\r\nMMPLL,2,20.0,50.0\r\nMMPLL,3,20.0,49.4\r\nMMPLL,4,19.0,49.4\r\nIWH,Map Image Width/Height,8192,8192\r\n' >pic.map
fi
cat pic.jpg >/dev/null
best() {  # best wall time (ms) of $runs, and the peak memory (KB) of that run
  local best=999999 kb=0
  for ((i = 0; i < runs; i++)); do
    rm -f pic.jnx qmt.jnx
    local t0 t1
    t0=$(date +%s%N)
    /usr/bin/time -f "%M" -o mem.txt "$@" >/dev/null 2>&1
    t1=$(date +%s%N)
    local ms=$(((t1 - t0) / 1000000))
    ((ms < best)) && best=$ms kb=$(tail -1 mem.txt)
  done
  echo "$best $kb"
}
read -r ours ours_kb < <(best "$cli" create pic.map --product-name pic --scale 1.2km)
read -r theirs theirs_kb < <(best qmt_map2jnx -q 90 pic.jpg qmt.jnx)
echo "brelo-cli create: ${ours} ms, $((ours_kb / 1024)) MB; qmt_map2jnx: ${theirs} ms, $((theirs_kb / 1024)) MB;" \
  "time $(awk "BEGIN {printf \"%.2f\", $ours / $theirs}")x, memory $(awk "BEGIN {printf \"%.2f\", $ours_kb / $theirs_kb}")x"
