// The transcoder on any bytes, fed in blocks of any size: the same output and counts as fed
// whole, every sample on a '?', and for valid UTF-8 or UTF-16 whose characters all have a code,
// exactly what the codec writes for the same text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "convert/transcoder.hpp"
#include "core/cp932.hpp"
#include "core/utf.hpp"
#include "fuzz_support.hpp"

namespace {

using namespace orvella;

struct Result {
  std::string out;
  SubstitutionReport report;
};

Result run(TextEncoding from, std::string_view in, std::size_t block) {
  Transcoder t(from);
  Result r;
  for (std::size_t at = 0; at < in.size(); at += block) {
    const std::size_t before = r.out.size();
    const std::string_view piece = in.substr(at, block);
    t.feed(piece, r.out);
    FUZZ_CHECK(r.out.size() - before <= piece.size() + Transcoder::kSlack);
  }
  t.finish(r.out);
  r.report = t.report();
  return r;
}

// The text the input holds, when it is valid in its encoding; otherwise nothing.
bool decodeAll(TextEncoding from, std::string_view in, std::u16string& text) {
  if (from == TextEncoding::Utf8) {
    auto decoded = utf8ToUtf16(in);
    if (!decoded) return false;
    text = *decoded;
    return true;
  }
  if (in.size() % 2) return false;
  for (std::size_t i = 0; i < in.size(); i += 2) {
    const auto a = static_cast<unsigned char>(in[i]), b = static_cast<unsigned char>(in[i + 1]);
    text += static_cast<char16_t>(from == TextEncoding::Utf16Be ? (a << 8 | b) : (b << 8 | a));
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    if (u >= 0xDC00 && u <= 0xDFFF) return false;
    if (u >= 0xD800 && u <= 0xDBFF) {
      if (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
      ++i;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the encoding and the block size.
  const TextEncoding from = data[0] % 3 == 0   ? TextEncoding::Utf8
                            : data[0] % 3 == 1 ? TextEncoding::Utf16Le
                                               : TextEncoding::Utf16Be;
  const std::size_t block = 1 + data[0] / 3 % 16;
  const std::string_view in(reinterpret_cast<const char*>(data) + 1, size - 1);

  const Result whole = run(from, in, in.size() + 1);
  const Result split = run(from, in, block);
  FUZZ_CHECK(split.out == whole.out);
  FUZZ_CHECK(split.report.unmapped == whole.report.unmapped && split.report.invalid == whole.report.invalid);
  FUZZ_CHECK(whole.report.samples.size() ==
             std::min<std::uint64_t>(whole.report.total(), SubstitutionReport::kSamples));
  for (const Substitution& s : whole.report.samples)
    FUZZ_CHECK(s.offset < whole.out.size() && whole.out[s.offset] == '?');

  std::u16string text;
  if (decodeAll(from, in, text)) {
    FUZZ_CHECK(whole.report.invalid == 0);
    bool representable = true;
    for (const char16_t u : text) representable = representable && (u == 0 || cp932::encodeUnit(u) != 0);
    if (representable) {
      FUZZ_CHECK(whole.report.unmapped == 0);
      FUZZ_CHECK(whole.out == cp932::encode(text));
    }
  } else {
    FUZZ_CHECK(whole.report.invalid > 0);
  }
  return 0;
}
