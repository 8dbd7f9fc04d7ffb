#include "core/cp932.hpp"

#include <cstdint>

#include "core/cp932_tables.hpp"
#include "core/utf.hpp"

namespace orvella::cp932 {

namespace {

constexpr char16_t kReplacement = u'\uFFFD';

static_assert(kSubstitute == '?', "tables::width counts an unmapped unit as '?'");

}  // namespace

std::uint16_t encodeUnit(char16_t unit) { return tables::lookup(unit); }

void encodeAppend(std::string& out, std::u16string_view text) {
  out.reserve(out.size() + text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    const std::uint16_t code = tables::lookup(unit);
    if (code > 0xFF) {
      out.push_back(static_cast<char>(code >> 8));
      out.push_back(static_cast<char>(code & 0xFF));
    } else if (code != 0 || unit == 0) {
      out.push_back(static_cast<char>(code));
    } else {
      // One substitute per character: a whole surrogate pair is one character.
      if (isHighSurrogate(unit) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) ++i;
      out.push_back(kSubstitute);
    }
  }
}

std::string encode(std::u16string_view text) {
  std::string out;
  encodeAppend(out, text);
  return out;
}

std::u16string decode(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  const std::size_t n = bytes.size();
  for (std::size_t i = 0; i < n;) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (!tables::isLead(b)) {
      const char16_t c = tables::kDecodeSingle[b];
      out.push_back(c != 0 || b == 0 ? c : kReplacement);
      ++i;
      continue;
    }
    if (i + 1 == n) {
      out.push_back(kReplacement);
      break;
    }
    const auto t = static_cast<unsigned char>(bytes[i + 1]);
    const char16_t c = tables::isTrail(t)
                           ? tables::kDecodeDouble[tables::leadIndex(b)][t - tables::kTrailFirst]
                           : char16_t{0};
    if (c != 0) {
      out.push_back(c);
      i += 2;
      continue;
    }
    // A broken pair: an ASCII second byte (a line end, say) is read again on its own so it is
    // not swallowed; any other second byte belongs to the bad pair.
    out.push_back(kReplacement);
    i += t < 0x80 ? 1 : 2;
  }
  return out;
}

int unitWidth(char16_t unit) { return tables::width(unit); }

}  // namespace orvella::cp932
