#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Five-level JNX from one 8192 x 8192 UTM 33N GeoTIFF: brelo-cli create against the usual
# path (gdalwarp to EPSG:4326 at the five resolutions, then qmt_map2jnx -q 85 on the five
# files). Wall time and peak memory of each, the peak of brelo-cli on a 32768 x 32768 source
# (a VRT of 16 copies), and each level's PSNR against gdalwarp's output on that level's grid
# at JPEG quality 85. Usage: bench/compare_create_gis.sh [BUILD_DIR]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work=${TMPDIR:-/tmp}/brelo-bench/gis
cli=$build/src/brelo-cli
py=/usr/bin/python3
mkdir -p "$work"
cd "$work"
[[ -f src8192.tif ]] || $py "$here/make_utm_source.py" src8192.tif 8192
command -v qmt_map2jnx >/dev/null || { echo "qmt_map2jnx missing (apt-get install qmapshack)"; exit 1; }

peak=0
run() {  # runs a command, adds its time to $elapsed and raises $peak to its peak memory (KB)
  local t0 t1 kb
  t0=$(date +%s%N)
  /usr/bin/time -f "%M" -o mem.txt "$@" >/dev/null 2>log.txt || { cat log.txt; exit 1; }
  t1=$(date +%s%N)
  kb=$(tail -1 mem.txt)
  ((kb > peak)) && peak=$kb
  elapsed=$((elapsed + (t1 - t0) / 1000000))
}
cat src8192.tif >/dev/null

# The usual path, as its tools run by default (gdalwarp on one core), and with GDAL's
# multi-threaded warp.
usual() {  # extra gdalwarp options...
  elapsed=0 peak=0
  rm -f usual_*.tif usual.jnx
  for k in 0 1 2 3 4; do
    run gdalwarp -q -t_srs EPSG:4326 -r cubic "$@" -co TILED=YES \
      -tr "$(awk "BEGIN {print 2.7993e-5 * 2^$k}")" "$(awk "BEGIN {print 1.7990e-5 * 2^$k}")" src8192.tif "usual_$k.tif"
  done
  run qmt_map2jnx -q 85 usual_0.tif usual_1.tif usual_2.tif usual_3.tif usual_4.tif usual.jnx
}
usual
usual_ms=$elapsed usual_kb=$peak
usual -multi -wo NUM_THREADS=ALL_CPUS
multi_ms=$elapsed multi_kb=$peak

# brelo-cli.
elapsed=0 peak=0
rm -f ours.jnx
run "$cli" create src8192.tif --levels 5 --quality 85 --output ours.jnx
ours_ms=$elapsed ours_kb=$peak

# The same in a source sixteen times the size.
if [[ ! -f src32768.vrt ]]; then
  {
    echo '<VRTDataset rasterXSize="32768" rasterYSize="32768">'
    echo "<SRS>EPSG:32633</SRS><GeoTransform>500000, 2, 0, 5500000, 0, -2</GeoTransform>"
    for b in 1 2 3; do
      echo "<VRTRasterBand dataType=\"Byte\" band=\"$b\">"
      for i in 0 1 2 3; do for j in 0 1 2 3; do
        echo "<SimpleSource><SourceFilename relativeToVRT=\"1\">src8192.tif</SourceFilename><SourceBand>$b</SourceBand>"
        echo "<SrcRect xOff=\"0\" yOff=\"0\" xSize=\"8192\" ySize=\"8192\"/><DstRect xOff=\"$((i * 8192))\" yOff=\"$((j * 8192))\" xSize=\"8192\" ySize=\"8192\"/></SimpleSource>"
      done; done
      echo "</VRTRasterBand>"
    done
    echo "</VRTDataset>"
  } >src32768.vrt
fi
elapsed=0 peak=0
rm -f big*.jnx
run "$cli" create src32768.vrt --levels 5 --quality 85 --output big.jnx
big_ms=$elapsed big_kb=$peak

ratio() { awk "BEGIN {printf \"%.2f\", $1 / $2}"; }
echo "usual path:   $((usual_ms / 1000)).$(printf %03d $((usual_ms % 1000))) s, peak $((usual_kb / 1024)) MB"
echo "  with -multi: $((multi_ms / 1000)).$(printf %03d $((multi_ms % 1000))) s, peak $((multi_kb / 1024)) MB"
echo "brelo-cli:    $((ours_ms / 1000)).$(printf %03d $((ours_ms % 1000))) s, peak $((ours_kb / 1024)) MB" \
  "(time $(ratio "$ours_ms" "$usual_ms")x, $(ratio "$ours_ms" "$multi_ms")x of the multi-threaded path;" \
  "memory $(ratio "$ours_kb" "$usual_kb")x)"
echo "32768 x 32768: $((big_ms / 1000)).$(printf %03d $((big_ms % 1000))) s, peak $((big_kb / 1024)) MB"

# Each level against gdalwarp onto its grid, both at JPEG quality 85.
for level in 1 2 3 4 5; do
  rm -f "ours_$level.tif"
  "$cli" export ours.jnx "$level" "ours_$level.tif" --overwrite >/dev/null
  read -r w h west north east south < <($py - "ours_$level.tif" <<'PY'
import sys
from osgeo import gdal
d = gdal.Open(sys.argv[1]); g = d.GetGeoTransform()
print(d.RasterXSize, d.RasterYSize, g[0], g[3], g[0] + g[1] * d.RasterXSize, g[3] + g[5] * d.RasterYSize)
PY
)
  gdalwarp -q -overwrite -t_srs EPSG:4326 -r cubic -dstalpha -multi -wo NUM_THREADS=ALL_CPUS \
    -te "$west" "$south" "$east" "$north" -ts "$w" "$h" src8192.tif "ref_$level.tif"
  gdal_translate -q -b 1 -b 2 -b 3 -of JPEG -co QUALITY=85 "ref_$level.tif" "ref_$level.jpg"
  $py - "ours_$level.tif" "ref_$level.jpg" "ref_$level.tif" "$level" <<'PY'
import sys
import numpy as np
from osgeo import gdal
a = gdal.Open(sys.argv[1]).ReadAsArray().astype(np.float64)[:3]
b = gdal.Open(sys.argv[2]).ReadAsArray().astype(np.float64)[:3]
# Pixels the source covers, 8 pixels in from its edge (past the JPEG blocks that cross it,
# where one side fills with black and the other with white).
ref = gdal.Open(sys.argv[3])  # kept open while its band is read
inside = ref.GetRasterBand(4).ReadAsArray() == 255
for axis in (0, 1):
    for step in (8, -8):
        inside &= np.roll(inside, step, axis=axis)
inside[:8], inside[-8:], inside[:, :8], inside[:, -8:] = False, False, False, False
mse = ((a - b) ** 2)[:, inside].mean()
print("level %s: %d x %d, PSNR %.1f dB" % (sys.argv[4], a.shape[2], a.shape[1], 10 * np.log10(255 ** 2 / mse)))
PY
done
