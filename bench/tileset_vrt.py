# SPDX-License-Identifier: GPL-3.0-or-later
"""A VRT of an OziExplorer tile set: each tile of NAME.set placed at the offset in its name
(NAME_X_Y.jpg), georeferenced by the corners in the .map. Usage: tileset_vrt.py MAP VRT"""
import os
import re
import struct
import sys


def jpeg_size(path):
    with open(path, "rb") as f:
        data = f.read(65536)
    i = 2
    while i < len(data):
        marker = data[i + 1]
        length = struct.unpack(">H", data[i + 2:i + 4])[0]
        if marker in (0xC0, 0xC1, 0xC2):
            h, w = struct.unpack(">HH", data[i + 5:i + 9])
            return w, h
        i += 2 + length
    raise ValueError(path)


map_path, vrt_path = sys.argv[1], sys.argv[2]
folder = os.path.dirname(map_path)
lines = open(map_path, encoding="latin-1").read().splitlines()
xy, ll = {}, {}
for line in lines:
    f = line.split(",")
    if f[0] == "MMPXY":
        xy[f[1]] = (int(f[2]), int(f[3]))
    if f[0] == "MMPLL":
        ll[f[1]] = (float(f[2]), float(f[3]))
    if f[0].startswith("IWH"):
        width, height = int(f[2]), int(f[3])
(x1, y1), (x3, y3) = xy["1"], xy["3"]
(lon1, lat1), (lon3, lat3) = ll["1"], ll["3"]
px, py = (lon3 - lon1) / (x3 - x1), (lat3 - lat1) / (y3 - y1)
set_path = os.path.splitext(map_path)[0] + ".set"
tiles = [t.strip() for t in open(set_path) if t.strip()]
out = [f'<VRTDataset rasterXSize="{width}" rasterYSize="{height}">',
       '<SRS>EPSG:4326</SRS>',
       f"<GeoTransform>{lon1 - x1 * px}, {px}, 0, {lat1 - y1 * py}, 0, {py}</GeoTransform>"]
sizes = {t: jpeg_size(os.path.join(folder, "set", t)) for t in tiles}
for band in (1, 2, 3):
    out.append(f'<VRTRasterBand dataType="Byte" band="{band}">')
    for t in tiles:
        x, y = map(int, re.match(r".*_(\d+)_(\d+)\.\w+$", t).groups())
        w, h = sizes[t]
        out.append(f'<SimpleSource><SourceFilename relativeToVRT="1">set/{t}</SourceFilename>'
                   f'<SourceBand>{band}</SourceBand><SrcRect xOff="0" yOff="0" xSize="{w}" ySize="{h}"/>'
                   f'<DstRect xOff="{x}" yOff="{y}" xSize="{w}" ySize="{h}"/></SimpleSource>')
    out.append("</VRTRasterBand>")
out.append("</VRTDataset>")
open(vrt_path, "w").write("\n".join(out))
