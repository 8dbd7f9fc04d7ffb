#include "convert/transcoder.hpp"

#include <cstring>

#include "core/cp932.hpp"
#include "core/cp932_tables.hpp"
#include "core/utf.hpp"
#include "core/utf8_sequence.hpp"

namespace orvella {

namespace {

constexpr std::size_t kMaxUtf8 = 4;

}  // namespace

Transcoder::Transcoder(TextEncoding from) : from_(from) {}

inline char* Transcoder::put(char32_t c, char* w) {
  if (c > 0xFFFF) return unmapped(c, w);
  const auto unit = static_cast<char16_t>(c);
  const std::uint16_t code = cp932::tables::lookup(unit);
  if (code > 0xFF) {
    *w++ = static_cast<char>(code >> 8);
    *w++ = static_cast<char>(code & 0xFF);
  } else if (code != 0 || unit == 0) {
    *w++ = static_cast<char>(code);
  } else {
    return unmapped(c, w);
  }
  return w;
}

char* Transcoder::unmapped(char32_t c, char* w) {
  ++report_.unmapped;
  if (tracking_) marks_.push_back({offsetOf(w), false});
  if (wantsSample()) {
    Substitution s;
    s.offset = offsetOf(w);
    s.character = c;
    report_.samples.push_back(std::move(s));
  }
  *w++ = cp932::kSubstitute;
  return w;
}

char* Transcoder::invalid(std::string_view bytes, char* w) {
  ++report_.invalid;
  if (tracking_) marks_.push_back({offsetOf(w), true});
  if (wantsSample()) {
    Substitution s;
    s.offset = offsetOf(w);
    s.invalid = true;
    s.bytes = bytes;
    report_.samples.push_back(std::move(s));
  }
  *w++ = cp932::kSubstitute;
  return w;
}

void Transcoder::forget(std::uint64_t from, std::uint64_t to) {
  auto first = marks_.begin();
  while (first != marks_.end() && first->offset < from) ++first;
  auto last = first;
  for (; last != marks_.end() && last->offset < to; ++last)
    --(last->invalid ? report_.invalid : report_.unmapped);
  marks_.erase(first, last);
  std::erase_if(report_.samples, [&](const Substitution& s) { return s.offset >= from && s.offset < to; });
}

void Transcoder::settle(std::uint64_t upTo) {
  while (!marks_.empty() && marks_.front().offset < upTo) marks_.pop_front();
  // Samples past the first few go once those are settled: nothing can take them back any more.
  auto& samples = report_.samples;
  if (samples.size() > SubstitutionReport::kSamples &&
      samples[SubstitutionReport::kSamples - 1].offset < upTo)
    samples.resize(SubstitutionReport::kSamples);
}

std::size_t Transcoder::feed(std::string_view in, char* out) {
  blockStart_ = out;
  const auto* p = reinterpret_cast<const unsigned char*>(in.data());
  char* const w = from_ == TextEncoding::Utf8 ? utf8(p, p + in.size(), out) : utf16(p, p + in.size(), out);
  const auto written = static_cast<std::size_t>(w - out);
  emitted_ += written;
  return written;
}

void Transcoder::feed(std::string_view in, std::string& out) {
  const std::size_t base = out.size();
  out.resize(base + in.size() + kSlack);
  out.resize(base + feed(in, out.data() + base));
}

void Transcoder::finish(std::string& out) {
  const std::size_t base = out.size();
  out.resize(base + kSlack);
  out.resize(base + finish(out.data() + base));
}

std::size_t Transcoder::finish(char* out) {
  blockStart_ = out;
  char* w = out;
  if (pendingHigh_ != 0) {
    const char high[2] = {static_cast<char>(pendingHigh_ >> 8), static_cast<char>(pendingHigh_ & 0xFF)};
    const char swapped[2] = {high[1], high[0]};
    w = invalid(std::string_view(from_ == TextEncoding::Utf16Be ? high : swapped, 2), w);
    pendingHigh_ = 0;
  }
  if (!carry_.empty()) {
    w = invalid(carry_, w);
    carry_.clear();
  }
  const auto written = static_cast<std::size_t>(w - out);
  emitted_ += written;
  return written;
}

// Completes the sequence cut by the last block's end from the start of this one; false when
// this block does not finish it either.
bool Transcoder::utf8Carried(const unsigned char*& p, const unsigned char* const end, char*& w) {
  unsigned char seq[kMaxUtf8];
  const std::size_t had = carry_.size();
  std::memcpy(seq, carry_.data(), had);
  const std::size_t take = std::min(kMaxUtf8 - had, static_cast<std::size_t>(end - p));
  std::memcpy(seq + had, p, take);
  const utf8::Step step = utf8::decodeOne(seq, seq + had + take);
  if (step.status == utf8::Status::Incomplete) {
    carry_.assign(reinterpret_cast<const char*>(seq), had + take);
    return false;
  }
  w = step.status == utf8::Status::Ok
          ? put(step.codePoint, w)
          : invalid(std::string_view(reinterpret_cast<const char*>(seq), step.length), w);
  p += step.length - had;
  carry_.clear();
  return true;
}

char* Transcoder::utf8(const unsigned char* p, const unsigned char* const end, char* w) {
  if (!carry_.empty() && !utf8Carried(p, end, w)) return w;
  while (p < end) {
    const unsigned char b = *p;
    if (b < 0x80) {
      // Runs of ASCII go eight bytes at a time.
      if (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        if ((word & 0x8080808080808080ULL) == 0) {
          std::memcpy(w, p, sizeof word);
          p += 8;
          w += 8;
          continue;
        }
      }
      *w++ = static_cast<char>(b);
      ++p;
      continue;
    }
    // Kana, kanji, full- and half-width forms: three bytes whose second byte has the plain range
    // (E0 and ED narrow it), nearly all with a code. A run of them stays in this loop.
    while (end - p >= 3 && *p >= 0xE1 && *p != 0xED && *p <= 0xEF) {
      const unsigned c1 = p[1] ^ 0x80u;
      const unsigned c2 = p[2] ^ 0x80u;
      if ((c1 | c2) > 0x3F) break;
      const auto unit = static_cast<char16_t>((*p & 0x0Fu) << 12 | c1 << 6 | c2);
      const std::uint16_t code = cp932::tables::lookup(unit);
      if (code > 0xFF) {
        w[0] = static_cast<char>(code >> 8);
        w[1] = static_cast<char>(code & 0xFF);
        w += 2;
      } else if (code != 0) {
        *w++ = static_cast<char>(code);
      } else {
        break;
      }
      p += 3;
    }
    if (p == end || *p < 0x80) continue;
    const utf8::Step step = utf8::decodeOne(p, end);
    if (step.status == utf8::Status::Ok) {
      w = put(step.codePoint, w);
    } else if (step.status == utf8::Status::Invalid) {
      w = invalid(std::string_view(reinterpret_cast<const char*>(p), step.length), w);
    } else {
      carry_.assign(reinterpret_cast<const char*>(p), static_cast<std::size_t>(end - p));
      return w;
    }
    p += step.length;
  }
  return w;
}

char* Transcoder::utf16(const unsigned char* p, const unsigned char* const end, char* w) {
  const bool big = from_ == TextEncoding::Utf16Be;
  unsigned char pair[2];
  auto unitAt = [big](const unsigned char* q) {
    return static_cast<char16_t>(big ? (q[0] << 8 | q[1]) : (q[1] << 8 | q[0]));
  };
  while (p < end) {
    const unsigned char* at = p;
    if (!carry_.empty()) {
      // The odd byte left by the last block, with the first byte of this one.
      pair[0] = static_cast<unsigned char>(carry_[0]);
      pair[1] = *p++;
      carry_.clear();
      at = pair;
    } else if (end - p < 2) {
      carry_.assign(1, static_cast<char>(*p));
      return w;
    } else {
      p += 2;
    }
    const char16_t unit = unitAt(at);
    if (pendingHigh_ != 0) {
      const char16_t high = pendingHigh_;
      pendingHigh_ = 0;
      if (isLowSurrogate(unit)) {
        w = put(pairedCharacter(high, unit), w);
        continue;
      }
      const char bytes[2] = {static_cast<char>(big ? high >> 8 : high & 0xFF),
                             static_cast<char>(big ? high & 0xFF : high >> 8)};
      w = invalid(std::string_view(bytes, 2), w);
    }
    if (isHighSurrogate(unit)) {
      pendingHigh_ = unit;
    } else if (isLowSurrogate(unit)) {
      w = invalid(std::string_view(reinterpret_cast<const char*>(at), 2), w);
    } else {
      w = put(unit, w);
    }
  }
  return w;
}

}  // namespace orvella
