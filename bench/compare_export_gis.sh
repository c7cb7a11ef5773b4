#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# brelo-cli export of a level of 1,024 tiles to a GeoTIFF against the way round the tile set:
# brelo-cli export-tar, unpacking, then gdal_translate of the tile set's .map. Warm cache,
# best of RUNS. Usage: bench/compare_export_gis.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
runs=${2:-3}
work=${TMPDIR:-/tmp}/brelo-bench
jnx=$work/level1024.jnx
mkdir -p "$work"
[[ -f "$jnx" ]] || "$build/bench/tj_decode_loop" make "$jnx" 1024
cli=$build/src/brelo-cli
here=$(cd "$(dirname "$0")" && pwd)
best() {  # best of $runs of a command, in milliseconds
  local best=999999
  for ((i = 0; i < runs; i++)); do
    local t0 t1
    t0=$(date +%s%N)
    "$@" >/dev/null 2>&1
    t1=$(date +%s%N)
    local ms=$(((t1 - t0) / 1000000))
    ((ms < best)) && best=$ms
  done
  echo "$best"
}
ours() { rm -f "$work/ours.tif"; "$cli" export "$jnx" 1 "$work/ours.tif"; }
theirs() {
  rm -rf "$work/level1024.tar" "$work/tileset" "$work/theirs.tif"
  "$cli" export-tar "$jnx" 1
  mkdir -p "$work/tileset"
  tar xf "$work/level1024.tar" -C "$work/tileset"
  # GDAL's OziExplorer driver reads one picture per .map: the tile set becomes one raster
  # through a VRT placing each tile at the offset in its name, georeferenced by the .map.
  /usr/bin/python3 "$here/tileset_vrt.py" "$work/tileset/level1024.map" "$work/tileset/level1024.vrt"
  gdal_translate -q -of GTiff -co TILED=YES -co COMPRESS=DEFLATE "$work/tileset/level1024.vrt" "$work/theirs.tif"
}
o=$(best ours)
t=$(best theirs)
echo "export to GeoTIFF: ${o} ms; export-tar + gdal_translate: ${t} ms; ratio $(awk "BEGIN {printf \"%.2f\", $o / $t}")"
