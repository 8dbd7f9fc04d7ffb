// One UTF-8 sequence read strictly (no overlong forms, surrogates or values past U+10FFFF),
// shared by detection and decoding so both agree on what is valid.
#pragma once

#include <cstddef>

namespace orvella::utf8 {

enum class Status {
  Ok,          // `length` bytes give `codePoint`
  Invalid,     // the first `length` bytes (the longest valid start, at least 1) are not a character
  Incomplete,  // a valid start cut by the end of the bytes given
};

struct Step {
  Status status;
  std::size_t length;
  char32_t codePoint;
};

// p < end and *p >= 0x80.
inline Step decodeOne(const unsigned char* p, const unsigned char* end) {
  const unsigned char b = *p;
  std::size_t len;
  char32_t cp;
  // The narrow range of the second byte is what rules out overlongs, surrogates and values
  // past U+10FFFF.
  unsigned char lo = 0x80, hi = 0xBF;
  if (b >= 0xC2 && b <= 0xDF) {
    len = 2;
    cp = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    len = 3;
    cp = b & 0x0F;
    if (b == 0xE0) lo = 0xA0;
    if (b == 0xED) hi = 0x9F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    len = 4;
    cp = b & 0x07;
    if (b == 0xF0) lo = 0x90;
    if (b == 0xF4) hi = 0x8F;
  } else {
    return {Status::Invalid, 1, 0};
  }
  for (std::size_t k = 1; k < len; ++k) {
    if (p + k == end) return {Status::Incomplete, k, 0};
    const unsigned char c = p[k];
    if (k == 1 ? (c < lo || c > hi) : (c < 0x80 || c > 0xBF)) return {Status::Invalid, k, 0};
    cp = cp << 6 | (c & 0x3F);
  }
  return {Status::Ok, len, cp};
}

}  // namespace orvella::utf8
