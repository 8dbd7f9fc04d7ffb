// The codec on any input. Read as bytes: decoding never fails, a decoded text encodes back to
// bytes that decode to the same text, and a cleanly decoded line measures what its bytes do.
// Read as UTF-16: the byte measure agrees with what the encoder writes. Read as UTF-8: what
// is accepted comes back unchanged.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/cp932.hpp"
#include "core/length_b.hpp"
#include "core/utf.hpp"
#include "fuzz_support.hpp"

namespace {

using namespace orvella;

constexpr char16_t kReplacement = u'\uFFFD';

bool representable(char16_t unit) { return unit == 0 || cp932::encodeUnit(unit) != 0; }

void checkBytes(std::string_view bytes) {
  const std::u16string text = cp932::decode(bytes);
  FUZZ_CHECK(text.size() <= bytes.size());

  // Encoding what was decoded loses nothing the codec can show: every character comes back,
  // and the ones it cannot represent come back as the substitute.
  const std::string again = cp932::encode(text);
  const std::u16string roundTrip = cp932::decode(again);
  FUZZ_CHECK(roundTrip.size() == text.size());
  bool clean = true;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t expected = representable(text[i]) ? text[i] : char16_t{cp932::kSubstitute};
    FUZZ_CHECK(roundTrip[i] == expected);
    clean = clean && text[i] != kReplacement;
  }

  // A line that decodes without a replacement is measured the same as text and as raw bytes,
  // and its text takes as many bytes as the line.
  if (clean) {
    FUZZ_CHECK(LengthB(text) == rawLineLength(bytes));
    FUZZ_CHECK(again.size() == bytes.size());
  }
}

void checkText(std::u16string_view text) {
  std::int64_t nuls = 0;
  std::int64_t widths = 0;
  bool allRepresentable = true;
  for (const char16_t u : text) {
    nuls += u == 0;
    allRepresentable = allRepresentable && representable(u);
    const int w = cp932::unitWidth(u);
    FUZZ_CHECK(w == 1 || w == 2);
    widths += w;
  }
  std::int64_t pairs = 0;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] >= 0xD800 && text[i] <= 0xDBFF && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      ++pairs;
      ++i;
    }
  }
  const std::string bytes = cp932::encode(text);
  const std::int32_t measured = LengthB(text);
  FUZZ_CHECK(measured == widths);
  // What the measure counts is what is written, a NUL counting two ...
  if (allRepresentable) FUZZ_CHECK(measured == static_cast<std::int64_t>(bytes.size()) + nuls);
  // ... and otherwise too, but for a surrogate pair, written as one '?' and measured per unit.
  FUZZ_CHECK(measured == static_cast<std::int64_t>(bytes.size()) + nuls + pairs);
  if (allRepresentable) {
    // Representable text survives the trip through bytes up to the choice among equal codes.
    FUZZ_CHECK(cp932::encode(cp932::decode(bytes)) == bytes);
  }
}

void checkUtf8(std::string_view bytes) {
  const auto text = utf8ToUtf16(bytes);
  if (text) FUZZ_CHECK(utf16ToUtf8(*text) == bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  checkBytes(bytes);
  checkUtf8(bytes);
  std::u16string units(size / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
  }
  checkText(units);
  return 0;
}
