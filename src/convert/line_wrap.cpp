#include "convert/line_wrap.hpp"

#include <algorithm>
#include <array>

#include "core/cp932_tables.hpp"
#include "core/length_b.hpp"

namespace orvella {

namespace {

// A break is looked for this far back at most, so a huge limit holds no huge line back.
constexpr std::int64_t kLookBack = std::int64_t{64} << 10;

using cp932::tables::isLead;

// Whether the end of s stops inside a character: a byte that cannot lead ends one, and a run of
// bytes that can alternates lead and trail. midChar: s begins with a trail byte.
bool endsInside(std::string_view s, bool midChar) {
  std::size_t run = 0;
  while (run < s.size() && isLead(static_cast<unsigned char>(s[s.size() - 1 - run]))) ++run;
  if (run == s.size() && midChar) --run;
  return run % 2 == 1;
}

// 。、」』）！？ in code page 932: their trail bytes after 0x81.
bool isClosingMark(std::string_view c) {
  static constexpr std::array<unsigned char, 7> kTrails{0x42, 0x41, 0x76, 0x78, 0x6A, 0x49, 0x48};
  return c.size() == 2 && static_cast<unsigned char>(c[0]) == 0x81 &&
         std::find(kTrails.begin(), kTrails.end(), static_cast<unsigned char>(c[1])) != kTrails.end();
}

}  // namespace

LineWrap::LineWrap(std::int64_t room)
    : room_(std::max<std::int64_t>(room, 0)), passUpTo_(room_ - std::min(room_ / 4, kLookBack)) {}

bool LineWrap::passes(std::string_view piece, bool endsLine) {
  // A NUL counts two: the end of a line that fits even so is not searched for one.
  const bool fitsAnyway = used_ + 2 * static_cast<std::int64_t>(piece.size()) <= room_;
  const std::int64_t m = endsLine && fitsAnyway ? 0 : used_ + rawLineLength(piece);
  if (endsLine && m <= room_) {
    used_ = 0;
    midChar_ = false;
    return true;
  }
  if (m > passUpTo_) return false;
  midChar_ = endsInside(piece, midChar_);
  used_ = m;
  return true;
}

std::size_t LineWrap::split(bool endsLine) {
  cuts_.clear();
  const std::string_view s(held_);
  const std::int64_t late = room_ - room_ / 4;
  std::size_t start = 0;             // of the part in hand
  std::size_t i = midChar_ ? 1 : 0;  // a character starts here
  std::int64_t m = used_ + rawLineLength(s.substr(0, i));
  std::size_t best = 0;  // a break after a closing mark, late in the part
  while (i < s.size()) {
    const bool lead = isLead(static_cast<unsigned char>(s[i]));
    if (lead && i + 1 == s.size() && !endsLine) break;  // its trail comes with the next piece
    const std::size_t len = lead && i + 1 < s.size() ? 2 : 1;
    const std::int64_t w = rawLineLength(s.substr(i, len));  // a trail byte may be a NUL too
    if (m + w > room_ && (m > 0 || i > start)) {
      const std::size_t cut = best > start ? best : i;
      cuts_.push_back(cut);
      start = cut;
      m = rawLineLength(s.substr(cut, i - cut));
      best = 0;
      used_ = 0;
      midChar_ = false;
      continue;
    }
    m += w;
    i += len;
    if (m >= late && isClosingMark(s.substr(i - len, len))) best = i;
  }
  if (endsLine) {
    used_ = 0;
    midChar_ = false;
    return s.size();
  }
  return passable(start, !cuts_.empty() ? false : midChar_);
}

// Where the bytes that may still end the part in hand begin: what lies before the last quarter of
// the room goes on now.
std::size_t LineWrap::passable(std::size_t from, bool midChar) {
  const std::string_view s(held_);
  std::size_t i = from + (midChar ? 1 : 0);
  std::int64_t m = (from == 0 ? used_ : 0) + rawLineLength(s.substr(from, i - from));
  while (i < s.size()) {
    const bool lead = isLead(static_cast<unsigned char>(s[i]));
    if (lead && i + 1 == s.size()) break;
    const std::size_t len = lead ? 2 : 1;
    const std::int64_t w = rawLineLength(s.substr(i, len));
    if (m + w > passUpTo_) break;
    m += w;
    i += len;
  }
  used_ = m;
  midChar_ = false;
  return i;
}

}  // namespace orvella
