// JIS X 0213 plane-row-cell to Unicode, for the character notes of Aozora Bunko texts.
#pragma once

namespace orvella::jisx0213 {

inline constexpr int kPlanes = 2;
inline constexpr int kSide = 94;

// From the generated table; 0 where the cell holds no single character.
extern const char32_t kCells[kPlanes][kSide][kSide];

// The character at plane-row-cell (each counted from 1), 0 outside the planes or for an empty cell.
inline char32_t character(int plane, int row, int cell) {
  if (plane < 1 || plane > kPlanes || row < 1 || row > kSide || cell < 1 || cell > kSide) return 0;
  return kCells[plane - 1][row - 1][cell - 1];
}

}  // namespace orvella::jisx0213
