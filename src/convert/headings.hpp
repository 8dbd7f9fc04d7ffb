// Lines that open a chapter: Aozora Bunko heading notes (［＃「…」は中見出し］, ［＃大見出し］…
// ［＃大見出し終わり］ and their kin) and lines a user's pattern matches.
#pragma once

#include <functional>
#include <optional>
#include <regex>
#include <string>
#include <string_view>

namespace orvella {

// Whether a pattern (ECMAScript, UTF-8) can be used as --heading.
[[nodiscard]] bool isHeadingPattern(std::string_view utf8);

class HeadingFinder {
 public:
  // pattern: ECMAScript, UTF-8, matched on each decoded line; empty for none. It must be one
  // isHeadingPattern accepts (front ends refuse others where the user gives them):
  // std::invalid_argument otherwise.
  explicit HeadingFinder(std::string_view pattern);
  HeadingFinder(const HeadingFinder&) = delete;  // the search holds on to its own word
  HeadingFinder& operator=(const HeadingFinder&) = delete;

  // The heading a line (code page 932 bytes, as read) opens, without its notation; nothing when
  // the line opens none.
  // notes: false where the notation filter finds the notes (see AozoraFilter::watchHeadings).
  [[nodiscard]] std::optional<std::string> find(std::string_view line, bool notes = true) const;
  // The heading a note of the line names.
  [[nodiscard]] static std::optional<std::string> noted(std::string_view line);

 private:
  std::optional<std::wregex> pattern_;
  // Every heading note says 見出し: a line without it is passed over at the speed of a search.
  std::string word_;
  std::boyer_moore_horspool_searcher<std::string::const_iterator> wordSearch_;
};

}  // namespace orvella
