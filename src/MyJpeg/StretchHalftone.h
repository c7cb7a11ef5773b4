#pragma once
#include "MyJpeg/PixelBuffer.h"

namespace brelo {

// Resamples all of src onto all of dst (dst keeps its size and channel count) by area
// averaging: every destination pixel is the coverage-weighted mean of the source pixels
// under it. Equal sizes copy.
void StretchHalftone(const TPixelBuffer& src, TPixelBuffer& dst);

}  // namespace brelo
