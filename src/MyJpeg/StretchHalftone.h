// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>

#include "MyJpeg/PixelBuffer.h"

namespace brelo {

// Resamples all of src onto all of dst (dst keeps its size and channel count) by area
// averaging: every destination pixel is the coverage-weighted mean of the source pixels
// under it. Equal sizes copy.
void StretchHalftone(const TPixelBuffer& src, TPixelBuffer& dst);
// The window of dst's size at (x0, y0) of what StretchHalftone would give on a destination of
// width x height: a large destination is resampled in the part that is needed only.
void StretchHalftoneWindow(const TPixelBuffer& src, int width, int height, int x0, int y0, TPixelBuffer& dst);

// The same for a canvas of canvasWidth x canvasHeight pixels in the fill colour with image
// drawn at (x, y), clipped, without making the canvas: memory follows the image and dst, not
// the canvas. dst must have 3 channels.
void StretchPlacedHalftone(const TPixelBuffer& image, int canvasWidth, int canvasHeight, int x, int y,
                           const std::uint8_t fill[3], TPixelBuffer& dst);

}  // namespace brelo
