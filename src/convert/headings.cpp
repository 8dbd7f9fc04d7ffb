#include "convert/headings.hpp"

#include <algorithm>
#include <stdexcept>

#include "convert/aozora.hpp"
#include "core/cp932.hpp"
#include "core/cp932_tables.hpp"
#include "core/utf.hpp"

namespace orvella {

namespace {

struct Marks {
  std::string open = cp932::encode(u"［＃");
  std::string close = cp932::encode(u"］");
  std::string quote = cp932::encode(u"「");
  std::string quoteIs = cp932::encode(u"」は");
  std::string heading = cp932::encode(u"見出し");
  std::string space = cp932::encode(u"　");
};

const Marks& marks() {
  static const Marks kMarks;
  return kMarks;
}

// A heading note without a quote is short: 大見出し, 同行中見出し, ここから窓小見出し.
constexpr std::size_t kKindBytes = 20;

using cp932::tables::isLead;

// Whether a character of the line starts at `at` (the search runs on bytes).
bool startsCharacter(std::string_view s, std::size_t at) {
  std::size_t i = 0;
  while (i < at) i += isLead(static_cast<unsigned char>(s[i])) ? 2 : 1;
  return i == at;
}

std::size_t findCharacters(std::string_view s, std::string_view what, std::size_t from) {
  for (std::size_t at = s.find(what, from); at != std::string_view::npos; at = s.find(what, at + 1)) {
    if (startsCharacter(s, at)) return at;
  }
  return std::string_view::npos;
}

// The heading's text as the reader sees it: ruby and notes gone, no spaces in front.
std::string plain(std::string_view text) {
  std::string out;
  AozoraFilter filter(AozoraMode::Strip);
  auto sink = [&out](std::string_view bytes, bool, std::uint64_t) { return out.append(bytes), true; };
  (void)filter.feed(text, true, 0, sink);
  (void)filter.finish(sink);
  std::size_t from = 0;
  while (true) {
    if (out.compare(from, marks().space.size(), marks().space) == 0) {
      from += marks().space.size();
    } else if (from < out.size() && out[from] == ' ') {
      ++from;
    } else {
      break;
    }
  }
  return out.substr(from);
}

}  // namespace

// The text a heading note names, if the line has one.
std::optional<std::string> HeadingFinder::noted(std::string_view line) {
  const Marks& m = marks();
  for (std::size_t at = findCharacters(line, m.open, 0); at != std::string_view::npos;
       at = findCharacters(line, m.open, at + m.open.size())) {
    const std::size_t body = at + m.open.size();
    const std::size_t end = findCharacters(line, m.close, body);
    if (end == std::string_view::npos) break;
    const std::string_view note = line.substr(body, end - body);
    if (!note.ends_with(m.heading)) continue;
    if (note.starts_with(m.quote)) {
      const std::size_t is = note.rfind(m.quoteIs);
      if (is == std::string_view::npos || is < m.quote.size()) continue;
      return plain(note.substr(m.quote.size(), is - m.quote.size()));
    }
    if (note.size() > kKindBytes) continue;
    // ［＃大見出し］…: the heading runs to the note that ends it, or to the line's end.
    const std::size_t after = end + m.close.size();
    const std::size_t next = findCharacters(line, m.open, after);
    return plain(line.substr(after, next == std::string_view::npos ? std::string_view::npos : next - after));
  }
  return std::nullopt;
}

namespace {

// UTF-16 to the wide characters the regex library matches (UTF-32 where wchar_t holds it).
std::wstring wide(std::u16string_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if constexpr (sizeof(wchar_t) >= 4) {
      if (pairAt(text, i)) c = pairedCharacter(text[i], text[i + 1]), ++i;
    }
    out.push_back(static_cast<wchar_t>(c));
  }
  return out;
}

// Nothing for a pattern that is not UTF-8 or that the library refuses, whose one way to say so
// is a throw: it stops here.
std::optional<std::wregex> compiled(std::string_view utf8) {
  const auto text = utf8ToUtf16(utf8);
  if (!text) return std::nullopt;
  try {
    return std::wregex(wide(*text), std::regex_constants::ECMAScript);
  } catch (const std::regex_error&) {
    return std::nullopt;
  }
}

}  // namespace

bool isHeadingPattern(std::string_view utf8) { return compiled(utf8).has_value(); }

HeadingFinder::HeadingFinder(std::string_view pattern)
    : word_(marks().heading), wordSearch_(word_.begin(), word_.end()) {
  if (pattern.empty()) return;
  pattern_ = compiled(pattern);
  if (!pattern_) throw std::invalid_argument("HeadingFinder: a pattern isHeadingPattern refuses");
}

std::optional<std::string> HeadingFinder::find(std::string_view line, bool notes) const {
  if (notes && std::search(line.begin(), line.end(), wordSearch_) != line.end()) {
    if (auto heading = noted(line)) return heading;
  }
  if (pattern_ && std::regex_search(wide(cp932::decode(line)), *pattern_)) return plain(line);
  return std::nullopt;
}

}  // namespace orvella
