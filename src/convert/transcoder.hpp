// UTF-8 or UTF-16 input, fed in blocks of any size, turned into code page 932 bytes with the
// encoder the header uses. What cannot be written becomes '?', counted and sampled.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "convert/encoding.hpp"

namespace orvella {

struct Substitution {
  std::uint64_t line = 0;    // 1-based input line, filled in by the line reader
  std::uint64_t offset = 0;  // where the '?' stands in the code page 932 output
  bool invalid = false;      // a sequence that is no character of the input encoding
  char32_t character = 0;    // the character code page 932 lacks, when !invalid
  std::string bytes;         // the input bytes that are no character, when invalid
};

struct SubstitutionReport {
  static constexpr std::size_t kSamples = 5;
  std::uint64_t unmapped = 0;         // characters code page 932 lacks
  std::uint64_t invalid = 0;          // sequences that are not valid in the input encoding
  std::vector<Substitution> samples;  // the first few, in input order
  std::uint64_t total() const { return unmapped + invalid; }
};

class Transcoder {
 public:
  // `from` is UTF-8 or UTF-16 (code page 932 input is never transcoded).
  explicit Transcoder(TextEncoding from);

  // Writes the code page 932 bytes of `in` to `out`, which has room for in.size() + kSlack, and
  // returns how many; a sequence cut by the block's end waits for the next call.
  static constexpr std::size_t kSlack = 8;
  std::size_t feed(std::string_view in, char* out);
  // The end of the input: a cut sequence left waiting becomes '?' (at most kSlack bytes).
  std::size_t finish(char* out);
  // The same, appended to a string.
  void feed(std::string_view in, std::string& out);
  void finish(std::string& out);

  // Where each '?' stands, kept once track() is called, so a filter that drops text can take its
  // '?' back: forget() those in [from, to), settle() those before upTo for good.
  void track() { tracking_ = true; }
  void forget(std::uint64_t from, std::uint64_t to);
  void settle(std::uint64_t upTo);

  SubstitutionReport& report() { return report_; }
  const SubstitutionReport& report() const { return report_; }

 private:
  char* utf8(const unsigned char* p, const unsigned char* end, char* w);
  bool utf8Carried(const unsigned char*& p, const unsigned char* end, char*& w);
  char* utf16(const unsigned char* p, const unsigned char* end, char* w);
  char* put(char32_t c, char* w);
  char* unmapped(char32_t c, char* w);
  char* invalid(std::string_view bytes, char* w);
  // While '?' may be taken back, every one is sampled, so one taken back leaves room for the next.
  bool wantsSample() const { return tracking_ || report_.samples.size() < SubstitutionReport::kSamples; }
  std::uint64_t offsetOf(const char* w) const {
    return emitted_ + static_cast<std::uint64_t>(w - blockStart_);
  }

  struct Mark {
    std::uint64_t offset;
    bool invalid;
  };
  bool tracking_ = false;
  std::deque<Mark> marks_;

  TextEncoding from_;
  std::string carry_;          // the start of a sequence cut by a block's end
  char16_t pendingHigh_ = 0;   // UTF-16: a high surrogate waiting for its low half
  std::uint64_t emitted_ = 0;  // output bytes of earlier calls
  char* blockStart_ = nullptr;
  SubstitutionReport report_;
};

}  // namespace orvella
