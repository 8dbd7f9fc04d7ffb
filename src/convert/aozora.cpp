#include "convert/aozora.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "core/cp932.hpp"
#include "core/cp932_tables.hpp"
#include "core/jisx0213.hpp"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orvella {

// A notation character of a line: where it stands, and its partner once brackets are paired.
struct AozoraMark {
  // The brackets first, openings before closings, ruby before square: the scan pairs them by
  // these numbers.
  enum class Kind : std::uint8_t { RubyOpen, Open, RubyClose, Close, Bar, Rice };
  std::size_t pos;
  Kind kind;
  std::int32_t match = -1;
};

namespace {

using Mark = AozoraMark;
using Kind = AozoraMark::Kind;

// The second bytes, after 0x81, of the notation characters in code page 932.
constexpr unsigned char kNotationLead = 0x81;
constexpr unsigned char kRubyOpenTrail = 0x73;        // 《
constexpr unsigned char kRubyCloseTrail = 0x74;       // 》
constexpr unsigned char kBarTrail = 0x62;             // ｜
constexpr unsigned char kOpenTrail = 0x6D;            // ［
constexpr unsigned char kCloseTrail = 0x6E;           // ］
constexpr unsigned char kHashTrail = 0x94;            // ＃
constexpr unsigned char kRiceTrail = 0xA6;            // ※
constexpr unsigned char kQuoteCloseTrail = 0x76;      // 」
constexpr unsigned char kCommaTrail = 0x41;           // 、
constexpr std::string_view kGeta = "\x81\xAC";        // 〓
constexpr std::string_view kParenOpen = "\x81\x69";   // （
constexpr std::string_view kParenClose = "\x81\x6A";  // ）
constexpr std::size_t kMarkBytes = 2;

// The explanation block opens within the first lines with a rule of hyphens and is short.
constexpr std::uint64_t kHeadLines = 30;
constexpr std::size_t kBlockLines = 200;
constexpr std::size_t kBlockBytes = std::size_t{64} << 10;
constexpr std::size_t kRuleLength = 10;
// A note or ruby is short: one left open this close to a piece's end may close in the next.
constexpr std::size_t kNoteRoom = 4096;
// U+XXXX in a note: four to six hex digits.
constexpr int kMinHex = 4;
constexpr int kMaxHex = 6;

using cp932::tables::isLead;
using cp932::tables::kLeadHigh;
using cp932::tables::kLeadHigh2;
using cp932::tables::kLeadLow;
using cp932::tables::kLeadLow2;

bool isRule(std::string_view line) {
  return line.size() >= kRuleLength && line.find_first_not_of('-') == std::string_view::npos;
}

// Where the character that holds s[at] begins is decided by the bytes before it: a byte that
// cannot lead ends a character, and a run of bytes that can alternates lead and trail. `start` is
// a known character start at or before `at`.
bool startsCharacter(const unsigned char* p, std::size_t start, std::size_t at) {
  std::size_t k = at;
  while (k > start && isLead(p[k - 1])) --k;
  return (at - k) % 2 == 0;
}

// The mark a notation character's second byte names, after the 0x81 they share.
constexpr std::array<std::int8_t, 256> kMarkOfTrail = [] {
  std::array<std::int8_t, 256> kinds{};
  kinds.fill(-1);
  kinds[kRubyOpenTrail] = static_cast<std::int8_t>(Kind::RubyOpen);
  kinds[kRubyCloseTrail] = static_cast<std::int8_t>(Kind::RubyClose);
  kinds[kBarTrail] = static_cast<std::int8_t>(Kind::Bar);
  kinds[kOpenTrail] = static_cast<std::int8_t>(Kind::Open);
  kinds[kCloseTrail] = static_cast<std::int8_t>(Kind::Close);
  kinds[kRiceTrail] = static_cast<std::int8_t>(Kind::Rice);
  return kinds;
}();

#if defined(__SSE2__)
constexpr std::size_t kBlock = sizeof(__m128i);
constexpr std::size_t kChunk = 4 * kBlock;  // a bit of a 64-bit mask for each byte

// A bit for each byte of the block at p that is 0x81 before a mark's second byte.
unsigned candidates(const unsigned char* p) {
  const auto splat = [](unsigned char b) { return _mm_set1_epi8(static_cast<char>(b)); };
  const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
  const auto is = [&](unsigned char b) { return _mm_cmpeq_epi8(next, splat(b)); };
  const __m128i trail = _mm_or_si128(_mm_or_si128(_mm_or_si128(is(kRubyOpenTrail), is(kRubyCloseTrail)),
                                                  _mm_or_si128(is(kBarTrail), is(kOpenTrail))),
                                     _mm_or_si128(is(kCloseTrail), is(kRiceTrail)));
  return static_cast<unsigned>(
      _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(here, splat(kNotationLead)), trail)));
}

// A bit for each byte of the block at p that may lead a double-byte character.
unsigned leads(const unsigned char* p) {
  const auto splat = [](unsigned char b) { return _mm_set1_epi8(static_cast<char>(b)); };
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  // b - low <= high - low, unsigned: what the saturating subtraction leaves nothing of.
  const auto within = [&](unsigned char low, unsigned char high) {
    const __m128i above =
        _mm_subs_epu8(_mm_sub_epi8(bytes, splat(low)), splat(static_cast<unsigned char>(high - low)));
    return _mm_cmpeq_epi8(above, _mm_setzero_si128());
  };
  return static_cast<unsigned>(
      _mm_movemask_epi8(_mm_or_si128(within(kLeadLow, kLeadHigh), within(kLeadLow2, kLeadHigh2))));
}
#endif

// Finds the notation marks of a line in order, and pairs each closing bracket with the innermost
// open one of its kind as it goes; the rest stay unpaired.
class MarkScan {
 public:
  MarkScan(std::string_view s, std::vector<Mark>& marks)
      : p_(reinterpret_cast<const unsigned char*>(s.data())), n_(s.size()), marks_(marks), open_(stacks()) {
    marks_.clear();
    for (auto& stack : open_) stack.clear();
  }

  // Returns where the whole characters end: the line's size, or one less when the last byte
  // begins a character cut off there. Candidates are found many bytes at a time where the
  // processor allows: 0x81 also leads the common punctuation, which a byte search would stop at
  // each time.
  std::size_t run() {
    std::size_t from = 0;
#if defined(__SSE2__)
    // Each chunk reads one byte past itself, the second byte of a mark at its end; the last bytes
    // are searched in a copy with room after them.
    for (; from + kChunk < n_; from += kChunk) takeChunk(from, p_ + from);
    if (from < n_) {
      std::array<unsigned char, kChunk + 1> last{};
      std::memcpy(last.data(), p_ + from, n_ - from);
      takeChunk(from, last.data());
    }
#else
    for (; from + 1 < n_; ++from) {
      if (p_[from] == kNotationLead && from >= start_ && kMarkOfTrail[p_[from + 1]] >= 0)
        take(from, (from - stepBack(from)) % 2 == 0);
    }
#endif
    return startsCharacter(p_, start_, n_) ? n_ : n_ - 1;
  }

 private:
  // The open ruby and the open square brackets.
  using Stacks = std::array<std::vector<std::int32_t>, 2>;
  // Kept from line to line, so a line costs no allocation.
  static Stacks& stacks() {
    thread_local Stacks kept;
    return kept;
  }

#if defined(__SSE2__)
  // The marks among the bytes at `from`, read at `chunk`: the text itself, or a copy of its end.
  void takeChunk(std::size_t from, const unsigned char* chunk) {
    std::uint64_t found = 0;
    for (std::size_t b = 0; b < kChunk; b += kBlock) found |= std::uint64_t{candidates(chunk + b)} << b;
    if (found == 0) return;
    std::uint64_t leadBits = 0;
    for (std::size_t b = 0; b < kChunk; b += kBlock) leadBits |= std::uint64_t{leads(chunk + b)} << b;
    // The run of bytes that may lead just before a candidate tells whether a character starts
    // there, without a step back at a time.
    for (; found != 0; found &= found - 1) {
      const auto bit = static_cast<unsigned>(std::countr_zero(found));
      const std::size_t at = from + bit;
      if (at < start_) continue;
      std::size_t leadRun =
          bit == 0 ? 0 : static_cast<std::size_t>(std::countl_zero(~(leadBits << (kChunk - bit))));
      if (leadRun == bit && from > start_) leadRun = at - stepBack(from);
      take(at, std::min(leadRun, at - start_) % 2 == 0);
    }
  }
#endif

  // Where the run of bytes that may lead, ending before `at`, begins.
  std::size_t stepBack(std::size_t at) const {
    while (at > start_ && isLead(p_[at - 1])) --at;
    return at;
  }

  // The candidate at `at` (0x81 before a mark's second byte) is a mark when a character starts
  // there.
  void take(std::size_t at, bool startsHere) {
    if (!startsHere) {
      start_ = at + 1;  // the second byte of a character
      return;
    }
    const auto kind = static_cast<Kind>(kMarkOfTrail[p_[at + 1]]);
    const auto k = static_cast<std::int32_t>(marks_.size());
    marks_.push_back({at, kind});
    start_ = at + 2;
    // Decided by numbers, not a switch: the kinds follow each other without a pattern.
    const auto number = static_cast<unsigned>(kind);
    if (number > static_cast<unsigned>(Kind::Close)) return;
    std::vector<std::int32_t>& stack = open_[number & 1];
    if (number < static_cast<unsigned>(Kind::RubyClose)) {
      stack.push_back(k);
    } else if (!stack.empty()) {
      marks_[static_cast<std::size_t>(k)].match = stack.back();
      marks_[static_cast<std::size_t>(stack.back())].match = k;
      stack.pop_back();
    }
  }

  const unsigned char* p_;
  std::size_t n_;
  std::size_t start_ = 0;  // a character starts here
  std::vector<Mark>& marks_;
  Stacks& open_;
};

std::size_t scan(std::string_view s, std::vector<Mark>& marks) { return MarkScan(s, marks).run(); }

// ［＃「第一章」は大見出し］, ［＃中見出し］ and their kin, up to the closing bracket.
bool namesHeading(std::string_view note) {
  static constexpr std::string_view kHeadingWord = "\x8c\xa9\x8f\x6f\x82\xb5";  // 見出し
  return note.ends_with(kHeadingWord);
}

bool isNote(std::string_view s, const Mark& m) {
  return m.pos + 2 * kMarkBytes <= s.size() && static_cast<unsigned char>(s[m.pos + 2]) == kNotationLead &&
         static_cast<unsigned char>(s[m.pos + 3]) == kHashTrail;
}

// Where the character after byte `i` of a note begins, stepping over double-byte characters.
std::size_t nextChar(std::string_view s, std::size_t i) {
  return isLead(static_cast<unsigned char>(s[i])) ? i + 2 : i + 1;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c) {
  if (isDigit(c)) return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The number at s[i..], advancing i past its digits; -1 without a digit.
int numberAt(std::string_view s, std::size_t& i) {
  int value = -1;
  while (i < s.size() && isDigit(s[i]) && value < jisx0213::kSide * 10)
    value = std::max(value, 0) * 10 + (s[i++] - '0');
  return value;
}

// "m-k-t" at s[i..]: the character of that JIS X 0213 cell.
char32_t cellAt(std::string_view s, std::size_t i) {
  const int plane = numberAt(s, i);
  if (i >= s.size() || s[i] != '-') return 0;
  const int row = numberAt(s, ++i);
  if (i >= s.size() || s[i] != '-') return 0;
  const int cell = numberAt(s, ++i);
  return jisx0213::character(plane, row, cell);
}

// "U+XXXX" at s[i..].
char32_t codePointAt(std::string_view s, std::size_t i) {
  if (i + 2 > s.size() || s[i] != 'U' || s[i + 1] != '+') return 0;
  char32_t value = 0;
  int digits = 0;
  for (i += 2; i < s.size() && digits < kMaxHex && hexValue(s[i]) >= 0; ++i, ++digits) {
    value = value * 16 + static_cast<char32_t>(hexValue(s[i]));
  }
  return digits >= kMinHex && value <= 0x10FFFF ? value : 0;
}

// The characters escaped by name, as the notes spell them.
char32_t escapedByName(std::string_view name) {
  static const auto kNames = [] {
    const std::array<std::pair<std::u16string_view, char32_t>, 10> names{{
        {u"始め二重山括弧", U'《'},
        {u"終わり二重山括弧", U'》'},
        {u"始め角括弧", U'［'},
        {u"終わり角括弧", U'］'},
        {u"始めきっこう（亀甲）括弧", U'〔'},
        {u"終わりきっこう（亀甲）括弧", U'〕'},
        {u"始め亀甲括弧", U'〔'},
        {u"終わり亀甲括弧", U'〕'},
        {u"縦線", U'｜'},
        {u"米印", U'※'},
    }};
    std::vector<std::pair<std::string, char32_t>> encoded;
    encoded.reserve(names.size());
    for (const auto& [text, c] : names) encoded.emplace_back(cp932::encode(text), c);
    return encoded;
  }();
  for (const auto& [text, c] : kNames) {
    if (text == name) return c;
  }
  return 0;
}

// The character a note names: by code point, by JIS X 0213 cell, or by its name; 0 for none.
// The codes follow the description 「…」, which may hold anything.
char32_t namedCharacter(std::string_view note) {
  const auto* p = reinterpret_cast<const unsigned char*>(note.data());
  std::size_t from = 0;
  std::size_t nameEnd = note.size();
  std::size_t start = 0;  // a character starts here
  // Only the 0x81 bytes are looked at, each checked to lead its character.
  for (std::size_t i = note.find(static_cast<char>(kNotationLead)); i < note.size() - 1;
       i = note.find(static_cast<char>(kNotationLead), i + 1)) {
    if (i < start) continue;
    if (!startsCharacter(p, start, i)) {
      start = i + 1;
      continue;
    }
    start = i + kMarkBytes;
    if (p[i + 1] == kQuoteCloseTrail) from = start;
    if (p[i + 1] == kCommaTrail && nameEnd == note.size()) nameEnd = i;
  }
  for (std::size_t i = from; i < note.size(); i = nextChar(note, i)) {
    if (note[i] == 'U') {
      if (const char32_t c = codePointAt(note, i)) return c;
    } else if (isDigit(note[i]) && (i == from || !isDigit(note[i - 1]))) {
      if (const char32_t c = cellAt(note, i)) return c;
    }
  }
  return escapedByName(note.substr(0, nameEnd));
}

}  // namespace

std::optional<AozoraMode> parseAozoraMode(std::string_view name) {
  if (name == "keep") return AozoraMode::Keep;
  if (name == "strip") return AozoraMode::Strip;
  if (name == "bracket") return AozoraMode::Bracket;
  return std::nullopt;
}

AozoraFilter::AozoraFilter(AozoraMode mode) : mode_(mode) {}
AozoraFilter::~AozoraFilter() = default;
AozoraFilter::AozoraFilter(AozoraFilter&&) noexcept = default;
AozoraFilter& AozoraFilter::operator=(AozoraFilter&&) noexcept = default;

AozoraFilter::Head AozoraFilter::head(std::string_view piece, bool endsLine, std::uint64_t line) {
  const bool whole = lineStart_ && endsLine;
  lineStart_ = endsLine;
  if (block_ == Block::Done) return Head::Pass;
  if (endsLine) ++lines_;
  const bool keep = mode_ == AozoraMode::Keep;
  if (block_ == Block::Looking) {
    if (lines_ > kHeadLines) {
      block_ = Block::Done;
    } else if (whole && isRule(piece)) {
      block_ = Block::Open;
      blockHasNotation_ = false;
      heldBytes_ = piece.size();
      if (!keep) held_.push_back({std::string(piece), line, pieceAt_});
      return Head::Held;
    }
    return Head::Pass;
  }
  if (!whole || held_.size() >= kBlockLines || heldBytes_ + piece.size() > kBlockBytes) {
    block_ = Block::Done;
    return Head::Released;
  }
  if (isRule(piece)) {
    block_ = Block::Done;
    if (!blockHasNotation_) return Head::Released;
    if (trackDrops_ && !held_.empty()) drops_.push_back({held_.front().offset, pieceAt_ + piece.size()});
    held_.clear();
    blockSeen_ = true;
    return Head::Dropped;
  }
  scan(piece, marks_);
  for (const Mark& m : marks_)
    blockHasNotation_ = blockHasNotation_ || m.kind == Kind::RubyOpen || m.kind == Kind::Open;
  heldBytes_ += piece.size();
  if (!keep) held_.push_back({std::string(piece), line, pieceAt_});
  return Head::Held;
}

void AozoraFilter::look(std::string_view piece, bool endsLine) {
  head(piece, endsLine, 0);
  if (rubySeen_ && noteSeen_) return;
  scan(piece, marks_);
  for (const Mark& m : marks_) {
    if (m.match < 0) continue;
    rubySeen_ = rubySeen_ || m.kind == Kind::RubyOpen;
    noteSeen_ = noteSeen_ || (m.kind == Kind::Open && isNote(piece, m));
  }
}

void AozoraFilter::putCharacter(std::string_view note, std::uint64_t line) {
  const char32_t c = namedCharacter(note);
  if (c != 0 && c <= 0xFFFF) {
    if (const std::uint16_t code = cp932::encodeUnit(static_cast<char16_t>(c))) {
      const std::array<char, 2> bytes{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
      put(code > 0xFF ? std::string_view(bytes.data(), 2) : std::string_view(&bytes[1], 1));
      return;
    }
  }
  put(kGeta);
  ++gaiji_.unmapped;
  // A note without a code the table knows shows as the replacement character.
  if (gaiji_.samples.size() < SubstitutionReport::kSamples) {
    gaiji_.samples.push_back({line, 0, false, c != 0 ? c : U'\uFFFD', {}});
  }
}

namespace {

// A bar leads ruby when a ruby opening with something in it comes before the next bar.
bool rubyFollows(const std::vector<Mark>& marks, std::size_t k) {
  for (++k; k < marks.size(); ++k) {
    if (marks[k].kind == Kind::Bar) return false;
    if (marks[k].kind == Kind::RubyOpen) {
      return marks[k].match >= 0 &&
             marks[static_cast<std::size_t>(marks[k].match)].pos > marks[k].pos + kMarkBytes;
    }
  }
  return false;
}

// The note at marks[k] names a character: a ※ stands just before it, not yet taken out.
bool riceBefore(const std::vector<Mark>& marks, std::size_t k, std::size_t at) {
  return k > 0 && marks[k - 1].kind == Kind::Rice && marks[k - 1].pos + kMarkBytes == marks[k].pos &&
         marks[k - 1].pos >= at;
}

// Where a piece that does not end its line stops: before a cut character or notation left open
// near its end, which the next piece may close.
std::size_t keptBackFrom(const std::vector<Mark>& marks, std::string_view text, std::size_t whole) {
  for (std::size_t k = 0; k < marks.size(); ++k) {
    const Mark& m = marks[k];
    if (m.pos + kNoteRoom < text.size() || m.match >= 0) continue;
    const bool opens = m.kind == Kind::RubyOpen || m.kind == Kind::Open ||
                       (m.kind == Kind::Bar && !rubyFollows(marks, k)) ||
                       (m.kind == Kind::Rice && m.pos + kMarkBytes == whole);
    if (!opens) continue;
    const bool rice = m.kind == Kind::Open && k > 0 && marks[k - 1].kind == Kind::Rice &&
                      marks[k - 1].pos + kMarkBytes == m.pos;
    return std::min(whole, rice ? m.pos - kMarkBytes : m.pos);
  }
  return whole;
}

}  // namespace

std::string_view AozoraFilter::filter(std::string_view piece, bool endsLine, std::uint64_t line,
                                      std::uint64_t offset) {
  std::string_view text = piece;
  if (!carry_.empty()) {
    offset = carryAt_;
    in_.assign(carry_);
    in_.append(piece);
    carry_.clear();
    text = in_;
  }
  const std::size_t whole = scan(text, marks_);
  if (marks_.empty() && (endsLine || whole == text.size())) return text;
  const std::size_t cut = endsLine ? text.size() : keptBackFrom(marks_, text, whole);
  rewrite(text, cut, line, offset);
  carry_.assign(text.substr(cut));
  carryLine_ = line;
  carryAt_ = offset + cut;
  return {out_.data(), outSize_};
}

void AozoraFilter::watchNote(std::string_view text, std::string_view note, std::uint64_t line) {
  if (!namesHeading(note)) return;
  headingText_.assign(text);
  headingLine_ = line;
}

void AozoraFilter::rewrite(std::string_view text, std::size_t cut, std::uint64_t line, std::uint64_t offset) {
  // Nothing the notation becomes is longer than it: out_ is sized once, written unchecked.
  if (out_.size() < cut) out_.resize(std::max(cut, 2 * out_.size()));
  outSize_ = 0;
  std::size_t at = 0;  // text before it is in out_ or dropped
  std::size_t copied = 0;
  auto copyTo = [&](std::size_t pos) {
    put(text.substr(at, pos - at));
    copied = pos;
  };
  for (std::size_t k = 0; k < marks_.size(); ++k) {
    const Mark& m = marks_[k];
    if (m.pos >= cut) break;
    if (m.pos < at) continue;
    const bool paired = m.match >= 0 && marks_[static_cast<std::size_t>(m.match)].pos < cut;
    const std::size_t partner = paired ? marks_[static_cast<std::size_t>(m.match)].pos : 0;
    switch (m.kind) {
      case Kind::RubyOpen:
        if (!paired || partner == m.pos + kMarkBytes) break;  // 《》 holds no ruby
        rubySeen_ = true;
        copyTo(m.pos);
        if (mode_ == AozoraMode::Bracket) put(kParenOpen);
        at = (mode_ == AozoraMode::Bracket ? m.pos : partner) + kMarkBytes;
        break;
      case Kind::RubyClose:
        if (!paired || mode_ != AozoraMode::Bracket || partner + kMarkBytes == m.pos) break;
        copyTo(m.pos);
        put(kParenClose);
        at = m.pos + kMarkBytes;
        break;
      case Kind::Bar:
        if (!rubyFollows(marks_, k)) break;
        copyTo(m.pos);
        at = m.pos + kMarkBytes;
        break;
      case Kind::Open: {
        if (!paired || partner < m.pos || !isNote(text, m)) break;
        noteSeen_ = true;
        if (watchHeadings_) watchNote(text, text.substr(m.pos, partner - m.pos), line);
        const bool rice = riceBefore(marks_, k, at);
        copyTo(rice ? m.pos - kMarkBytes : m.pos);
        if (rice) {
          const std::size_t body = m.pos + 2 * kMarkBytes;
          putCharacter(text.substr(body, partner - body), line);
        }
        at = partner + kMarkBytes;
        break;
      }
      default:
        break;
    }
    if (trackDrops_ && at > m.pos && at > copied + kMarkBytes)
      drops_.push_back({offset + copied, offset + at});
    // Past a partner with all up to it gone, the marks inside need no visit.
    if (at > m.pos + kMarkBytes) k = static_cast<std::size_t>(m.match);
  }
  copyTo(cut);
}

}  // namespace orvella
