// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The map renderer: the whole map canvas in one pass (white ground, the visible tiles of a
// level from their cache, track, waypoints, selected tiles, crosshair, outline, scale bar),
// and the two overlays drawn straight onto the canvas between passes. Depends on Qt Gui only,
// so the window and brelo-cli render draw with the same code.
#include <QImage>
#include <QRect>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "MyJpeg/PixelBuffer.h"
#include "gpx/GpxData.h"
#include "jnx/JnxMap.h"
#include "view/ViewGeometry.h"

namespace brelo {

struct TRenderOptions {
  bool DrawGrid = false, DrawCrosshair = true, DrawTrack = true, DrawWaypoints = true;
  bool Quality2 = false;  // full-size decoding with area-averaging resampling
  int TrackColour = -1;   // index into GarminColors; -1: blue
  unsigned Threads = 1;   // decoders for the visible tiles of a pass at rest
};

// What the last pass left on its canvas: the tiles it drew where they lie, and where its
// overlays went. The next pass over the same, untouched canvas copies in only what changed.
struct TDrawnTile {
  std::size_t Index;  // in the level, ascending through Tiles
  std::shared_ptr<const TPixelBuffer> Bitmap;
  QRect Rect;
};
struct TCanvasMemory {
  qint64 CanvasKey = 0;  // the canvas's cacheKey() after the pass; any other key: nothing known
  std::vector<TDrawnTile> Tiles;
  std::vector<QRect> Overlays;
};

// The tile cache's accounting: which tiles of the level hold bitmaps, when each was last
// drawn, and the bytes they take. Past the cap, the tiles drawn longest ago are dropped.
struct TTileCacheBook {
  static constexpr std::size_t kCapBytes = std::size_t(64) << 20;
  std::size_t CapBytes = kCapBytes;
  int Level = -1;
  std::uint64_t Pass = 0;
  std::vector<std::uint64_t> LastDrawn;  // by tile index
  std::vector<std::size_t> Cached;       // tile indices that held a bitmap after the last pass
  std::size_t Bytes = 0;                 // what they held
};

struct TRedrawFlags {
  bool DecodeAllTiles = true;  // false while the map moves: at most one new tile a pass
  bool ForceRedraw = false;
  bool RedrawBusy = false;
  TCanvasMemory Memory;
  TTileCacheBook Cache;
  // Called before a pass decodes more than a screenful's worth of work (the window shows
  // the busy cursor), and after it with false.
  std::function<void(bool)> Busy;
};

// What a pass did, for the window and the tests.
struct TRedrawPass {
  bool Skipped = false;
  int Decoded = 0;   // tiles decoded in this pass
  int Drawn = 0;     // tiles drawn from the cache
  std::string Info;  // the summary for lLevelInfo
};

// How a tile is decoded for a scale: the decoder's reduction (0 full, 1 half, 2 quarter,
// 3 eighth) and whether the decoded image is the cached bitmap as it is (Quality1 at exactly
// 1, 0.5, 0.25 or 0.125).
struct TTileDecoding {
  int ScaleLog2 = 0;
  bool Resample = true;
};
TTileDecoding TileDecoding(double viewScale, bool quality2);

// One pass over canvas, whose size is the canvas. level is the shown level (-1: none). Cached
// tiles live in the tiles' Bitmap slots at their on-canvas size (a tile far larger than the
// canvas: the part of it around the canvas); a tile that does not decode caches a grey
// placeholder with a cross, so it is decoded once per cache lifetime. No tile draws outside
// its box on the canvas. The picture does not depend on flags.Memory, only the work of
// drawing it. flags.RedrawBusy is set while the pass runs and cleared on every path, an
// exception's included.
TRedrawPass RedrawMap(QImage& canvas, TJnxMap& map, TViewState& view, int level, const TGpxData& gpx,
                      const std::vector<int>& selectedTiles, const TRenderOptions& options, TRedrawFlags& flags);

// The XOR hatch of a tile: drawing it twice restores every pixel. Returns the box it covers.
QRect DrawTileHatch(QImage& canvas, const TJnxMap& map, const TViewState& view, int level, int tile);
// One track segment in the track's three passes, straight onto the canvas.
void DrawTrackSegment(QImage& canvas, int x1, int y1, int x2, int y2, int trackColour);

}  // namespace brelo
