// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/OziMapFile.h"

#include <cmath>

#include "base/Text.h"

namespace brelo {

std::string OziMapText(const std::string& title, int level, const TOziCorner (&corners)[4], int width, int height) {
  std::string text;
  auto line = [&text](const std::string& s) { text += s + "\r\n"; };
  line("OziExplorer Map Data File Version 2.2");
  line(title);
  line(Format("l%d_%d_%d.jpg", level, 0, 0));
  line("1,Map Code,");
  line("WGS 84,WGS 84,0,0,WGS 84");
  line("Map Projection,Latitude/Longitude");
  for (int k = 0; k < 4; ++k) {
    const TOziCorner& c = corners[k];
    line(Format("Point%d,xy,%d,%d,in,deg,%.6f,0,%s,%.6f,0,%s,grid,,,,", k + 1, c.X, c.Y, std::fabs(c.Lat),
                c.Lat >= 0 ? "N" : "S", std::fabs(c.Lon), c.Lon >= 0 ? "E" : "W"));
  }
  line("Projection Setup,,,,,,,,,,");
  line("MMPNUM,4");
  for (int k = 0; k < 4; ++k) line(Format("MMPXY,%d,%d,%d", k + 1, corners[k].X, corners[k].Y));
  for (int k = 0; k < 4; ++k) line(Format("MMPLL,%d,%.6f,%.6f", k + 1, corners[k].Lon, corners[k].Lat));
  line(Format("MOP,Map Open Position,%d,%d", 0, 0));
  line(Format("IWH,Map Image Width/Height,%d,%d", width, height));
  return text;
}

}  // namespace brelo
