#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the JNX files written by another program that the interoperability tests read:
# QMapShack's qmt_map2jnx converts GeoTIFFs that gdal_translate makes from pictures drawn by
# our own make_sample. Usage: scripts/make-peer-files.sh OUTDIR MAKE_SAMPLE
# Without the peer tools nothing is made and the tests that need the files are skipped.
set -euo pipefail
out=$1
make_sample=$2
mkdir -p "$out"
for tool in qmt_map2jnx gdal_translate; do
  if ! command -v "$tool" >/dev/null; then
    echo "peer files not made: $tool is missing (scripts/install-deps.sh --test installs it)"
    exit 0
  fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A 900 x 700 plate-carree picture spanning 70.70..70.50 W, 33.80..33.94 S, and its half-size copy.
"$make_sample" --picture "$work/full.jpg" 900 700
"$make_sample" --picture "$work/half.jpg" 450 350
for p in full half; do
  gdal_translate -q -a_srs EPSG:4326 -a_ullr -70.70 -33.80 -70.50 -33.94 "$work/$p.jpg" "$work/$p.tif"
done
qmt_map2jnx -q 70 -p 3 -c "Generated test imagery" -m "SW Test" -n "South-west" \
  "$work/full.tif" "$work/half.tif" "$work/sw_two_levels.jnx" >"$work/log.txt" 2>&1 ||
  { cat "$work/log.txt"; exit 1; }
mv "$work/sw_two_levels.jnx" "$out/sw_two_levels.jnx"
echo "peer files made in $out"
