// The byte limit as typed, into a number: the one reading shared by the window and the command line.
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include "convert/converter.hpp"
#include "core/utf.hpp"

namespace orvella {

namespace {

// Full-width forms sit at a fixed distance from their ASCII twins.
constexpr char16_t kFullWidthShift = u'０' - u'0';

char16_t narrow(char16_t c) {
  if (c >= u'！' && c <= u'～') return static_cast<char16_t>(c - kFullWidthShift);
  if (c == u'\u3000') return u' ';
  return c;
}

bool isSpace(char16_t c) { return c == u' ' || c == u'\t'; }
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

std::optional<std::int32_t> parseLimit(std::string_view text) {
  const auto wide = utf8ToUtf16(text);
  if (!wide) return std::nullopt;
  std::u16string s;
  for (char16_t c : *wide) s += narrow(c);

  std::size_t begin = 0;
  std::size_t end = s.size();
  while (begin < end && isSpace(s[begin])) ++begin;
  while (end > begin && isSpace(s[end - 1])) --end;
  if (begin < end && s[begin] == u'+') ++begin;
  if (begin == end) return std::nullopt;

  std::int64_t value = 0;
  for (std::size_t i = begin; i < end; ++i) {
    const char16_t c = s[i];
    if (c == u',') {
      // A separator stands between two digits.
      if (i == begin || i + 1 == end || !isDigit(s[i - 1]) || !isDigit(s[i + 1])) return std::nullopt;
      continue;
    }
    if (!isDigit(c)) return std::nullopt;
    value = value * 10 + (c - u'0');
    if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  }
  if (value <= 0) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace orvella
