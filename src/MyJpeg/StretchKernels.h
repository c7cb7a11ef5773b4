// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The inner loops of the area-averaging resampler, built for the processor's widest vectors
// where it has them (chosen at run time).
#include <cstddef>
#include <cstdint>

namespace brelo::stretch {

// acc[i] = w * line[i] (add: acc[i] += w * line[i]) for i < len.
void MultiplyRow(const std::uint8_t* line, std::uint32_t w, std::size_t len, std::uint32_t* acc, bool add);
void MultiplyRow(const std::uint32_t* line, std::uint32_t w, std::size_t len, std::uint32_t* acc, bool add);
// Sums of two 4.12 passes to bytes: (s + 2^23) >> 24.
void FinishSums(const std::uint32_t* sums, std::size_t len, std::uint8_t* out);
// Sums of one pass to bytes: (s + 2^11) >> 12.
void FinishHalfSums(const std::uint32_t* sums, std::size_t len, std::uint8_t* out);

// Whether HorizontalRgb4 can run here.
bool HasRgb4();
// Horizontal pass over an RGB row for runs of at most four source pixels: output x (3 sums)
// takes the pixels from first[x] with the weights in pattern[x * 16]: w0 w1 w0 w1 w0 w1 0 0
// w2 w3 w2 w3 w2 w3 0 0. Only outputs whose 16 source bytes lie inside the row of rowBytes
// are done; returns how many of the count, from the start.
std::size_t HorizontalRgb4(const std::int16_t* pattern, const int* first, std::size_t count, const std::uint8_t* in,
                           std::size_t rowBytes, std::uint32_t* out);

}  // namespace brelo::stretch
