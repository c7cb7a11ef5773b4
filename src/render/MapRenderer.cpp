// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/MapRenderer.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <thread>

#include "MyJpeg/JpegImage.h"
#include "MyJpeg/StretchHalftone.h"
#include "base/Coordinates.h"
#include "base/Pipeline.h"
#include "gpx/GarminColors.h"
#include "jnx/TileSource.h"
#include "view/MapTexts.h"

namespace brelo {

namespace {

bool Proper(const TJnxTile& t) { return t.Right != t.Left && t.Top != t.Bottom; }

// The rectangle to give QPainter::drawRect so that a one-pixel outline covers exactly the
// pixels of r: a stroked QRect reaches one pixel past its right and bottom edges.
QRect StrokedInside(const QRect& r) { return r.adjusted(0, 0, -1, -1); }

std::shared_ptr<TPixelBuffer> Placeholder(int w, int h) {
  w = std::clamp(w, 1, 8192), h = std::clamp(h, 1, 8192);
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(QColor(200, 200, 200));
  QPainter p(&img);
  p.setPen(QColor(120, 120, 120));
  p.drawRect(0, 0, w - 1, h - 1);
  p.drawLine(0, 0, w - 1, h - 1);
  p.drawLine(0, h - 1, w - 1, 0);
  p.end();
  auto out = std::make_shared<TPixelBuffer>(w, h, 4);
  for (int y = 0; y < h; ++y) std::copy_n(img.constScanLine(y), static_cast<std::size_t>(w) * 4, out->Row(y));
  return out;
}

struct TVisible {
  std::size_t Index;
  QRect Rect;  // where the tile lies on the canvas
};

// Where a tile's cached bitmap starts on the canvas.
QPoint BitmapOrigin(const TVisible& vt, const TJnxTile& t) {
  return vt.Rect.topLeft() + QPoint(t.BitmapLeft, t.BitmapTop);
}

// What a cached bitmap covers when drawn at its tile's place: never more than the tile's box.
QRect DrawnRect(const TVisible& vt, const TJnxTile& t) {
  return QRect(BitmapOrigin(vt, t), QSize(t.Bitmap->Width, t.Bitmap->Height)) & vt.Rect;
}

// Whether the cached bitmap holds every pixel of the tile that lies on the canvas.
bool Covers(const TVisible& vt, const TJnxTile& t, const QRect& canvas) {
  if (!t.Bitmap) return false;
  if (t.Bitmap->Empty()) return true;  // a tile that draws nothing
  const QRect needed = vt.Rect & canvas;
  return QRect(BitmapOrigin(vt, t), QSize(t.Bitmap->Width, t.Bitmap->Height)).contains(needed);
}

// The part of a tile's box (relative to the box) to decode: all of it while that takes little
// memory, otherwise what lies on the canvas and a quarter canvas around it, so that a pan of a
// little reuses it.
QRect WantedPart(const QRect& box, const QRect& canvas) {
  if (std::int64_t(box.width()) * box.height() <= std::int64_t(2048) * 2048) return QRect(QPoint(0, 0), box.size());
  const QRect around =
      canvas.adjusted(-canvas.width() / 4, -canvas.height() / 4, canvas.width() / 4, canvas.height() / 4);
  return (box & around).translated(-box.topLeft());
}

// Fills rows [y0, y1) of the canvas white outside the drawn rectangles (each within those
// rows): strip by strip between the rectangles' top and bottom edges, the gaps between the
// rectangles spanning the strip.
void FillGaps(uchar* bits, qsizetype stride, int width, int y0, int y1, const std::vector<QRect>& drawn) {
  std::vector<int> edges{y0, y1};
  for (const QRect& r : drawn) edges.push_back(r.top()), edges.push_back(r.bottom() + 1);
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
  std::vector<std::pair<int, int>> spans;
  auto fill = [&](int top, int bottom, int left, int right) {
    for (int y = top; y < bottom; ++y)
      std::fill_n(reinterpret_cast<std::uint32_t*>(bits + y * stride) + left, right - left, 0xFFFFFFFFu);
  };
  for (std::size_t k = 0; k + 1 < edges.size(); ++k) {
    const int top = edges[k], bottom = edges[k + 1];
    spans.clear();
    for (const QRect& r : drawn)
      if (r.top() <= top && r.bottom() + 1 >= bottom) spans.emplace_back(r.left(), r.right() + 1);
    std::sort(spans.begin(), spans.end());
    int x = 0;
    for (const auto& [left, right] : spans) {
      if (left > x) fill(top, bottom, x, left);
      x = std::max(x, right);
    }
    if (x < width) fill(top, bottom, x, width);
  }
}

// Copies the cached tiles in and fills the canvas white where none lands, in horizontal bands
// on up to `threads` cores: the copy is memory traffic, and bands never overlap, so the
// picture is the same for any number of bands. When the canvas is known to hold the last
// pass, a tile drawn again from the same bitmap at the same place is copied only where that
// pass's overlays went, or where another tile came or went. Returns the tiles drawn.
int BlitTiles(QImage& canvas, const std::vector<TVisible>& visible, const std::vector<TJnxTile>& tiles,
              unsigned threads, const TCanvasMemory* last) {
  const int width = canvas.width(), height = canvas.height();
  // Per visible tile: drawn again unchanged, or not.
  std::vector<char> same(visible.size(), 0);
  std::vector<QRect> damage;
  if (last) {
    // Both lists run in ascending tile order: one walk pairs them.
    const auto& before = last->Tiles;
    std::vector<char> kept(before.size(), 0);
    std::size_t k = 0;
    for (std::size_t i = 0; i < visible.size(); ++i) {
      const TPixelBuffer* b = tiles[visible[i].Index].Bitmap.get();
      if (!b || b->Empty()) continue;
      const QRect r = DrawnRect(visible[i], tiles[visible[i].Index]);
      while (k < before.size() && before[k].Index < visible[i].Index) ++k;
      if (k < before.size() && before[k].Index == visible[i].Index && before[k].Bitmap.get() == b &&
          before[k].Rect == r)
        same[i] = kept[k] = 1;
      else
        damage.push_back(r);
    }
    for (std::size_t j = 0; j < before.size(); ++j)
      if (!kept[j]) damage.push_back(before[j].Rect);
    damage.insert(damage.end(), last->Overlays.begin(), last->Overlays.end());
    // Scattered damage is taken as the one box around it, so no tile is tested against each.
    if (damage.size() > 64) {
      QRect all;
      for (const QRect& d : damage) all |= d;
      damage = {all};
    }
  }
  const int bands =
      static_cast<int>(std::clamp(std::min(threads, 4u), 1u, static_cast<unsigned>(std::max(1, height / 64))));
  uchar* bits = canvas.bits();
  const qsizetype stride = canvas.bytesPerLine();
  auto band = [&](int y0, int y1) {
    const QRect rows(0, y0, width, y1 - y0);
    // Cached bitmaps are canvas pixels: each visible row is one copy.
    auto copy = [&](const TPixelBuffer& b, QPoint origin, const QRect& r) {
      if (r.isEmpty()) return;
      const std::size_t bytes = static_cast<std::size_t>(r.width()) * 4;
      for (int y = r.top(); y <= r.bottom(); ++y)
        std::memcpy(bits + y * stride + r.left() * 4, b.Row(y - origin.y()) + (r.left() - origin.x()) * 4, bytes);
    };
    std::vector<QRect> drawn;
    drawn.reserve(visible.size());
    for (std::size_t i = 0; i < visible.size(); ++i) {
      const TVisible& vt = visible[i];
      const TJnxTile& t = tiles[vt.Index];
      if (!t.Bitmap || t.Bitmap->Empty()) continue;
      const QRect r = DrawnRect(vt, t) & rows;
      if (r.isEmpty()) continue;
      const QPoint origin = BitmapOrigin(vt, t);
      if (same[i])
        for (const QRect& d : damage) copy(*t.Bitmap, origin, r & d);
      else
        copy(*t.Bitmap, origin, r);
      drawn.push_back(r);
    }
    FillGaps(bits, stride, width, y0, y1, drawn);
  };
  std::vector<std::thread> workers;
  for (int k = 1; k < bands; ++k) workers.emplace_back(band, height * k / bands, height * (k + 1) / bands);
  band(0, height / bands);
  for (auto& w : workers) w.join();
  int drawn = 0;
  for (const auto& vt : visible)
    if (tiles[vt.Index].Bitmap && !tiles[vt.Index].Bitmap->Empty()) ++drawn;
  return drawn;
}

// The tiles drawn by a painter, for a canvas of a high-density screen: each cached bitmap (in
// logical pixels, as the scale rules make it) is drawn at the screen's density, so that the
// overlays drawn over it are as sharp as the screen allows.
int PaintTiles(QImage& canvas, const std::vector<TVisible>& visible, const std::vector<TJnxTile>& tiles) {
  canvas.fill(Qt::white);
  QPainter p(&canvas);
  int drawn = 0;
  for (const TVisible& vt : visible) {
    const TJnxTile& t = tiles[vt.Index];
    if (!t.Bitmap || t.Bitmap->Empty()) continue;
    const QImage bitmap(t.Bitmap->Data.data(), t.Bitmap->Width, t.Bitmap->Height,
                        static_cast<qsizetype>(t.Bitmap->Stride()), QImage::Format_RGB32);
    const QRect target = DrawnRect(vt, t);
    p.drawImage(target, bitmap, target.translated(-BitmapOrigin(vt, t)));
    ++drawn;
  }
  return drawn;
}

// The box a text drawn at (x, baseline) covers, its opaque background included.
QRect TextBox(const QFontMetrics& fm, int x, int baseline, const QString& text) {
  return (QRect(x, baseline - fm.ascent(), fm.horizontalAdvance(text), fm.height()) |
          fm.boundingRect(text).translated(x, baseline))
      .adjusted(-3, -3, 3, 3);
}

// The largest decoder reduction (0 to 3) whose output still has at least w x h pixels: an
// image shrunk on the canvas is area-averaged from fewer, already averaged pixels.
int ReductionFor(int sourceWidth, int sourceHeight, int w, int h) {
  int r = 0;
  while (r < 3 && ScaledSize(sourceWidth, static_cast<TDecodeScale>(r + 1)) >= w &&
         ScaledSize(sourceHeight, static_cast<TDecodeScale>(r + 1)) >= h)
    ++r;
  return r;
}

// A tile's cached bitmap: the part `part` (relative to the box) of the tile drawn on a box of
// w x h canvas pixels. Where the decoder's own reduction gives exactly w x h it is the
// decoded image itself; otherwise the image is area-averaged onto the box, in that part only.
struct TDecodedBitmap {
  std::shared_ptr<TPixelBuffer> Bitmap;
  QPoint At;  // where it lies in the box
};

TDecodedBitmap DecodeTileBitmap(std::vector<std::uint8_t> jpeg, int w, int h, QRect part, const TTileDecoding& how,
                                bool quality2) {
  if (w <= 0 || h <= 0 || part.isEmpty()) return {std::make_shared<TPixelBuffer>(), {}};
  try {
    TJpegImage image;
    image.CanvasOutput = true;
    image.LoadFromBytes(std::move(jpeg));
    const int scale = quality2 ? ReductionFor(image.Width(), image.Height(), w, h) : how.ScaleLog2;
    image.DecodeScale = static_cast<TDecodeScale>(scale);
    image.Decode();
    const TPixelBuffer& decoded = image.Pixels();
    const bool exact = !how.Resample && decoded.Width == w && decoded.Height == h;
    // The decoder's reduction is the box's size: no resampling, only the part is kept.
    if (exact && part.size() == QSize(w, h)) return {std::make_shared<TPixelBuffer>(image.TakePixels()), {}};
    auto out = std::make_shared<TPixelBuffer>(part.width(), part.height(), 4);
    if (exact) {
      for (int y = 0; y < part.height(); ++y)
        std::memcpy(out->Row(y), decoded.Row(part.y() + y) + std::size_t(part.x()) * 4, std::size_t(part.width()) * 4);
    } else {
      StretchHalftoneWindow(decoded, w, h, part.x(), part.y(), *out);
    }
    return {out, part.topLeft()};
  } catch (const EBreloError&) {
    return {Placeholder(part.width(), part.height()), part.topLeft()};
  }
}

QColor TrackColor(int index) {
  if (index < 0 || index >= static_cast<int>(GarminColors.size())) return QColor(0, 0, 255);
  const TGarminColor& c = GarminColors[static_cast<std::size_t>(index)];
  return QColor(c.R, c.G, c.B);
}

void ThreePasses(QPainter& p, const QPolygon& line, int colour) {
  for (auto [c, width] : {std::pair{QColor(Qt::white), 7}, {QColor(Qt::black), 5}, {TrackColor(colour), 3}}) {
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (line.size() == 1)
      p.drawPoint(line[0]);
    else
      p.drawPolyline(line);
  }
}

QFont Font(int points, bool italic = false) {
  QFont f;
  f.setPointSize(points);
  f.setItalic(italic);
  return f;
}

void DrawTileGrid(QPainter& p, const TJnxTile& t, int index, int x, int y, int w, int h) {
  p.setPen(QPen(Qt::black, 0, Qt::DotLine));
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(QPolygon({QPoint(x, y + h), QPoint(x, y), QPoint(x + w, y), QPoint(x + w, y + h), QPoint(x, y + h)}));
  p.setFont(Font(7));
  const QFontMetrics fm(p.font());
  const int cx = x + w / 2, cy = y + h / 2;
  const QString size = QString::asprintf("%dx%d -> %dx%d", t.Width, t.Height, w, h);
  const QString number = QString::number(index + 1);
  p.setBackgroundMode(Qt::OpaqueMode);
  p.setBackground(Qt::white);
  p.drawText(cx - fm.horizontalAdvance(size) / 2, cy + fm.ascent(), size);
  p.drawText(cx - fm.horizontalAdvance(number) / 2, cy - fm.height() + fm.ascent(), number);
  p.setBackgroundMode(Qt::TransparentMode);
}

}  // namespace

TTileDecoding TileDecoding(double s, bool quality2) {
  if (quality2) return {0, true};
  TTileDecoding d;
  d.ScaleLog2 = s <= 0.125 ? 3 : s <= 0.25 ? 2 : s <= 0.5 ? 1 : 0;
  d.Resample = !(s == 0.125 || s == 0.25 || s == 0.5 || s == 1);
  return d;
}

namespace {

// RedrawBusy for the length of a pass, cleared on every path out of it.
struct TBusyFlag {
  bool& Flag;
  explicit TBusyFlag(bool& flag) : Flag(flag) { Flag = true; }
  ~TBusyFlag() { Flag = false; }
};

// Notes which tiles the pass drew and drops the bitmaps drawn longest ago while the cache
// holds more than its cap. The tiles of this pass are never dropped.
void KeepCacheInBounds(TTileCacheBook& book, std::vector<TJnxTile>& tiles, int level,
                       const std::vector<TVisible>& visible) {
  if (book.Level != level || book.LastDrawn.size() != tiles.size()) {
    book.Level = level;
    book.LastDrawn.assign(tiles.size(), 0);
    book.Cached.clear();
  }
  ++book.Pass;
  for (const TVisible& vt : visible) book.LastDrawn[vt.Index] = book.Pass;
  // Tiles cached since the last look are taken in; those freed meanwhile (a scale change
  // drops the whole cache) are let go.
  std::vector<std::size_t> cached;
  cached.reserve(book.Cached.size() + visible.size());
  for (std::size_t i : book.Cached)
    if (tiles[i].Bitmap) cached.push_back(i);
  for (const TVisible& vt : visible)
    if (tiles[vt.Index].Bitmap) cached.push_back(vt.Index);
  std::sort(cached.begin(), cached.end());
  cached.erase(std::unique(cached.begin(), cached.end()), cached.end());
  auto bytesOf = [&](std::size_t i) { return tiles[i].Bitmap->Data.size() + sizeof(TPixelBuffer) + 64; };
  std::size_t bytes = 0;
  for (std::size_t i : cached) bytes += bytesOf(i);
  if (bytes > book.CapBytes) {
    std::vector<std::size_t> oldest = cached;
    std::sort(oldest.begin(), oldest.end(),
              [&](std::size_t a, std::size_t b) { return book.LastDrawn[a] < book.LastDrawn[b]; });
    for (std::size_t i : oldest) {
      if (bytes <= book.CapBytes || book.LastDrawn[i] == book.Pass) break;
      bytes -= bytesOf(i);
      tiles[i].Bitmap.reset();
    }
    std::erase_if(cached, [&](std::size_t i) { return !tiles[i].Bitmap; });
  }
  book.Cached = std::move(cached);
  book.Bytes = bytes;
}

// Tiles decoded in one batch: the bytes read for a batch stay bounded however many tiles a
// zoomed-out view shows.
constexpr std::size_t kDecodeBatch = 256;
// A pass that decodes more tiles than this is long enough for the busy cursor.
constexpr std::size_t kBusyTiles = 96;

}  // namespace

TRedrawPass RedrawMap(QImage& canvas, TJnxMap& map, TViewState& v, int level, const TGpxData& gpx,
                      const std::vector<int>& selected, const TRenderOptions& o, TRedrawFlags& flags) {
  TRedrawPass pass;
  if (map.AllTilesCached && flags.DecodeAllTiles && !flags.ForceRedraw) {
    pass.Skipped = true;
    return pass;
  }
  const TBusyFlag busyFlag(flags.RedrawBusy);
  // The canvas still holds the last pass when nothing has painted on it since.
  // A canvas of a high-density screen holds more pixels than the view has: the view works in
  // the screen's logical pixels, the painter draws at the full density.
  const qreal dpr = canvas.devicePixelRatio();
  const bool dense = dpr != 1;
  const int canvasWidth = dense ? qRound(canvas.width() / dpr) : canvas.width();
  const int canvasHeight = dense ? qRound(canvas.height() / dpr) : canvas.height();
  const bool known = !dense && flags.Memory.CanvasKey != 0 && flags.Memory.CanvasKey == canvas.cacheKey();
  flags.Memory.CanvasKey = 0;  // until this pass completes
  std::vector<QRect> overlays;
  v.CanvasWidth = canvasWidth, v.CanvasHeight = canvasHeight;
  ComputeViewOrigin(v, map);
  const TMapExtent extent = MapExtent(v, map);
  const bool haveLevel = level >= 0 && level < static_cast<int>(map.Levels.size());
  pass.Info = MapInfoText(map, haveLevel ? level : -1, extent);
  const QRect canvasRect(0, 0, canvasWidth, canvasHeight);
  std::vector<TVisible> visible;

  if (haveLevel) {
    map.AllTilesCached = true;
    auto& tiles = map.Levels[static_cast<std::size_t>(level)].Tiles;
    for (std::size_t i = 0; i < tiles.size(); ++i) {
      const TJnxTile& t = tiles[i];
      if (!Proper(t)) continue;
      const int x1 = LonToX(v, map, t.Left), x2 = LonToX(v, map, t.Right);
      const int y1 = LatToY(v, map, t.Top), y2 = LatToY(v, map, t.Bottom);
      const QRect r(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1));
      if (!r.intersects(canvasRect)) continue;
      visible.push_back({i, QRect(x1, y1, x2 - x1, y2 - y1)});
    }
    // The tiles to decode: every visible tile whose cache does not hold its part on the
    // canvas at rest, the first one while moving.
    std::vector<std::size_t> wanted;
    for (const auto& vt : visible)
      if (!Covers(vt, tiles[vt.Index], canvasRect)) {
        map.AllTilesCached = false;
        if (flags.DecodeAllTiles || wanted.empty()) wanted.push_back(&vt - visible.data());
      }
    if (!wanted.empty()) {
      const bool longPass = wanted.size() > kBusyTiles && flags.Busy;
      if (longPass) flags.Busy(true);
      struct TBusyEnd {
        const std::function<void(bool)>* Busy;
        ~TBusyEnd() {
          if (Busy) (*Busy)(false);
        }
      } busyEnd{longPass ? &flags.Busy : nullptr};
      const TTileDecoding how = TileDecoding(v.ViewScale, o.Quality2);
      // A few visible tiles lie at scattered places in the file; many are read in file order.
      TTileSource source(map.CurrentFile, wanted.size() > 64 ? std::size_t(1) << 20 : 16 << 10);
      struct TRead {
        std::vector<std::uint8_t> Jpeg;
        QRect Part;
      };
      std::function<TRead(std::size_t)> produce = [&](std::size_t k) {
        const TVisible& vt = visible[wanted[k]];
        TRead r;
        r.Part = WantedPart(vt.Rect, canvasRect);
        TMemoryStream buffer;
        try {
          source.Restore(tiles[vt.Index], level, static_cast<int>(vt.Index), buffer);
          r.Jpeg = std::move(buffer.Data());
        } catch (const EBreloError&) {
        }
        return r;
      };
      std::function<TDecodedBitmap(TRead&, std::size_t)> transform = [&](TRead& r, std::size_t k) {
        const TVisible& vt = visible[wanted[k]];
        if (r.Jpeg.empty()) return TDecodedBitmap{Placeholder(r.Part.width(), r.Part.height()), r.Part.topLeft()};
        return DecodeTileBitmap(std::move(r.Jpeg), vt.Rect.width(), vt.Rect.height(), r.Part, how, o.Quality2);
      };
      std::function<void(TDecodedBitmap&, std::size_t)> commit = [&](TDecodedBitmap& b, std::size_t k) {
        TJnxTile& t = tiles[visible[wanted[k]].Index];
        t.Bitmap = std::move(b.Bitmap);
        t.BitmapLeft = b.At.x(), t.BitmapTop = b.At.y();
      };
      RunOrderedBatches<TRead, TDecodedBitmap>(wanted.size(), produce, transform, commit, std::max(1u, o.Threads),
                                               std::min(wanted.size(), kDecodeBatch));
      pass.Decoded = static_cast<int>(wanted.size());
    }
    KeepCacheInBounds(flags.Cache, tiles, level, visible);
    pass.Drawn = dense ? PaintTiles(canvas, visible, tiles)
                       : BlitTiles(canvas, visible, tiles, std::max(1u, o.Threads), known ? &flags.Memory : nullptr);
  } else {
    canvas.fill(Qt::white);
  }
  QPainter p(&canvas);
  if (haveLevel && o.DrawGrid) {
    overlays.push_back(canvasRect);
    for (const auto& vt : visible)
      DrawTileGrid(p, map.Levels[static_cast<std::size_t>(level)].Tiles[vt.Index], static_cast<int>(vt.Index),
                   vt.Rect.x(), vt.Rect.y(), vt.Rect.width(), vt.Rect.height());
  }

  if (o.DrawTrack && !gpx.Track.empty()) {
    QPolygon line;
    for (const auto& pt : gpx.Track) line << QPoint(LonToX(v, map, pt.Longitude), LatToY(v, map, pt.Latitude));
    ThreePasses(p, line, o.TrackColour);  // a track of one point is a dot
    overlays.push_back(line.boundingRect().adjusted(-6, -6, 6, 6));
  }
  if (o.DrawWaypoints) {
    p.setFont(Font(8, true));
    const QFontMetrics fm(p.font());
    for (const auto& w : gpx.Waypoints) {
      const int x = LonToX(v, map, w.Longitude), y = LatToY(v, map, w.Latitude);
      if (!canvasRect.contains(x, y)) continue;
      const QString name = QString::fromStdString(w.Name);
      p.setPen(Qt::black);
      p.setBackgroundMode(Qt::OpaqueMode);
      p.setBackground(Qt::white);
      const int left = x - fm.horizontalAdvance(name) / 2, baseline = y + 3 + fm.ascent();
      p.drawText(left, baseline, name);
      overlays.push_back(TextBox(fm, left, baseline, name));
      overlays.push_back(QRect(x - 5, y - 5, 11, 11));
      p.setBackgroundMode(Qt::TransparentMode);
      p.setPen(QPen(QColor(0, 0, 255), 1));
      p.setBrush(QColor(0, 255, 255));
      p.drawEllipse(x - 3, y - 3, 6, 6);
    }
  }
  p.end();
  if (haveLevel)
    for (int t : selected)
      if (t >= 0 && t < static_cast<int>(map.Levels[static_cast<std::size_t>(level)].Tiles.size()))
        overlays.push_back(DrawTileHatch(canvas, map, v, level, t).adjusted(-1, -1, 1, 1));
  p.begin(&canvas);
  if (o.DrawCrosshair) {
    const int cx = canvasWidth / 2, cy = canvasHeight / 2;
    p.setPen(QPen(Qt::red, 1));
    p.setBrush(Qt::NoBrush);
    p.drawLine(cx - 20, cy, cx - 3, cy);
    p.drawLine(cx + 20, cy, cx + 3, cy);
    p.drawLine(cx, cy - 20, cx, cy - 3);
    p.drawLine(cx, cy + 20, cx, cy + 3);
    p.drawEllipse(cx - 20, cy - 20, 40, 40);
    overlays.push_back(QRect(cx - 22, cy - 22, 45, 45));
  }
  if (haveLevel) {
    p.setPen(QPen(Qt::red, 1));
    p.setBrush(Qt::NoBrush);
    const int x1 = LonToX(v, map, map.West), y1 = LatToY(v, map, map.North);
    const int x2 = LonToX(v, map, map.East), y2 = LatToY(v, map, map.South);
    const QRect outline(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1));
    p.drawRect(StrokedInside(outline));
    // Its four edges.
    for (const QRect& e :
         {QRect(outline.topLeft(), QSize(outline.width(), 1)), QRect(outline.bottomLeft(), QSize(outline.width(), 1)),
          QRect(outline.topLeft(), QSize(1, outline.height())), QRect(outline.topRight(), QSize(1, outline.height()))})
      overlays.push_back(e.adjusted(-2, -2, 2, 2));
  }
  // A raised outer and a sunken inner edge around the canvas.
  {
    const int w = canvasWidth - 1, h = canvasHeight - 1;
    const QColor light(255, 255, 255), dark(128, 128, 128);
    p.setPen(light);
    p.drawLine(0, 0, w, 0);
    p.drawLine(0, 0, 0, h);
    p.setPen(dark);
    p.drawLine(0, h, w, h);
    p.drawLine(w, 0, w, h);
    p.setPen(dark);
    p.drawLine(1, 1, w - 1, 1);
    p.drawLine(1, 1, 1, h - 1);
    p.setPen(light);
    p.drawLine(1, h - 1, w - 1, h - 1);
    p.drawLine(w - 1, 1, w - 1, h - 1);
    overlays.push_back(QRect(0, 0, w + 1, 3));
    overlays.push_back(QRect(0, h - 2, w + 1, 3));
    overlays.push_back(QRect(0, 0, 3, h + 1));
    overlays.push_back(QRect(w - 2, 0, 3, h + 1));
  }
  // The scale bar: a quarter of the canvas, rounded to one significant digit.
  {
    const int q = canvasWidth / 4, y = canvasHeight - 20;
    const std::int32_t lat = YToLat(v, map, y), lon1 = XToLon(v, map, 20), lon2 = XToLon(v, map, 20 + q);
    const double km = ScaleBarKm(JnxDistanceKm(lat, lon1, lat, lon2));
    const double phi = JnxToDeg(lat), lambda1 = JnxToDeg(lon1);
    const double lambda2 = km / (std::cos(phi * std::numbers::pi / 180) * 111.31949079327357) + lambda1;
    const int x1 = LonToX(v, map, DegToJnx(lambda2));
    p.setPen(QPen(Qt::white, 3));
    p.drawLine(20, y, x1, y);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(20, y, x1, y);
    p.setFont(Font(10));
    const QFontMetrics fm(p.font());
    const QString label = QString::fromStdString(ScaleBarLabel(km));
    p.setBackgroundMode(Qt::OpaqueMode);
    p.setBackground(Qt::white);
    const int left = 20 + (x1 - 20 - fm.horizontalAdvance(label)) / 2, baseline = y - fm.height() + fm.ascent();
    p.drawText(left, baseline, label);
    overlays.push_back(QRect(QPoint(std::min(20, x1), y), QPoint(std::max(20, x1), y)).adjusted(-3, -3, 3, 3));
    overlays.push_back(TextBox(fm, left, baseline, label));
  }
  p.end();
  // Only what lies on the canvas matters; an outline or track far off it is left out.
  TCanvasMemory& memory = flags.Memory;
  memory.Overlays.clear();
  for (const QRect& r : overlays)
    if (r.intersects(canvasRect)) memory.Overlays.push_back(r & canvasRect);
  memory.Tiles.clear();
  if (haveLevel)
    for (const auto& vt : visible)
      if (const TJnxTile& t = map.Levels[static_cast<std::size_t>(level)].Tiles[vt.Index];
          t.Bitmap && !t.Bitmap->Empty())
        memory.Tiles.push_back({vt.Index, t.Bitmap, DrawnRect(vt, t)});
  memory.CanvasKey = canvas.cacheKey();
  return pass;
}

QRect DrawTileHatch(QImage& canvas, const TJnxMap& map, const TViewState& v, int level, int tile) {
  if (level < 0 || level >= static_cast<int>(map.Levels.size())) return {};
  const auto& tiles = map.Levels[static_cast<std::size_t>(level)].Tiles;
  if (tile < 0 || tile >= static_cast<int>(tiles.size())) return {};
  const TJnxTile& t = tiles[static_cast<std::size_t>(tile)];
  const QRect r(QPoint(LonToX(v, map, t.Left), LatToY(v, map, t.Top)),
                QPoint(LonToX(v, map, t.Right) - 1, LatToY(v, map, t.Bottom) - 1));
  QPainter p(&canvas);
  p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  p.setPen(QPen(Qt::white, 0));
  p.setBrush(QBrush(Qt::white, Qt::BDiagPattern));
  p.drawRect(StrokedInside(r));
  return r;
}

void DrawTrackSegment(QImage& canvas, int x1, int y1, int x2, int y2, int colour) {
  QPainter p(&canvas);
  ThreePasses(p, x1 == x2 && y1 == y2 ? QPolygon({QPoint(x1, y1)}) : QPolygon({QPoint(x1, y1), QPoint(x2, y2)}),
              colour);
}

}  // namespace brelo
