# SPDX-License-Identifier: GPL-3.0-or-later
"""A UTM zone 33N GeoTIFF for the creation benchmarks: SIZE x SIZE pixels of 2 m from
500000 E 5500000 N, JPEG-compressed in 512-pixel tiles, smooth shapes with noise so that its
tiles compress like imagery. Usage: make_utm_source.py OUT.tif [SIZE]"""
import sys

import numpy as np
from osgeo import gdal, osr

out = sys.argv[1]
size = int(sys.argv[2]) if len(sys.argv) > 2 else 8192
ds = gdal.GetDriverByName("GTiff").Create(out, size, size, 3, gdal.GDT_Byte,
                                          ["TILED=YES", "BLOCKXSIZE=512", "BLOCKYSIZE=512", "COMPRESS=JPEG",
                                           "PHOTOMETRIC=YCBCR", "JPEG_QUALITY=90"])
ds.SetGeoTransform([500000, 2, 0, 5500000, 0, -2])
srs = osr.SpatialReference()
srs.ImportFromEPSG(32633)
ds.SetProjection(srs.ExportToWkt())
rng = np.random.default_rng(1)
rows = 512
x = np.arange(size, dtype=np.float32)
for y0 in range(0, size, rows):
    y = np.arange(y0, y0 + rows, dtype=np.float32)[:, None]
    base = [128 + 60 * np.sin(x / 97 + b) * np.cos(y / 131 - b) + 30 * np.sin((x + y) / 23 + 2 * b) for b in range(3)]
    data = np.stack(base)
    data += rng.normal(0, 12, data.shape)
    data = np.clip(data, 0, 255).astype(np.uint8)
    ds.WriteRaster(0, y0, size, rows, data.tobytes(), band_list=[1, 2, 3])
ds = None
